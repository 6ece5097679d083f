#include "app/startup.h"

#include "app/workingfolder.h"
#include "audio/soundfolder.h"
#include "wordlarkversion.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QMessageBox>
#include <QStandardPaths>

// Where the installed data lies, seen from the installed program; the build sets it from the install
// layout.
#ifndef WORDLARK_DATA_FROM_BINDIR
#define WORDLARK_DATA_FROM_BINDIR "../share/wordlark"
#endif

namespace {

void reportSetUpProblem(const QString &text)
{
    QMessageBox::warning(nullptr, QStringLiteral("Wordlark"), text);
}

} // namespace

void setProgramIdentity()
{
    QApplication::setApplicationName(QStringLiteral("wordlark"));
    QApplication::setApplicationVersion(QStringLiteral(WORDLARK_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(WORDLARK_APP_ID));
    // One picture per size, each drawn for it, so the title bar's small icon is not a blurred big one.
    QIcon icon;
    const QDir pictures(QStringLiteral(":/icons"));
    for (const QString &name : pictures.entryList(QDir::Files))
        icon.addFile(pictures.filePath(name));
    QApplication::setWindowIcon(icon);
}

void enterWorkingFolder()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    const QString installedData =
        QDir::cleanPath(QDir(programFolder).filePath(QStringLiteral(WORDLARK_DATA_FROM_BINDIR)));
    const wordlark::WorkingFolder folder = wordlark::chooseWorkingFolder(
        programFolder, installedData, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));

    if (!folder.portable) {
        const wordlark::SeedResult seeded = wordlark::seedUserFolder(installedData, folder.path);
        if (!seeded.failed.isEmpty())
            reportSetUpProblem(QStringLiteral("Some files could not be set up in \"%1\":\n%2")
                                   .arg(QDir::toNativeSeparators(folder.path), seeded.failed.join(u'\n')));
        wordlark::setSharedSoundFolder(folder.installedSoundPack);
    }
    if (!QDir::setCurrent(folder.path))
        reportSetUpProblem(
            QStringLiteral("Cannot use the folder \"%1\"; working in \"%2\" instead.")
                .arg(QDir::toNativeSeparators(folder.path), QDir::toNativeSeparators(QDir::currentPath())));
}
