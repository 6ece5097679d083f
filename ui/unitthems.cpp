#include "ui/unitthems.h"

#include "ui/dialogplacement.h"
#include "ui/fonts.h"
#include "ui/schemecolours.h"
#include "ui/uitexts.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFontDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

using namespace wordlark;

namespace {

constexpr int kSwatchSize = 25;
constexpr int kSwatchPitch = 30;

struct SwatchPlace {
    const char *name;
    const char16_t *label;
};

// By colour role: the swatch's name and label. There is no Shape3.
constexpr std::array<SwatchPlace, ColourRoleCount> kSwatches = {{
    {"Shape1", u"Фон"},
    {"Shape2", u"Ответы"},
    {"Shape4", u"Вопрос"},
    {"Shape5", u"Правильный ответ"},
    {"Shape6", u"Неверный ответ"},
    {"Shape7", u"Осталось слов"},
    {"Shape8", u"Ошибок"},
    {"Shape9", u"Буквы"},
    {"Shape10", u"Простые иероглифы"},
    {"Shape11", u"Полные иероглифы"},
}};

QPushButton *pushButton(QWidget *parent, const char *name, const QString &caption, const QRect &geometry)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    return button;
}

// The font a field is drawn in, as a font dialog can show it: the installed face the requested one
// resolves to (the design's names, "SimSun" or "Times New Roman", are mapped onto other faces), in that
// face's own style, at the drawn size.
QFont drawnFont(const QFont &requested)
{
    const QFontInfo drawn(requested);
    QFont font(drawn.family());
    font.setStyleName(drawn.styleName());
    font.setWeight(QFont::Weight(drawn.weight()));
    font.setItalic(drawn.italic());
    font.setPixelSize(drawn.pixelSize());
    return font;
}

void showFileError(QWidget *parent, const QString &text)
{
    showMessage(parent, QMessageBox::Critical, QStringLiteral("Wordlark"), text,
                QStringLiteral("SchemeFileError"));
}

} // namespace

