#pragma once

#include "dictionary/lessonkeys.h"

#include <QListWidget>

// The lesson list: a multi-column list with extended choice that reports each mouse button release and
// each release of a selection key only after it has applied the event to its choice, so that whoever
// counts the chosen lessons sees what the list shows. Only the left button changes the choice.
class LessonListBox final : public QListWidget {
    Q_OBJECT

public:
    explicit LessonListBox(QWidget *parent);

    // What the running platform's scan codes tell about a key's place on the keyboard.
    static wordlark::ScanCodeKind platformScanCodes();

Q_SIGNALS:
    void mouseReleased();
    void selectionKeyReleased();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
};
