#include "app/startup.h"

#include "app/workingfolder.h"
#include "audio/soundfolder.h"
#include "dictionary/fileio.h"
#include "ui/dialogplacement.h"
#include "wordlarkversion.h"
#include "writing/strokestore.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTranslator>

#include <memory>

// Where the installed data lies, seen from the installed program; the build sets it from the install
// layout.
#ifndef WORDLARK_DATA_FROM_BINDIR
#define WORDLARK_DATA_FROM_BINDIR "../share/wordlark"
#endif

namespace {

const QString kQtTranslationName = QStringLiteral("QtTranslation");

void reportSetUpProblem(const QString &text)
{
    showMessage(nullptr, QMessageBox::Warning, QStringLiteral("Wordlark"), text,
                QStringLiteral("SetUpProblem"));
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
                                   .arg(wordlark::shownPath(folder.path), seeded.failed.join(u'\n')));
        wordlark::setSharedSoundFolder(folder.installedSoundPack);
        wordlark::setInstalledStrokeData(folder.installedStrokeData);
    }
    if (!QDir::setCurrent(folder.path))
        reportSetUpProblem(
            QStringLiteral("Cannot use the folder \"%1\"; working in \"%2\" instead.")
                .arg(wordlark::shownPath(folder.path), wordlark::shownPath(QDir::currentPath())));
}

bool installQtTranslation(const QString &folder)
{
    QCoreApplication *application = QCoreApplication::instance();
    if (application->findChild<QTranslator *>(kQtTranslationName, Qt::FindDirectChildrenOnly))
        return true;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_ru"), folder) ||
        !QCoreApplication::installTranslator(translator.get()))
        return false;
    translator->setObjectName(kQtTranslationName);
    translator.release()->setParent(application);
    return true;
}

bool installQtTranslation()
{
    return installQtTranslation(QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}
