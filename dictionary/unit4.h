#pragma once

#include "dictionary/lessonlist.h"
#include "dictionary/lessonlistbox.h"
#include "quiz/quizsettings.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
namespace wordlark {
class Trainer;
}

// The lesson parameters dialog: which lessons are asked, which fields make the question and the answers,
// how many candidates, where distractors come from, and the answer aids. Its controls show the program's
// lesson parameters and lesson choice; every change the learner makes goes to the program's state at
// once. The answer aids it reports through signals, and it touches no other window's widgets.
class TLessonOptions final : public QDialog {
    Q_OBJECT

public:
    TLessonOptions(wordlark::Trainer &trainer, QWidget *parent);

    // Shows the lessons of the state's list, every one chosen, as after a load.
    void BuildLessonList();
    // Hands the lessons selected in the list to the state and shows their word count.
    int CountSelectedWords();
    int SelectedWordCount() const;
    const wordlark::LessonList &lessons() const;

    void applyUiTexts();

Q_SIGNALS:
    // "Hide the answers" was ticked: the candidates are covered at once.
    void answersHidden();
    // Typing or the mask was ticked or unticked; whether it shows now.
    void keyboardPanelTicked(bool shown);
    void maskTicked(bool shown);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
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

    void FormCreate();
    void showSettings(const wordlark::QuizSettings &settings);
    wordlark::QuizSettings controlSettings() const;
    void takeSettings();
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

    wordlark::Trainer &m_trainer;
};
