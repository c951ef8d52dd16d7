#include "platform/FileAssociation.h"

#include "platform/AtomicFile.h"
#include "platform/DataFolders.h"
#include "platform/IniFile.h"
#include "platform/PelvaneError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

const QString kDesktopName = QStringLiteral("pelvane.desktop");

QString execLine(const QString &executablePath)
{
    QString quoted = executablePath;
    quoted.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return QStringLiteral("\"%1\" %f").arg(quoted);
}

void ensureDir(const QString &file)
{
    const QString dir = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(dir))
        throw EPelvaneError(QStringLiteral("フォルダ(%1)が作成できません").arg(dir));
}

void runIfPresent(const QString &program, const QStringList &args)
{
    if (!QStandardPaths::findExecutable(program).isEmpty())
        QProcess::execute(program, args);
}

// mimeapps.list is UTF-8 key=value text; the INI engine keeps the user's other lines.
TIniFile readUtf8Ini(const QString &path)
{
    TIniFile ini(TIniFile::TMode::Memory);
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        ini.loadFromText(QString::fromUtf8(file.readAll()));
    return ini;
}

} // namespace

namespace FileAssociation {

QString desktopEntryPath()
{
    return DataFolders::userDataDir() + QStringLiteral("/applications/") + kDesktopName;
}

QString mimePackagePath()
{
    return DataFolders::userDataDir() + QStringLiteral("/mime/packages/pelvane-prediction.xml");
}

QString mimeAppsListPath()
{
    return DataFolders::userConfigDir() + QStringLiteral("/mimeapps.list");
}

bool isAssociated(const QString &executablePath)
{
    QFile desktop(desktopEntryPath());
    if (!desktop.open(QIODevice::ReadOnly))
        return false;
    const QString text = QString::fromUtf8(desktop.readAll());
    if (!text.contains(QStringLiteral("Exec=") + execLine(executablePath)))
        return false;
    if (!QFile::exists(mimePackagePath()))
        return false;
    const TIniFile apps = readUtf8Ini(mimeAppsListPath());
    return apps.readString(QStringLiteral("Default Applications"), QString::fromLatin1(kMimeType)) == kDesktopName;
}

void associate(const QString &executablePath)
{
    const QString desktop = desktopEntryPath();
    ensureDir(desktop);
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=Pelvane\n"
                                         "Comment=toto prediction helper\n"
                                         "Exec=%1\n"
                                         "MimeType=%2;\n"
                                         "Terminal=false\n"
                                         "Categories=Utility;\n")
                              .arg(execLine(executablePath), QString::fromLatin1(kMimeType));
    WriteFileAtomic(desktop, entry.toUtf8());

    const QString mime = mimePackagePath();
    ensureDir(mime);
    const QString xml = QStringLiteral(
                            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                            "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                            "  <mime-type type=\"%1\">\n"
                            "    <comment>toto prediction</comment>\n"
                            "    <glob pattern=\"*.tot\"/>\n"
                            "  </mime-type>\n"
                            "</mime-info>\n")
                            .arg(QString::fromLatin1(kMimeType));
    WriteFileAtomic(mime, xml.toUtf8());

    const QString list = mimeAppsListPath();
    ensureDir(list);
    TIniFile apps = readUtf8Ini(list);
    apps.writeString(QStringLiteral("Default Applications"), QString::fromLatin1(kMimeType), kDesktopName);
    WriteFileAtomic(list, apps.toText().toUtf8());

    runIfPresent(QStringLiteral("update-mime-database"), {DataFolders::userDataDir() + QStringLiteral("/mime")});
    runIfPresent(QStringLiteral("update-desktop-database"), {DataFolders::userDataDir() + QStringLiteral("/applications")});
}

} // namespace FileAssociation
