#include "progress/unit2.h"

#include "ui/uitexts.h"

TFormStat::TFormStat(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("FormStat"));
    setFixedSize(379, 357);
    applyUiTexts();
}

void TFormStat::applyUiTexts()
{
    setWindowTitle(wordlark::UiText(wordlark::UiTextId::Statistics));
}
