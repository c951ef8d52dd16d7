#pragma once

#include <QByteArray>
#include <QString>

// Replaces a file so that a crash or a full disk never leaves a partial file: the bytes go to a
// temporary file in the same folder, are flushed to disk, and the temporary file is renamed over
// the old one. On failure the old file is untouched and EPelvaneError is raised.
void WriteFileAtomic(const QString &fileName, const QByteArray &bytes);
