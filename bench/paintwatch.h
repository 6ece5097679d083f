#pragma once

#include <QDialog>
#include <QEvent>
#include <QSet>
#include <QTimer>

#include <chrono>

namespace benchdata {

// Closes a modal window as soon as each of the given surfaces has been painted once, and tells how long
// that took from start(). A window that is not painted within ten seconds is rejected instead.
class PaintWatch final : public QObject {
public:
    PaintWatch(QDialog *window, const QList<QWidget *> &surfaces)
        : m_window(window)
        , m_surfaces(int(surfaces.size()))
    {
        for (QWidget *surface : surfaces)
            surface->installEventFilter(this);
        m_timeout.setSingleShot(true);
        m_timeout.setInterval(10000);
        connect(&m_timeout, &QTimer::timeout, this, [this] {
            m_timedOut = true;
            m_window->reject();
        });
    }

    void start()
    {
        m_painted.clear();
        m_timedOut = false;
        m_start = Clock::now();
        m_timeout.start();
    }
    double seconds() const { return std::chrono::duration<double>(m_end - m_start).count(); }
    bool timedOut() const { return m_timedOut; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // The surfaces paint one after the other in one pass; the call queued after the last runs once the
        // pass is over.
        if (event->type() != QEvent::Paint || !m_timeout.isActive() || m_painted.size() == m_surfaces)
            return false;
        m_painted.insert(watched);
        if (m_painted.size() == m_surfaces) {
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_end = Clock::now();
                    m_timeout.stop();
                    m_window->accept();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    using Clock = std::chrono::steady_clock;
    QDialog *m_window;
    int m_surfaces;
    QTimer m_timeout;
    Clock::time_point m_start;
    Clock::time_point m_end;
    QSet<QObject *> m_painted;
    bool m_timedOut = false;
};

} // namespace benchdata
