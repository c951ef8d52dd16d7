#include "shell/Version.h"

#include "platform/Format.h"

#include <QStringList>

TProgramVersion ProgramVersion()
{
    const QStringList parts = QStringLiteral(PELVANE_VERSION).split(u'.');
    TProgramVersion v;
    v.major = parts.value(0).toInt();
    v.minor = parts.value(1).toInt();
    v.release = parts.value(2).toInt();
    v.preRelease = v.major == 0;
    return v;
}

QString VersionLabel(const TProgramVersion &version)
{
    if (version.preRelease) {
        QString s = Format(QStringLiteral("Pelvane Ver.%d.%2.2d"), {version.major, version.minor + 1}) + u'β';
        if (version.release > 0)
            s += QString::number(version.release);
        return s;
    }
    QString s = Format(QStringLiteral("Pelvane Ver.%d.%2.2d"), {version.major, version.minor});
    if (version.release > 0)
        s += u'.' + QString::number(version.release);
    return s;
}
