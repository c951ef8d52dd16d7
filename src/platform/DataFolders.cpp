#include "platform/DataFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <pwd.h>
#include <unistd.h>

namespace {

QString fromEnv(const char *name)
{
    const QString v = qEnvironmentVariable(name);
    return v.isEmpty() ? QString() : QDir::cleanPath(QDir(v).absolutePath());
}

QString homeDir()
{
    return QDir::homePath();
}

} // namespace

namespace DataFolders {

QString systemCommonDir()
{
    const QString env = fromEnv("PELVANE_COMMON_DIR");
    return env.isEmpty() ? QStringLiteral("/var/lib") : env;
}

QString userConfigDir()
{
    QString dir = fromEnv("PELVANE_CONFIG_DIR");
    if (dir.isEmpty())
        dir = fromEnv("XDG_CONFIG_HOME");
    if (dir.isEmpty() && !homeDir().isEmpty())
        dir = homeDir() + QStringLiteral("/.config");
    return dir;
}

QString userDataDir()
{
    QString dir = fromEnv("PELVANE_DATA_DIR");
    if (dir.isEmpty())
        dir = fromEnv("XDG_DATA_HOME");
    if (dir.isEmpty() && !homeDir().isEmpty())
        dir = homeDir() + QStringLiteral("/.local/share");
    return dir;
}

QString documentsDir()
{
    QString dir = fromEnv("PELVANE_DOCUMENTS_DIR");
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (dir.isEmpty() && !homeDir().isEmpty())
        dir = homeDir() + QStringLiteral("/Documents");
    return dir;
}

QString runtimeDir()
{
    QString dir = fromEnv("XDG_RUNTIME_DIR");
    if (dir.isEmpty() || !QFileInfo(dir).isWritable())
        dir = QDir::tempPath();
    return dir;
}

QString loginUserName()
{
    static const QString name = [] {
        if (const passwd *pw = getpwuid(getuid()); pw && pw->pw_name)
            return QString::fromLocal8Bit(pw->pw_name);
        return qEnvironmentVariable("USER");
    }();
    return name;
}

QString executablePath()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

QString executableName()
{
    return QFileInfo(executablePath()).fileName();
}

} // namespace DataFolders
