#pragma once

#include "app/windows.h"
#include "dictionary/lessonlist.h"
#include "dictionary/lessonlistbox.h"
#include "quiz/quizsession.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

// The lesson parameters dialog: which lessons are asked, which fields make the question and the answers,
// how many candidates, where distractors come from, and the answer aids. Its settings live in its
// controls for the run; the quiz reads them at every question.
class TLessonOptions final : public QDialog {
    Q_OBJECT

public:
    TLessonOptions(ProgramWindows &windows, QWidget *parent);

    void BuildLessonList();
    void ClearLessonList();
    int CountSelectedWords();
    int SelectedWordCount() const { return m_lessons.selectedWordCount(); }
    int NthSelectedWord(int n) const { return m_lessons.nthSelectedWord(n); }
    const wordlark::LessonList &lessons() const { return m_lessons; }

    wordlark::FieldSet questionFields() const;
    wordlark::FieldSet answerFields() const;
    int maxAnswers() const;
    bool wordsFromAllLessons() const;
    void applyUiTexts();

    QGroupBox *GroupBox1 = nullptr;
    QGroupBox *GroupBox2 = nullptr;
    std::array<QCheckBox *, 10> CheckBoxes{}; // CheckBox1 .. CheckBox10
    QLabel *Label6 = nullptr;
    QComboBox *ComboBox3 = nullptr;
    QGroupBox *RadioWordsFrom = nullptr;
    std::array<QRadioButton *, 2> RadioWordsFromItems{};
    QLabel *Label1 = nullptr;
    LessonListBox *ListBox1 = nullptr;
    QLabel *Label3 = nullptr;
    QCheckBox *CheckShowBut = nullptr;
    QCheckBox *CoolGirl = nullptr;
    QCheckBox *CheckBoxMask = nullptr;
    QCheckBox *CheckBoxSound = nullptr;
    QPushButton *ButtonOptOK = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void FormCreate();
    void createFieldGroups();
    void createLessonList();
    void createOptions();
    void ListBox1MouseUp();
    void ListBox1KeyUp();
    void lessonChoiceChanged();
    void restoreSelection();
    void CheckShowButClick();
    void CoolGirlClick();
    void CheckBoxMaskClick();

    ProgramWindows &m_windows;
    wordlark::LessonList m_lessons;
};
