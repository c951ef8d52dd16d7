#include "shell/UnitTypes.h"

#include "platform/DataFolders.h"
#include "platform/PelvaneError.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>
#include <optional>

namespace {

struct FolderCache
{
    std::optional<QString> common, user, documents;
};

FolderCache &cache()
{
    static FolderCache c;
    return c;
}

QString withSlash(const QString &dir)
{
    return dir.endsWith(u'/') ? dir : dir + u'/';
}

bool makeWritable(const QString &dir)
{
    if (!QDir().mkpath(dir))
        return false;
    const QFileInfo info(dir);
    return info.isDir() && info.isWritable();
}

[[noreturn]] void noUserFolder()
{
    throw EPelvaneError(QStringLiteral("ユーザーフォルダが取得できません"));
}

QString userFolderUnder(const QString &base)
{
    if (base.isEmpty())
        noUserFolder();
    const QString dir = withSlash(base) + kDataFolderName + u'/';
    if (!makeWritable(dir))
        noUserFolder();
    return dir;
}

} // namespace

QString GetCommonDataFolder()
{
    auto &c = cache().common;
    if (!c) {
        const QString system = withSlash(DataFolders::systemCommonDir()) + kDataFolderName + u'/';
        if (makeWritable(system))
            c = system;
        else
            c = userFolderUnder(DataFolders::userDataDir());
    }
    return *c;
}

QString GetUserDataFolder()
{
    auto &c = cache().user;
    if (!c)
        c = userFolderUnder(DataFolders::userConfigDir());
    return *c;
}

QString GetDocumentsDataFolder()
{
    auto &c = cache().documents;
    if (!c)
        c = userFolderUnder(DataFolders::documentsDir());
    return *c;
}

QString GetSheetFolder()
{
    const QString dir = GetDocumentsDataFolder() + QStringLiteral("Sheet/");
    if (!QDir().mkpath(dir))
        noUserFolder();
    return dir;
}

namespace {
QString &programNameOverride()
{
    static QString name;
    return name;
}
} // namespace

void SetProgramNameOverride(const QString &name)
{
    programNameOverride() = name;
}

QString GetProgramName()
{
    if (!programNameOverride().isEmpty())
        return programNameOverride();
    return QFileInfo(DataFolders::executablePath()).completeBaseName();
}

QString GetProgramFolder()
{
    return withSlash(QFileInfo(DataFolders::executablePath()).absolutePath());
}

QString GetIniFileName()
{
    return GetUserDataFolder() + GetProgramName() + QStringLiteral(".ini");
}

QString GetLoginUserName()
{
    return DataFolders::loginUserName();
}

void ResetFolderCache()
{
    cache() = FolderCache{};
}

qint64 RoundHalfAway(double x)
{
    return x >= 0 ? qint64(std::trunc(x + 0.5)) : qint64(std::trunc(x - 0.5));
}
