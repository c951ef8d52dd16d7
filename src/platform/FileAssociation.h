#pragma once

#include <QString>

// The ".tot" association on a freedesktop desktop: a MIME type for prediction files and a desktop
// entry that opens them with this executable, both in the user's XDG data folder, and the entry
// made the default for the type in the user's mimeapps.list.
namespace FileAssociation {

inline constexpr char kMimeType[] = "application/x-pelvane-prediction";

bool isAssociated(const QString &executablePath);
// Raises EPelvaneError when a file cannot be written.
void associate(const QString &executablePath);

QString desktopEntryPath();
QString mimePackagePath();
QString mimeAppsListPath();

} // namespace FileAssociation
