#pragma once

#include "quiz/answerboard.h"
#include "ui/colourscheme.h"
#include "ui/schemecolours.h"

#include <QDialog>
#include <QList>

#include <array>

class QColorDialog;
class QComboBox;
class QFrame;
class QGroupBox;
class QPushButton;
class QRadioButton;

// The colours and fonts dialog of the quiz screen: stored schemes or ten swatches of one's own, applied
// to the quiz screen; the three fonts of the quiz; new schemes added to the scheme file. What the learner
// applies or chooses it reports through its signals.
class TFormThems final : public QDialog {
    Q_OBJECT

public:
    // `schemeFile` is the file of stored schemes; `fonts` the quiz screen's fonts, which a font dialog
    // starts from.
    TFormThems(const QString &schemeFile, const FieldFonts &fonts, QWidget *parent);

    void applyUiTexts();

    // The stored schemes, in list order.
    const QList<wordlark::ColourScheme> &schemes() const { return m_schemes; }
    // The colours the swatches show, as they would be stored.
    const wordlark::SchemeColours &swatchColours() const { return m_swatchColours; }

    void LoadColourSchemes();
    void ShowSchemeInSwatches(int item);
    void ApplyColourScheme();
    void AddColourScheme();

Q_SIGNALS:
    // "Применить": the quiz screen takes these colours.
    void colourSchemeChosen(const ScreenScheme &scheme);
    // A font dialog was confirmed for one kind of field.
    void fieldFontChosen(FieldKind kind, const QFont &font);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QGroupBox *GroupBox1 = nullptr;
    QGroupBox *GroupBox2 = nullptr;
    QGroupBox *GroupBox3 = nullptr;
    QRadioButton *RadioButton1 = nullptr;
    QRadioButton *RadioButton2 = nullptr;
    QComboBox *ComboBoxShambala = nullptr;
    // Shape1, Shape2, Shape4 .. Shape11, by colour role.
    std::array<QFrame *, wordlark::ColourRoleCount> Shapes{};
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;
    QPushButton *Button3 = nullptr;
    QPushButton *Button4 = nullptr;
    QPushButton *Button5 = nullptr;
    QPushButton *Button6 = nullptr;
    QColorDialog *ColorDialog1 = nullptr;

    void createSchemeGroup();
    void createSwatchGroup();
    void createFontGroup();
    void paintSwatch(wordlark::ColourRole role, wordlark::ColourValue value);

    void ComboBoxShambalaChange(int item);
    void ShapeMouseDown(wordlark::ColourRole role);
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void chooseFont(FieldKind kind, const FieldFont &field, const char *dialogName);

    QString m_schemeFile;
    FieldFonts m_fonts;
    QList<wordlark::ColourScheme> m_schemes;
    wordlark::SchemeColours m_swatchColours = wordlark::BuiltInColours;
};
