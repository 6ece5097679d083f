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

// Both lesson dialogs offer the one file type, start in "Saves" and propose "MyLesson".
QString askLessonFile(QWidget *parent, const char *name, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent);
    dialog.setObjectName(QString::fromLatin1(name));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setDirectory(QDir::current().filePath(QStringLiteral("Saves")));
    dialog.setNameFilter(QStringLiteral("Lesson (*.ke4)"));
    dialog.setDefaultSuffix(QStringLiteral("ke4"));
    dialog.selectFile(QStringLiteral("MyLesson"));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    return chosenFile(dialog);
}

} // namespace

QString askDictionaryFile(QWidget *parent)
{
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
