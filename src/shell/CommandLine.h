#pragma once

#include <QString>
#include <QStringList>

// What the program's command line asks for.
struct TCommandLine
{
    bool debug = false;       // "-debug" or "/debug", any case
    bool maintenance = false; // "-qorvi" or "/qorvi", any case
    QString fileToOpen;       // the first ".tot" argument; the program folder when it has no folder
};

// Examines the arguments (without the program itself) from the first on; scanning stops after
// the first prediction file.
TCommandLine ParseCommandLine(const QStringList &arguments, const QString &programFolder);

// The first of the dropped files, when it is a prediction file (".tot" in any case).
QString DroppedPredictionFile(const QStringList &files);
