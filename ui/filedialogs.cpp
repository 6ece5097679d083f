#include "ui/filedialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace wordlark {
namespace {

QString chosenFile(QFileDialog &dialog)
{
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
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Wordlark"), text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("LessonFileError"));
    box.exec();
}

void warnOtherDictionary(QWidget *parent)
{
    QMessageBox warning(QMessageBox::Warning, QStringLiteral("Предупреждение"),
                        QStringLiteral("В уроке используется другой словарь."), QMessageBox::Ok, parent);
    warning.setObjectName(QStringLiteral("OtherDictionaryWarning"));
    warning.exec();
}

} // namespace wordlark
