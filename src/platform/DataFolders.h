#pragma once

#include <QString>

// Where this platform keeps things. Each location can be redirected by an environment variable,
// so tests and portable installs never touch the real home:
//   PELVANE_COMMON_DIR     machine-wide data        (default /var/lib)
//   PELVANE_CONFIG_DIR     per-user settings        (default $XDG_CONFIG_HOME or ~/.config)
//   PELVANE_DATA_DIR       per-user data            (default $XDG_DATA_HOME or ~/.local/share)
//   PELVANE_DOCUMENTS_DIR  the user's documents     (default the XDG documents folder)
// Every function returns an absolute path without a trailing delimiter, or an empty string when
// the location cannot be determined.
namespace DataFolders {

QString systemCommonDir();
QString userConfigDir();
QString userDataDir();
QString documentsDir();
QString runtimeDir();

// The login name of the user running the program; empty when the system does not tell.
QString loginUserName();

// The running executable: its absolute path and its file name.
QString executablePath();
QString executableName();

} // namespace DataFolders
