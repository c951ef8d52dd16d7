#include "shell/CommandLine.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool isPredictionFile(const QString &name)
{
    return QFileInfo(name).suffix().compare(u"tot", Qt::CaseInsensitive) == 0;
}

} // namespace

TCommandLine ParseCommandLine(const QStringList &arguments, const QString &programFolder)
{
    TCommandLine result;
    for (const QString &arg : arguments) {
        // An absolute path starts with "/" too; a switch holds no further "/".
        const bool isSwitch = arg.startsWith(u'-') || (arg.startsWith(u'/') && !arg.mid(1).contains(u'/'));
        if (isSwitch) {
            const QString sw = arg.mid(1);
            if (sw.compare(u"debug", Qt::CaseInsensitive) == 0)
                result.debug = true;
            else if (sw.compare(u"qorvi", Qt::CaseInsensitive) == 0)
                result.maintenance = true;
            continue;
        }
        if (!isPredictionFile(arg))
            continue;
        result.fileToOpen = QFileInfo(arg).isRelative() && !arg.contains(u'/')
                                ? QDir(programFolder).filePath(arg)
                                : QFileInfo(arg).absoluteFilePath();
        break;
    }
    return result;
}

QString DroppedPredictionFile(const QStringList &files)
{
    if (files.isEmpty() || !isPredictionFile(files.first()))
        return {};
    return files.first();
}
