#include "ui/unitabout.h"

#include "wordlarkversion.h"

#include <QLabel>
#include <QPushButton>

namespace {

QLabel *makeLabel(const QString &name, const QString &text, const QString &family, int pixels,
                  QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    QFont font(family);
    font.setPixelSize(pixels);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

TAboutForm::TAboutForm(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(212, 270);

    TntLabel1 = makeLabel(QStringLiteral("TntLabel1"), QStringLiteral("Wordlark"), QStringLiteral("SimSun"),
                          32, this);
    TntLabel1->setGeometry(4, 12, 204, 44);
    Label1 = makeLabel(QStringLiteral("Label1"), QStringLiteral("Wordlark версия " WORDLARK_VERSION),
                       QStringLiteral("Arial"), 19, this);
    Label1->setWordWrap(true);
    Label1->setGeometry(4, 64, 204, 56);
    Label2 = makeLabel(QStringLiteral("Label2"), QStringLiteral("wordlark.example.org"),
                       QStringLiteral("MS Sans Serif"), 19, this);
    Label2->setGeometry(0, 128, 212, 26);
    // The stroke data's licence asks that its origin be named.
    LabelStrokes = makeLabel(QStringLiteral("LabelStrokes"),
                             QStringLiteral("Черты иероглифов: hanzi-writer-data 2.0.1 (Make Me a Hanzi), "
                                            "Arphic Public License"),
                             QStringLiteral("MS Sans Serif"), 11, this);
    LabelStrokes->setWordWrap(true);
    LabelStrokes->setGeometry(4, 160, 204, 50);

    Button1 = new QPushButton(QStringLiteral("ОК"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(68, 222, 75, 28);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
}
