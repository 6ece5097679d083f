#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace wordlark {
class LessonList;
class ScreenLook;
class WordTable;
} // namespace wordlark

// The statistics window: words and distinct characters of the dictionary or of the chosen lessons.
// Created once; its scope and layout hold from one opening to the next.
class TFormStat final : public QDialog {
    Q_OBJECT

public:
    // The character lists are written in the look's fonts for simplified and full characters.
    explicit TFormStat(const wordlark::ScreenLook &look, QWidget *parent = nullptr);
    void applyUiTexts();

    // Works out the figures, then shows the window modally in the middle of the screen. The character
    // lists take the font families of the look. The table and lessons are read again at every change of
    // scope or layout while the window is open.
    void ShowStatistics(const wordlark::WordTable &table, const wordlark::LessonList &lessons);

    bool isVerticalLayout() const { return m_vertical; }

Q_SIGNALS:
    // The pointer moved over the window or over the figures: the learner is there.
    void learnerActive();

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void applyLayout();
    void ComputeStatistics();
    void RadioButton1Click();
    void ButtonHVClick();
    void Button1Click();

    QRadioButton *m_radioButton1 = nullptr;
    QRadioButton *m_radioButton2 = nullptr;
    QPlainTextEdit *m_memo1 = nullptr;
    QLabel *m_label1 = nullptr;
    QPlainTextEdit *m_tntMemo1 = nullptr;
    QLabel *m_label2 = nullptr;
    QPlainTextEdit *m_tntMemo2 = nullptr;
    QPushButton *m_buttonHV = nullptr;
    QPushButton *m_button1 = nullptr;

    const wordlark::ScreenLook &m_look;
    const wordlark::WordTable *m_table = nullptr;
    const wordlark::LessonList *m_lessons = nullptr;
    bool m_vertical = false;
};
