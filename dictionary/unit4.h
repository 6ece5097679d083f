#pragma once

#include "dictionary/lessonlist.h"
#include "dictionary/lessonlistbox.h"
#include "dictionary/wordtable.h"
#include "quiz/quizsettings.h"

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
// controls for the run; the quiz reads them at every question through settings(). It reports what the
// learner does through signals and touches no other window's widgets.
class TLessonOptions final : public QDialog {
    Q_OBJECT

public:
    // `table` is the dictionary the lesson list is built from.
    TLessonOptions(const wordlark::WordTable &table, QWidget *parent);

    void BuildLessonList();
    void ClearLessonList();
    int CountSelectedWords();
    int SelectedWordCount() const { return m_lessons.selectedWordCount(); }
    int NthSelectedWord(int n) const { return m_lessons.nthSelectedWord(n); }
    const wordlark::LessonList &lessons() const { return m_lessons; }

    // The lesson parameters as the controls hold them now.
    wordlark::QuizSettings settings() const;
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

Q_SIGNALS:
    // The chosen lessons were counted: the quiz starts a new pass over them.
    void lessonsCounted(int selectedWordCount);
    // The learner changed (or confirmed) the choice: the quiz asks from it at once.
    void lessonChoiceChanged();
    // "Hide the answers" was ticked: the candidates are covered at once.
    void answersHidden();
    // Typing or the mask was ticked or unticked; whether it shows now.
    void keyboardPanelTicked(bool shown);
    void maskTicked(bool shown);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void FormCreate();
    void createFieldGroups();
    void createLessonList();
    void createOptions();
    void ListBox1MouseUp();
    void ListBox1KeyUp();
    void lessonListReleased();
    void restoreSelection();
    void CheckShowButClick();
    void CoolGirlClick();
    void CheckBoxMaskClick();

    const wordlark::WordTable &m_table;
    wordlark::LessonList m_lessons;
};
