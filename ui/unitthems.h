#pragma once

#include "ui/colourscheme.h"
#include "ui/screenlook.h"

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
// to the screen's look; the three fonts of the quiz; new schemes added to the scheme file.
class TFormThems final : public QDialog {
    Q_OBJECT

public:
    // `schemeFile` is the file of stored schemes; `look` the screen's look, which "Применить" and the font
    // dialogs change and the font dialogs start from.
    TFormThems(const QString &schemeFile, wordlark::ScreenLook &look, QWidget *parent);

    void applyUiTexts();

    // The stored schemes, in list order.
    const QList<wordlark::ColourScheme> &schemes() const { return m_schemes; }
    // The colours the swatches show, as they would be stored.
    const wordlark::SchemeColours &swatchColours() const { return m_swatchColours; }

    void LoadColourSchemes();
    void ShowSchemeInSwatches(int item);
    void ApplyColourScheme();
    void AddColourScheme();

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
    void chooseFont(wordlark::FieldKind kind, const char *dialogName);

    QString m_schemeFile;
    wordlark::ScreenLook &m_look;
    QList<wordlark::ColourScheme> m_schemes;
    wordlark::SchemeColours m_swatchColours = wordlark::BuiltInColours;
};
