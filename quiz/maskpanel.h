#pragma once

#include <QFrame>
#include <QString>

// The character-count mask: its text holds one placeholder (code 127) per character of the asked word,
// and it paints each as a visible square, since fonts draw code 127 as nothing.
class MaskPanel final : public QFrame {
    Q_OBJECT

public:
    explicit MaskPanel(QWidget *parent = nullptr);

    const QString &text() const { return m_text; }
    void setText(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
};
