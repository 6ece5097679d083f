#pragma once

#include <chrono>

#include <QElapsedTimer>
#include <QPoint>
#include <QString>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
namespace wordlark {
struct DictionaryRead;
class Trainer;
} // namespace wordlark

// The round splash window: shows the picture and the progress while the program's state loads a
// dictionary, at start and at every change of dictionary. It is the program's main window; closing it, also
// while hidden, ends the program.
class TForm1 final : public QWidget {
    Q_OBJECT

public:
    explicit TForm1(wordlark::Trainer &trainer);

    // The file the load step reads: "Dictionary/Dict.dic" at start, or the full path the learner chose.
    const QString &DictionaryPath() const;

    // Sizes, centres and shapes the window and resets the progress bar, as before every load.
    void PrepareForLoading();
    // The load at start: the program's state loads the dictionary at DictionaryPath().
    void Button1Click();
    void Timer1Timer();
    // Runs the load step once `delay` has passed with the picture on screen.
    void startLoadTimer(std::chrono::milliseconds delay);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // The steps of a load as the program's state reports them: the window shows the picture and the
    // progress, and hides once the quiz can start.
    void showLoadStarting();
    void showDictionaryRead(const wordlark::DictionaryRead &read);
    void showLoadProgress(int line);
    void showLoadEnded(const wordlark::DictionaryRead &read);

    QLabel *Image1 = nullptr;
    QLabel *Label1 = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QPushButton *Button1 = nullptr;
    QTimer *Timer1 = nullptr;
    QElapsedTimer m_sinceRedraw;

    wordlark::Trainer &m_trainer;
    bool m_dragging = false;
    QPoint m_pressOffset;
};
