#include "ui/unithelp.h"

#include "ui/dialogplacement.h"
#include "ui/helptext.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QPlainTextEdit *makeMemo(const QString &name, QWidget *parent)
{
    auto *memo = new QPlainTextEdit(QStringLiteral("Memo1"), parent);
    memo->setObjectName(name);
    memo->setReadOnly(true);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return memo;
}

} // namespace

TFormHelp::TFormHelp(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("FormHelp"));
    setWindowTitle(QStringLiteral("Help"));
    setFixedSize(608, 451);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(8, 8, 592, 400);
    auto *page1 = new QWidget;
    page1->setObjectName(QStringLiteral("TabSheet1"));
    auto *page2 = new QWidget;
    page2->setObjectName(QStringLiteral("TabSheet2"));
    PageControl1->addTab(page1, QStringLiteral("Программа"));
    PageControl1->addTab(page2, QStringLiteral("Словари"));
    Memo1 = makeMemo(QStringLiteral("Memo1"), page1);
    Memo2 = makeMemo(QStringLiteral("Memo2"), page2);
    Memo2->setPlainText(QStringLiteral("Memo2"));
    for (QPlainTextEdit *memo : {Memo1, Memo2}) {
        auto *layout = new QVBoxLayout(memo->parentWidget());
        layout->setContentsMargins(4, 4, 4, 4);
        layout->addWidget(memo);
    }
    PageControl1->setCurrentIndex(0);

    Button1 = new QPushButton(QStringLiteral("Close"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(608 - 8 - 90, 451 - 8 - 30, 90, 30);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);

    FormCreate();
}

void TFormHelp::FormCreate()
{
    // A missing first file stops the loading, as the second would then be shown out of context.
    if (loadHelpText(QStringLiteral("Help/Readme.txt"), Memo1))
        loadHelpText(QStringLiteral("Help/Dict_readme.txt"), Memo2);
}

bool TFormHelp::loadHelpText(const QString &path, QPlainTextEdit *memo)
{
    const wordlark::Result<QString> text = wordlark::readHelpText(path);
    if (!text) {
        showMessage(parentWidget(), QMessageBox::Critical, QStringLiteral("Wordlark"), text.error(),
                    QStringLiteral("HelpFileError"));
        return false;
    }
    memo->setPlainText(*text);
    return true;
}
