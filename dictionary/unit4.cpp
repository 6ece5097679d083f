#include "dictionary/unit4.h"

#include "app/trainer.h"
#include "ui/fonts.h"
#include "ui/uitexts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace wordlark;

namespace {

constexpr int kLessonColumns = 10;

QCheckBox *makeCheckBox(const QString &name, QWidget *parent, int x, int y)
{
    auto *box = new QCheckBox(parent);
    box->setObjectName(name);
    box->move(x, y);
    return box;
}

} // namespace

TLessonOptions::TLessonOptions(Trainer &trainer, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
    , m_trainer(trainer)
{
    setObjectName(QStringLiteral("LessonOptions"));
    setWindowTitle(QStringLiteral("Параметры урока"));
    setFont(dialogFont());
    setFixedSize(417, 360);

    createFieldGroups();
    createOptions();
    createLessonList();
    applyUiTexts();
    FormCreate();
}

void TLessonOptions::createFieldGroups()
{
    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(10, 16, 111, 105);
    GroupBox2 = new QGroupBox(this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setGeometry(128, 16, 111, 105);
    for (int i = 0; i < 10; ++i) {
        QGroupBox *group = i < 5 ? GroupBox1 : GroupBox2;
        QCheckBox *box = makeCheckBox(QStringLiteral("CheckBox%1").arg(i + 1), group, 8, 18 + 17 * (i % 5));
        box->resize(group->width() - 10, 17);
        CheckBoxes[size_t(i)] = box;
    }
}

void TLessonOptions::createOptions()
{
    Label6 = new QLabel(this);
    Label6->setObjectName(QStringLiteral("Label6"));
    Label6->setGeometry(256, 24, 98, 16);
    ComboBox3 = new QComboBox(this);
    ComboBox3->setObjectName(QStringLiteral("ComboBox3"));
    for (int count = 2; count <= 12; ++count)
        ComboBox3->addItem(QString::number(count));
    ComboBox3->setGeometry(355, 20, 41, 21);

    RadioWordsFrom = new QGroupBox(this);
    RadioWordsFrom->setObjectName(QStringLiteral("RadioWordsFrom"));
    RadioWordsFrom->setGeometry(259, 52, 137, 69);
    for (int item = 0; item < 2; ++item) {
        auto *radio = new QRadioButton(RadioWordsFrom);
        radio->setObjectName(QStringLiteral("RadioWordsFrom%1").arg(item));
        radio->setGeometry(8, 20 + 20 * item, 125, 18);
        RadioWordsFromItems[size_t(item)] = radio;
    }

    CheckShowBut = makeCheckBox(QStringLiteral("CheckShowBut"), this, 10, 261);
    CoolGirl = makeCheckBox(QStringLiteral("CoolGirl"), this, 26, 283);
    CoolGirl->setText(QStringLiteral("Вводить ответ с клавиатуры"));
    CoolGirl->setEnabled(false);
    CheckBoxMask = makeCheckBox(QStringLiteral("CheckBoxMask"), this, 26, 305);
    CheckBoxMask->setText(QStringLiteral("Показать число иероглифов"));
    CheckBoxMask->setEnabled(false);
    CheckBoxSound = makeCheckBox(QStringLiteral("CheckBoxSound"), this, 10, 328);
    connect(CheckShowBut, &QCheckBox::clicked, this, &TLessonOptions::CheckShowButClick);
    connect(CoolGirl, &QCheckBox::clicked, this, &TLessonOptions::CoolGirlClick);
    connect(CheckBoxMask, &QCheckBox::clicked, this, &TLessonOptions::CheckBoxMaskClick);

    ButtonOptOK = new QPushButton(QStringLiteral("Закрыть"), this);
    ButtonOptOK->setObjectName(QStringLiteral("ButtonOptOK"));
    ButtonOptOK->setGeometry(297, 320, 99, 33);
    connect(ButtonOptOK, &QPushButton::clicked, this, &QDialog::accept);
}

void TLessonOptions::createLessonList()
{
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(10, 127, 200, 16);

    ListBox1 = new LessonListBox(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(10, 144, 386, 97);
    // Entries run down the columns, ten columns to the width, like a multi-column list.
    ListBox1->setFlow(QListView::TopToBottom);
    ListBox1->setWrapping(true);
    ListBox1->setResizeMode(QListView::Adjust);
    ListBox1->setUniformItemSizes(true);
    ListBox1->setGridSize(QSize((ListBox1->width() - 4) / kLessonColumns, 16));
    ListBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(ListBox1, &LessonListBox::mouseReleased, this, &TLessonOptions::ListBox1MouseUp);
    connect(ListBox1, &LessonListBox::selectionKeyReleased, this, &TLessonOptions::ListBox1KeyUp);

    Label3 = new QLabel(this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(10, 244, 300, 16);
}

void TLessonOptions::FormCreate()
{
    showSettings(m_trainer.settings());
    CheckBoxSound->setEnabled(m_trainer.soundAvailable());
    // From now on every change of a control is a change of the lesson parameters.
    for (QCheckBox *box : CheckBoxes)
        connect(box, &QCheckBox::toggled, this, &TLessonOptions::takeSettings);
    for (QCheckBox *box : {CheckShowBut, CoolGirl, CheckBoxMask, CheckBoxSound})
        connect(box, &QCheckBox::toggled, this, &TLessonOptions::takeSettings);
    for (QRadioButton *radio : RadioWordsFromItems)
        connect(radio, &QRadioButton::toggled, this, &TLessonOptions::takeSettings);
    connect(ComboBox3, &QComboBox::currentIndexChanged, this, &TLessonOptions::takeSettings);
    connect(&m_trainer, &Trainer::lessonsBuilt, this, &TLessonOptions::BuildLessonList);
}

void TLessonOptions::showSettings(const QuizSettings &settings)
{
    for (int k = 0; k < ColumnCount; ++k) {
        CheckBoxes[size_t(k)]->setChecked(settings.questionFields[size_t(k)]);
        CheckBoxes[size_t(k + ColumnCount)]->setChecked(settings.answerFields[size_t(k)]);
    }
    ComboBox3->setCurrentText(QString::number(settings.maxAnswers));
    RadioWordsFromItems[settings.wordsFromAllLessons ? 1 : 0]->setChecked(true);
    CheckShowBut->setChecked(settings.hideAnswers);
    CoolGirl->setChecked(settings.typedAnswer);
    CheckBoxMask->setChecked(settings.showMask);
    CheckBoxSound->setChecked(settings.sound);
}

void TLessonOptions::takeSettings()
{
    m_trainer.setSettings(controlSettings());
}

void TLessonOptions::applyUiTexts()
{
    GroupBox1->setTitle(UiText(UiTextId::Question));
    GroupBox2->setTitle(UiText(UiTextId::Answer));
    const UiTextId fieldNames[] = {UiTextId::Pinyin, UiTextId::SimpleHanzi, UiTextId::FullHanzi,
                                   UiTextId::LessonNumber, UiTextId::Translation};
    for (int i = 0; i < 10; ++i)
        CheckBoxes[size_t(i)]->setText(UiText(fieldNames[i % 5]));
    Label6->setText(UiText(UiTextId::MaxAnswers));
    RadioWordsFrom->setTitle(UiText(UiTextId::AddWordsFrom));
    RadioWordsFromItems[0]->setText(UiText(UiTextId::FromSelectedLessons));
    RadioWordsFromItems[1]->setText(UiText(UiTextId::FromAllLessons));
    Label1->setText(UiText(UiTextId::LessonChoice));
    CheckShowBut->setText(UiText(UiTextId::HideAnswers));
    CheckBoxSound->setText(UiText(UiTextId::Sound));
    const QString count = Label3->text().section(u' ', -1);
    Label3->setText(UiText(UiTextId::TotalWords) + u' ' + (count.isEmpty() ? QStringLiteral("0") : count));
    for (QCheckBox *box : {CheckShowBut, CoolGirl, CheckBoxMask, CheckBoxSound})
        box->adjustSize();
}

QuizSettings TLessonOptions::controlSettings() const
{
    QuizSettings settings;
    for (int k = 0; k < ColumnCount; ++k) {
        settings.questionFields[size_t(k)] = CheckBoxes[size_t(k)]->isChecked();
        settings.answerFields[size_t(k)] = CheckBoxes[size_t(k + ColumnCount)]->isChecked();
    }
    settings.maxAnswers = ComboBox3->currentText().toInt();
    settings.wordsFromAllLessons = RadioWordsFromItems[1]->isChecked();
    settings.hideAnswers = CheckShowBut->isChecked();
    settings.typedAnswer = CoolGirl->isChecked();
    settings.showMask = CheckBoxMask->isChecked();
    settings.sound = CheckBoxSound->isChecked();
    return settings;
}

void TLessonOptions::BuildLessonList()
{
    ListBox1->clear();
    ListBox1->addItems(lessons().labels());
    ListBox1->selectAll();
    Label3->setText(counterText(UiTextId::TotalWords, SelectedWordCount()));
}

int TLessonOptions::CountSelectedWords()
{
    std::vector<bool> chosen(size_t(ListBox1->count()), false);
    for (int k = 0; k < ListBox1->count(); ++k)
        chosen[size_t(k)] = ListBox1->item(k)->isSelected();
    const int count = m_trainer.chooseLessons(chosen);
    Label3->setText(counterText(UiTextId::TotalWords, count));
    return count;
}

int TLessonOptions::SelectedWordCount() const
{
    return lessons().selectedWordCount();
}

const LessonList &TLessonOptions::lessons() const
{
    return m_trainer.lessons();
}

void TLessonOptions::lessonListReleased()
{
    // Every release starts a new pass, also when the choice stayed the same, and asks from it at once. The
    // new question takes the focus; the list gets it back, so the learner can go on choosing with the
    // keyboard.
    CountSelectedWords();
    m_trainer.nextQuestion();
    ListBox1->setFocus();
}

void TLessonOptions::ListBox1MouseUp()
{
    lessonListReleased();
}

void TLessonOptions::ListBox1KeyUp()
{
    lessonListReleased();
}

void TLessonOptions::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    restoreSelection();
}

void TLessonOptions::restoreSelection()
{
    const std::vector<bool> &flags = lessons().selectionFlags();
    for (int k = 0; k < ListBox1->count() && size_t(k) < flags.size(); ++k)
        ListBox1->item(k)->setSelected(flags[size_t(k)]);
}

void TLessonOptions::CheckShowButClick()
{
    if (CheckShowBut->isChecked())
        Q_EMIT answersHidden();
    CoolGirl->setEnabled(CheckShowBut->isChecked());
    CheckBoxMask->setEnabled(CheckShowBut->isChecked());
}

void TLessonOptions::CoolGirlClick()
{
    Q_EMIT keyboardPanelTicked(m_trainer.settings().keyboardPanelShownOnTick());
}

void TLessonOptions::CheckBoxMaskClick()
{
    Q_EMIT maskTicked(m_trainer.settings().maskShownOnTick());
}
