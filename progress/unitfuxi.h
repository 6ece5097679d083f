#pragma once

#include "dictionary/wordtable.h"
#include "quiz/quizsession.h"

#include <QDialog>
#include <QList>

class QLabel;
class QPushButton;
class QTableWidget;

// The review of the words missed in a pass: each with its translation and how often it was missed. The
// learner either learns them as the next pass or just closes the window. Created once and reused.
class TFormFuxi final : public QDialog {
    Q_OBJECT

public:
    explicit TFormFuxi(QWidget *parent = nullptr);

    // Lists the records in their order, shows the window modally in the middle of the screen and tells
    // whether the learner chose to learn these words.
    bool ShowDifficultWords(const wordlark::WordTable &table, const QList<wordlark::MistakeRecord> &mistakes);

private:
    void Button1Click();
    void Button2Click();
    void LearnDifficultWords();
    void fillGrid(const wordlark::WordTable &table, const QList<wordlark::MistakeRecord> &mistakes);

    QLabel *m_label1 = nullptr;
    QTableWidget *m_grid = nullptr;
    QPushButton *m_button1 = nullptr;
    QPushButton *m_button2 = nullptr;
    bool m_learnChosen = false;
};
