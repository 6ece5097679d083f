#pragma once

#include <QFrame>
#include <QString>

// The character-count mask: its text holds one placeholder (code 127) per character of the asked word,
// and it paints each as a visible square, since fonts draw code 127 as nothing.
class MaskPanel final : public QFrame {
    Q_OBJECT
    // Readable from outside, as a label's text is, by accessibility tools and tests.
    Q_PROPERTY(QString text READ text WRITE setText)

public:
    explicit MaskPanel(QWidget *parent = nullptr);

    const QString &text() const { return m_text; }
    void setText(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
};
