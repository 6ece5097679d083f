#pragma once

#include <QString>
#include <QStringList>

namespace wordlark {

// Where the program keeps its files. Every file it reads or writes (dictionaries, help texts, colour
// schemes, lesson files, word sounds) is found relative to its working folder. A program that has its
// folders beside it (a build folder, or a copy carried around on a stick) works there; an installed one
// works in the user's own data folder, so that every user of the machine has their own lessons, schemes
// and recordings and nothing needs to be written below the installation.
struct WorkingFolder {
    QString path;
    bool portable = false;
    // The installed, read-only word sounds, looked in after the working folder's own "audio"; empty when
    // portable.
    QString installedSoundPack;
    // The installed, read-only stroke data, used when the working folder has none of its own; empty when
    // portable.
    QString installedStrokeData;
};

// Portable when "Dictionary" is a folder beside the program; otherwise the user's data folder.
WorkingFolder chooseWorkingFolder(const QString &programFolder, const QString &installedDataFolder,
                                  const QString &userDataFolder);

struct SeedResult {
    QStringList copied;  // relative paths that were missing and were copied
    QStringList updated; // relative paths the user had left as installed, replaced by a newer installed copy
    QStringList failed;  // relative paths (or folders) that could not be made, each with the reason
};

// Lays out the user's working folder from the installed data: makes the folder with empty "Saves" and
// "audio", copies every installed file it lacks (except the word sounds and the stroke data, which stay
// where they are installed and are read there), and brings files the user never changed up to date after an
// upgrade. A file the user changed, and any file of the user's own, is never touched. Which installed
// version each copied file was is remembered in the folder, in kSeedRecordName.
SeedResult seedUserFolder(const QString &installedDataFolder, const QString &userFolder);

inline constexpr char kSeedRecordName[] = ".installed-copies";

} // namespace wordlark
