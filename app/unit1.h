#pragma once

#include <chrono>

#include <QPoint>
#include <QString>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
namespace wordlark {
class Trainer;
}

// The round splash window: shows the picture and the progress while the program's state loads the
// dictionary. It is the program's main window; closing it, also while hidden, ends the program.
class TForm1 final : public QWidget {
    Q_OBJECT

public:
    explicit TForm1(wordlark::Trainer &trainer);

    // The file the load step reads: "Dictionary/Dict.dic" at start, or the full path the learner chose.
    const QString &DictionaryPath() const;

    // Sizes, centres and shapes the window and resets the progress bar, as before every load.
    void PrepareForLoading();
    // Forgets the dictionary and its lessons, then loads the file at `path` with the window shown.
    void changeDictionary(const QString &path);
    // The load step: texts, dictionary file (or the built-in one), word table, lesson list, first question.
    void Button1Click();
    void Timer1Timer();
    // Runs the load step once `delay` has passed with the picture on screen.
    void startLoadTimer(std::chrono::milliseconds delay);

Q_SIGNALS:
    // A load begins: the interface texts are written into every window.
    void loadStarting();
    // The dictionary and its lessons are loaded and the splash is hidden: the quiz starts.
    void loaded();

public:
protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QLabel *Image1 = nullptr;
    QLabel *Label1 = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QPushButton *Button1 = nullptr;
    QTimer *Timer1 = nullptr;

    wordlark::Trainer &m_trainer;
    bool m_dragging = false;
    QPoint m_pressOffset;
};
