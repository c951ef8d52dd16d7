#include "lottery/ExceptTeam.h"

void TExceptTeam::SetName(const QString &name)
{
    if (name == m_name)
        return;
    m_name = name;
    DoChanged();
}

void TExceptTeam::DoChanged()
{
    if (OnChanged)
        OnChanged(this);
}

bool TExceptTeam::SameAs(const TExceptTeam &other) const
{
    return Index == other.Index && m_name == other.m_name && Stadium == other.Stadium;
}

void TExceptTeam::AssignTo(TExceptTeam &dest) const
{
    dest.Index = Index;
    dest.SetName(m_name);
    dest.Stadium = Stadium;
    dest.Tag = Tag;
}

QString TExceptTeam::FormatedName() const
{
    return FormatTeamName(m_name);
}

QString FormatTeamName(const QString &name)
{
    QString wide = name;
    for (QChar &c : wide) {
        const char16_t u = c.unicode();
        if ((u >= u'0' && u <= u'9') || u == u'@' || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z'))
            c = QChar(char16_t(u + 0xFEE0));
    }
    const QChar space(u'　');
    switch (wide.size()) {
    case 0: return QString(3, space);
    case 1: return space + wide + space;
    case 2: return wide.at(0) + space + wide.at(1);
    default: return wide;
    }
}
