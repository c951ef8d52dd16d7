#include "lottery/TotoTypes.h"

#include "platform/Format.h"

int MaxMatchOf(TTotoType type)
{
    return type == ttToto ? 13 : 5;
}

QString TotoTypeName(TTotoType type)
{
    switch (type) {
    case ttToto: return QStringLiteral("toto");
    case ttMiniA: return QStringLiteral("mini toto-A組");
    case ttMiniB: return QStringLiteral("mini toto-B組");
    }
    return QStringLiteral("toto");
}

QString TotoTypeSuffix(TTotoType type)
{
    switch (type) {
    case ttToto: return {};
    case ttMiniA: return QStringLiteral("A");
    case ttMiniB: return QStringLiteral("B");
    }
    return {};
}

TTotoType TotoTypeFromInt(int value)
{
    return value >= 0 && value <= 2 ? TTotoType(value) : ttToto;
}

QString PrizeLevelName(int level)
{
    static const char16_t *names[] = {u"×", u"１等", u"２等", u"３等"};
    return level >= 0 && level <= 3 ? QString::fromUtf16(names[level]) : QString();
}

bool IsNoThirdPrizeRound(int roundNumber)
{
    return roundNumber >= 198 && roundNumber <= 260;
}

TTips ResultFromScore(int roundNumber, int homeScore, int awayScore, bool calledOff, bool vGoal)
{
    if (calledOff)
        return TTips::all();
    if (homeScore < 0 || awayScore < 0)
        return {};
    if (vGoal && roundNumber >= 32)
        return {tpDraw};
    if (homeScore > awayScore)
        return {tpHome};
    if (awayScore > homeScore)
        return {tpAway};
    return {tpDraw};
}

TTip TipFromText(QStringView text)
{
    const int v = StrToIntDef(text, 0);
    return v == 1 ? tpHome : v == 2 ? tpAway : tpDraw;
}

QString MarksText(TTips tips)
{
    QString s;
    for (TTip t : kDisplayTipOrder)
        s.append(tips.contains(t) ? u'■' : u'□');
    return s;
}

QString TipsDigits(TTips tips)
{
    QString s;
    for (TTip t : kDisplayTipOrder)
        if (tips.contains(t))
            s.append(TipDigit(t));
    return s;
}
