#include "settings/FormPlacement.h"

#include "platform/Format.h"
#include "platform/IniFile.h"

#include <QStringList>

#include <climits>

TFormPlacement LoadFormPlacement(const TIniFile &ini, const QString &section, const TFormPlacement &current,
                                 int screenWidth, int screenHeight)
{
    TFormPlacement p;
    p.Left = ini.readInteger(section, QStringLiteral("Left"), current.Left);
    p.Top = ini.readInteger(section, QStringLiteral("Top"), current.Top);
    p.Width = ini.readInteger(section, QStringLiteral("Width"), current.Width);
    p.Height = ini.readInteger(section, QStringLiteral("Height"), current.Height);
    const int state = ini.readInteger(section, QStringLiteral("WindowState"), current.WindowState);
    if (p.Left + p.Width > screenWidth)
        p.Left = screenWidth - p.Width;
    if (p.Top + p.Height > screenHeight)
        p.Top = screenHeight - p.Height;
    if (p.Left < 0)
        p.Left = 0;
    if (p.Top < 0)
        p.Top = 0;
    if (state == 1)
        p.WindowState = 0;
    else if (state == 0 || state == 2)
        p.WindowState = state;
    else
        p.WindowState = current.WindowState;
    return p;
}

void SaveFormPlacement(TIniFile &ini, const QString &section, const TFormPlacement &p)
{
    ini.writeInteger(section, QStringLiteral("Left"), p.Left);
    ini.writeInteger(section, QStringLiteral("Top"), p.Top);
    ini.writeInteger(section, QStringLiteral("Width"), p.Width);
    ini.writeInteger(section, QStringLiteral("Height"), p.Height);
    ini.writeInteger(section, QStringLiteral("WindowState"), p.WindowState);
}

void LoadGridColumns(const TIniFile &ini, const QString &section, int fixedColumns, std::vector<int> &widths)
{
    const QStringList items = ini.readString(section, QStringLiteral("ColWidths")).split(u',');
    for (qsizetype i = 0; i < items.size(); ++i) {
        qint64 w = 0;
        const size_t column = size_t(fixedColumns + i);
        if (TryStrToInt64(items[i], w) && w >= 0 && w <= INT_MAX && column < widths.size())
            widths[column] = int(w);
    }
}

void SaveGridColumns(TIniFile &ini, const QString &section, int fixedColumns, const std::vector<int> &widths)
{
    QStringList items;
    for (size_t c = size_t(fixedColumns); c < widths.size(); ++c)
        items.append(QString::number(widths[c]));
    ini.writeString(section, QStringLiteral("ColWidths"), items.join(QStringLiteral(", ")));
}
