#include "platform/UserRegistry.h"

#include "platform/DataFolders.h"
#include "platform/IniFile.h"
#include "platform/PelvaneError.h"

#include <QDir>

TUserRegistry::TUserRegistry(const QString &key)
{
    QString path = key;
    path.replace(u'\\', u'/');
    if (path.startsWith(QStringLiteral("Software/"), Qt::CaseInsensitive))
        path = path.mid(9);
    m_fileName = DataFolders::userConfigDir() + u'/' + path + QStringLiteral(".reg");
}

bool TUserRegistry::readBool(const QString &section, const QString &name, bool def) const
{
    return TIniFile(m_fileName, TIniFile::TMode::Profile).readBool(section, name, def);
}

void TUserRegistry::writeBool(const QString &section, const QString &name, bool value)
{
    const QString dir = QFileInfo(m_fileName).absolutePath();
    if (!QDir().mkpath(dir))
        throw EPelvaneError(QStringLiteral("フォルダ(%1)が作成できません").arg(dir));
    TIniFile ini(m_fileName, TIniFile::TMode::Profile);
    ini.writeBool(section, name, value);
    ini.save();
}
