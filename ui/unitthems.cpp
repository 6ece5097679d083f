#include "ui/unitthems.h"

TFormThems::TFormThems(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("FormThems"));
    setWindowTitle(QStringLiteral("Цвет и шрифты"));
    setFixedSize(384, 382);
}
