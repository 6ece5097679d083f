#include "ui/filedialogs.h"

#include "ui/dialogplacement.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QTreeView>

namespace wordlark {
namespace {

// Room for a lesson or dictionary name of some forty letters beside the folder list.
constexpr QSize kDialogSize(780, 460);

// Qt sizes the detail columns for short English texts and the dialog below what they need: sizes, types
// and dates came out cut ("15....MiB"). The size, type and date columns take the width of what they show,
// the name column the rest.
void makeColumnsReadable(QFileDialog &dialog)
{
    dialog.resize(kDialogSize);
    auto *details = dialog.findChild<QTreeView *>(QStringLiteral("treeView"));
    if (!details)
        return;
    QHeaderView *header = details->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < header->count(); ++column)
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
}

// The name field's completion list is a window of its own, and it outlives a dialog that is kept: a name
// typed and confirmed with Return leaves the list on screen over the quiz, where the learner's next click
// only closes it. The lists close with the dialog, and one that the dialog's background reading of the
// folder brings up after the dialog has gone is closed again at once.
class CompletionListsCloser final : public QObject {
public:
    static QString name() { return QStringLiteral("CompletionListsCloser"); }

    explicit CompletionListsCloser(QFileDialog &dialog)
        : QObject(&dialog)
        , m_dialog(dialog)
    {
        setObjectName(name());
        for (QCompleter *completer : dialog.findChildren<QCompleter *>())
            completer->popup()->installEventFilter(this);
        connect(&dialog, &QDialog::finished, this, &CompletionListsCloser::closeLists);
    }

private:
    void closeLists()
    {
        for (QCompleter *completer : m_dialog.findChildren<QCompleter *>())
            completer->popup()->hide();
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Hidden on the next turn of the event loop: hiding a window while it is being shown leaves it half
        // shown.
        if (event->type() == QEvent::Show && !m_dialog.isVisible())
            QMetaObject::invokeMethod(static_cast<QWidget *>(watched), &QWidget::hide, Qt::QueuedConnection);
        return false;
    }

    QFileDialog &m_dialog;
};

QString chosenFile(QFileDialog &dialog)
{
    if (!dialog.findChild<QObject *>(CompletionListsCloser::name(), Qt::FindDirectChildrenOnly))
        new CompletionListsCloser(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

// The lesson dialogs, opened again and again, are made once for their window and kept, as a window's own
// components: a new dialog would draw its icons afresh into Qt's pixmap cache, which keeps them (up to
// 10 MB) long after the dialog is gone. Everything a dialog shows is set again before each use.
QFileDialog &windowDialog(QWidget *parent, const char *name)
{
    Q_ASSERT(parent); // the owner that keeps it
    const QString objectName = QString::fromLatin1(name);
    auto *dialog = parent->findChild<QFileDialog *>(objectName, Qt::FindDirectChildrenOnly);
    if (!dialog) {
        dialog = new QFileDialog(parent);
        dialog->setObjectName(objectName);
        dialog->setOption(QFileDialog::DontUseNativeDialog);
        makeColumnsReadable(*dialog);
    }
    return *dialog;
}

// Both lesson dialogs offer the one file type, start in "Saves" and propose "MyLesson".
QString askLessonFile(QWidget *parent, const char *name, QFileDialog::AcceptMode mode)
{
    QFileDialog &dialog = windowDialog(parent, name);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setDirectory(QDir::current().filePath(QStringLiteral("Saves")));
    dialog.setNameFilter(QStringLiteral("Lesson (*.ke4)"));
    dialog.setDefaultSuffix(QStringLiteral("ke4"));
    dialog.selectFile(QStringLiteral("MyLesson"));
    return chosenFile(dialog);
}

} // namespace

QString askDictionaryFile(QWidget *parent)
{
    // Not kept like the lesson dialogs: a dictionary is changed seldom, and a kept dialog holds about 2 MB.
    QFileDialog dialog(parent, QStringLiteral("Словарь"),
                       QDir::current().filePath(QStringLiteral("Dictionary")),
                       QStringLiteral("Dictionary (*.dic)"));
    dialog.setObjectName(QStringLiteral("OpenDictDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    makeColumnsReadable(dialog);
    const QString path = chosenFile(dialog);
    return path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
}

QString askLessonFileToOpen(QWidget *parent)
{
    return askLessonFile(parent, "OpenLDialog", QFileDialog::AcceptOpen);
}

QString askLessonFileToSave(QWidget *parent)
{
    return askLessonFile(parent, "SaveDialog", QFileDialog::AcceptSave);
}

void showLessonFileError(QWidget *parent, const QString &text)
{
    showMessage(parent, QMessageBox::Critical, QStringLiteral("Wordlark"), text,
                QStringLiteral("LessonFileError"));
}

void warnOtherDictionary(QWidget *parent)
{
    showMessage(parent, QMessageBox::Warning, QStringLiteral("Предупреждение"),
                QStringLiteral("В уроке используется другой словарь."),
                QStringLiteral("OtherDictionaryWarning"));
}

} // namespace wordlark
