#pragma once

#include <QString>
#include <QtGlobal>

// Names and places shared by the whole program.
inline const QString kApplicationTitle = QStringLiteral("Pelvane");
inline const QString kDataFolderName = QStringLiteral("Pelvane3");
inline const QString kRegistryKey = QStringLiteral("Software\\Korbelt\\Pelvane");

// Folder functions. Each returns an absolute path ending with "/", creates the folder when it is
// missing and (except the sheet folder) caches the answer for the run.
//
// The machine-wide folder is <common>/Pelvane3/ where the common data folder can be written, else
// the per-user fallback <user data>/Pelvane3/; the user and documents folders raise
// "ユーザーフォルダが取得できません" when the system gives no location or it cannot be created.
QString GetCommonDataFolder();
QString GetUserDataFolder();
QString GetDocumentsDataFolder();
QString GetSheetFolder();
// <user data folder> + the executable's base name + ".ini": a copy under another name gets its own.
QString GetIniFileName();
QString GetLoginUserName();
// The executable's base name ("pelvane"), which names the settings and database files.
QString GetProgramName();
// Programs that work on the desktop program's files (the CLI) take its name instead of their own.
void SetProgramNameOverride(const QString &name);
// The folder of the executable, ending with "/".
QString GetProgramFolder();

// Forgets the cached folders; for tests that redirect the locations between cases.
void ResetFolderCache();

// Rounds to the nearest 64-bit integer, halves away from zero.
qint64 RoundHalfAway(double x);
