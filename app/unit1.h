#pragma once

#include "app/windows.h"
#include "dictionary/textdecoding.h"

#include <QPoint>
#include <QString>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

// The round splash window: shows the picture while the dictionary loads. It is the program's main
// window; closing it, also while hidden, ends the program.
class TForm1 final : public QWidget {
    Q_OBJECT

public:
    explicit TForm1(ProgramWindows &windows);

    // The file the load step reads: "Dictionary/Dict.dic" at start, or the full path the learner chose.
    const QString &DictionaryPath() const { return m_dictionaryPath; }
    void setDictionaryPath(const QString &path) { m_dictionaryPath = path; }

    // Sizes, centres and shapes the window and resets the progress bar, as before every load.
    void PrepareForLoading();
    // Forgets the dictionary and its lessons, then loads the file at `path` with the window shown.
    void changeDictionary(const QString &path);
    // The load step: texts, dictionary file (or the built-in one), word table, lesson list, first question.
    void Button1Click();
    void Timer1Timer();

    QLabel *Image1 = nullptr;
    QLabel *Label1 = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QPushButton *Button1 = nullptr;
    QTimer *Timer1 = nullptr;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    wordlark::TextLines readDictionaryText();

    ProgramWindows &m_windows;
    QString m_dictionaryPath;
    bool m_dragging = false;
    QPoint m_pressOffset;
};