TFormThems::TFormThems(const QString &schemeFile, ScreenLook &look, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
    , m_schemeFile(schemeFile)
    , m_look(look)
{
    setObjectName(QStringLiteral("FormThems"));
    setWindowTitle(QStringLiteral("Цвет и шрифты"));
    setFont(dialogFont());
    setFixedSize(384, 382);

    createSchemeGroup();
    createSwatchGroup();
    createFontGroup();

    Button1 = pushButton(this, "Button1", QStringLiteral("Применить"), QRect(8, 348, 100, 26));
    connect(Button1, &QPushButton::clicked, this, &TFormThems::ApplyColourScheme);
    Button6 = pushButton(this, "Button6", QStringLiteral("Закрыть"), QRect(276, 348, 100, 26));
    connect(Button6, &QPushButton::clicked, this, &QDialog::accept);

    ColorDialog1 = new QColorDialog(this);
    ColorDialog1->setObjectName(QStringLiteral("ColorDialog1"));
    ColorDialog1->setOption(QColorDialog::DontUseNativeDialog);

    for (int role = 0; role < ColourRoleCount; ++role)
        paintSwatch(ColourRole(role), m_swatchColours[size_t(role)]);
    applyUiTexts();
    LoadColourSchemes();
}

void TFormThems::createSchemeGroup()
{
    GroupBox1 = new QGroupBox(QStringLiteral("Цветовая схема"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 4, 368, 76);
    RadioButton1 = new QRadioButton(QStringLiteral("Готовая"), GroupBox1);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton1->setGeometry(12, 22, 80, 20);
    RadioButton1->setChecked(true);
    RadioButton2 = new QRadioButton(QStringLiteral("Своя"), GroupBox1);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton2->setGeometry(12, 48, 80, 20);
    ComboBoxShambala = new QComboBox(GroupBox1);
    ComboBoxShambala->setObjectName(QStringLiteral("ComboBoxShambala"));
    ComboBoxShambala->setEditable(false);
    ComboBoxShambala->setGeometry(100, 20, 252, 22);
    // Only the learner's choice shows a scheme; selecting an item from code (a new scheme) does not.
    connect(ComboBoxShambala, &QComboBox::activated, this, &TFormThems::ComboBoxShambalaChange);
}

void TFormThems::createSwatchGroup()
{
    GroupBox2 = new QGroupBox(QStringLiteral("Параметры цветовой схемы"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setGeometry(8, 86, 368, 202);
    for (int role = 0; role < ColourRoleCount; ++role) {
        const int column = role / 5;
        const int row = role % 5;
        const int left = 12 + column * 178;
        const int top = 20 + row * kSwatchPitch;
        auto *swatch = new QFrame(GroupBox2);
        swatch->setObjectName(QString::fromLatin1(kSwatches[size_t(role)].name));
        swatch->setFrameStyle(QFrame::Box | QFrame::Plain);
        swatch->setAutoFillBackground(true);
        swatch->setCursor(Qt::PointingHandCursor);
        swatch->setGeometry(left, top, kSwatchSize, kSwatchSize);
        swatch->installEventFilter(this);
        Shapes[size_t(role)] = swatch;
        auto *label = new QLabel(QString::fromUtf16(kSwatches[size_t(role)].label), GroupBox2);
        label->setGeometry(left + kSwatchSize + 8, top, 140, kSwatchSize);
    }
    Button2 = pushButton(GroupBox2, "Button2", QStringLiteral("Добавить в набор"), QRect(12, 168, 140, 26));
    connect(Button2, &QPushButton::clicked, this, &TFormThems::AddColourScheme);
}

void TFormThems::createFontGroup()
{
    GroupBox3 = new QGroupBox(QStringLiteral("Шрифт"), this);
    GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
    GroupBox3->setGeometry(8, 290, 368, 52);
    Button3 = pushButton(GroupBox3, "Button3", QString(), QRect(8, 18, 112, 26));
    Button4 = pushButton(GroupBox3, "Button4", QString(), QRect(128, 18, 112, 26));
    Button5 = pushButton(GroupBox3, "Button5", QString(), QRect(248, 18, 112, 26));
    connect(Button3, &QPushButton::clicked, this, &TFormThems::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TFormThems::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TFormThems::Button5Click);
}

void TFormThems::applyUiTexts()
{
    Button3->setText(UiText(UiTextId::LettersFont));
    Button4->setText(UiText(UiTextId::SimpleHanziFont));
    Button5->setText(UiText(UiTextId::FullHanziFont));
}

void TFormThems::LoadColourSchemes()
{
    Result<QList<ColourScheme>> file = loadColourSchemes(m_schemeFile);
    if (!file) {
        showFileError(this, file.error());
        return;
    }
    m_schemes = std::move(file).value();
    for (const ColourScheme &scheme : std::as_const(m_schemes))
        ComboBoxShambala->addItem(scheme.name);
    if (m_schemes.isEmpty())
        return;
    ComboBoxShambala->setCurrentIndex(0);
    ShowSchemeInSwatches(0);
}

void TFormThems::paintSwatch(ColourRole role, ColourValue value)
{
    m_swatchColours[size_t(role)] = value;
    QFrame *swatch = Shapes[size_t(role)];
    QPalette palette = swatch->palette();
    palette.setColor(QPalette::Window, screenColour(value, QGuiApplication::palette()));
    swatch->setPalette(palette);
}

void TFormThems::ShowSchemeInSwatches(int item)
{
    if (item < 0 || item >= m_schemes.size())
        return;
    for (int role = 0; role < ColourRoleCount; ++role)
        paintSwatch(ColourRole(role), m_schemes[item].colours[size_t(role)]);
}

void TFormThems::ComboBoxShambalaChange(int item)
{
    ShowSchemeInSwatches(item);
}

bool TFormThems::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        for (int role = 0; role < ColourRoleCount; ++role) {
            if (watched == Shapes[size_t(role)]) {
                ShapeMouseDown(ColourRole(role));
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFormThems::ShapeMouseDown(ColourRole role)
{
    ColorDialog1->setCurrentColor(screenColour(colourOf(m_swatchColours, role), QGuiApplication::palette()));
    if (execCentred(ColorDialog1) == QDialog::Accepted)
        paintSwatch(role, storedColour(ColorDialog1->selectedColor()));
}

void TFormThems::ApplyColourScheme()
{
    if (RadioButton1->isChecked()) {
        const int item = ComboBoxShambala->currentIndex();
        // With no stored scheme there is nothing to apply.
        if (item < 0 || item >= m_schemes.size())
            return;
        m_look.applyScheme(screenScheme(m_schemes[item].colours, item == 0));
        return;
    }
    m_look.applyScheme(screenScheme(m_swatchColours, false));
}

void TFormThems::AddColourScheme()
{
    QInputDialog input(this);
    input.setObjectName(QStringLiteral("SchemeNameInput"));
    input.setWindowTitle(QStringLiteral("Сохранение схемы"));
    input.setLabelText(QStringLiteral("Название"));
    input.setTextValue(QString());
    // Cancel means the learner does not want the scheme: nothing is added and the file stays as it is.
    if (execCentred(&input) != QDialog::Accepted)
        return;

    m_schemes.append(ColourScheme{m_swatchColours, storableSchemeName(input.textValue()), {}});
    ComboBoxShambala->addItem(m_schemes.constLast().name);
    ComboBoxShambala->setCurrentIndex(int(m_schemes.size() - 1));
    // A failed write leaves the old file whole; the new scheme stays in the list for this run.
    const Result<void> saved = saveColourSchemes(m_schemeFile, m_schemes);
    if (!saved)
        showFileError(this, saved.error());
}

void TFormThems::chooseFont(FieldKind kind, const char *dialogName)
{
    QFontDialog dialog(drawnFont(m_look.field(kind).font), this);
    dialog.setObjectName(QString::fromLatin1(dialogName));
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    // The dialog gives its fonts in whole points; OK on what it opened with is no choice, and the field
    // keeps its font exactly, rather than the dialog's near match of it.
    const QFont opened = dialog.currentFont();
    if (execCentred(&dialog) == QDialog::Accepted && dialog.selectedFont() != opened)
        m_look.setFieldFont(kind, dialog.selectedFont());
}

void TFormThems::Button3Click()
{
    chooseFont(FieldKind::Letters, "LatinFontDial");
}

void TFormThems::Button4Click()
{
    chooseFont(FieldKind::Simplified, "HierFontDial");
}

void TFormThems::Button5Click()
{
    chooseFont(FieldKind::Full, "BHierFontDial");
}
