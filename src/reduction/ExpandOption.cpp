#include "reduction/ExpandOption.h"

#include "platform/CommaText.h"
#include "platform/Format.h"
#include "platform/IniFile.h"

namespace {

const QString kExpand = QStringLiteral("Expand");
const QString kPatternCut = QStringLiteral("PatternCut");

void readRule(const TIniFile &ini, const QString &prefix, TPatternCut &rule)
{
    rule.MoreThanEnable = ini.readBool(kPatternCut, prefix + QStringLiteral("MoreThanEnable"), rule.MoreThanEnable);
    rule.LessThanEnable = ini.readBool(kPatternCut, prefix + QStringLiteral("LessThanEnable"), rule.LessThanEnable);
    rule.MoreThan = ini.readInteger(kPatternCut, prefix + QStringLiteral("MoreThan"), rule.MoreThan);
    rule.LessThan = ini.readInteger(kPatternCut, prefix + QStringLiteral("LessThan"), rule.LessThan);
}

void writeRule(TIniFile &ini, const QString &prefix, const TPatternCut &rule)
{
    ini.writeBool(kPatternCut, prefix + QStringLiteral("MoreThanEnable"), rule.MoreThanEnable);
    ini.writeBool(kPatternCut, prefix + QStringLiteral("LessThanEnable"), rule.LessThanEnable);
    ini.writeInteger(kPatternCut, prefix + QStringLiteral("MoreThan"), rule.MoreThan);
    ini.writeInteger(kPatternCut, prefix + QStringLiteral("LessThan"), rule.LessThan);
}

bool isGroupLetter(QChar c)
{
    return c >= u'A' && c <= u'D';
}

// "#,##0" padded on the left to the width (none when width < 0).
QString bound(bool enabled, qint64 value, int width)
{
    QString s = enabled ? FormatFloat(QStringLiteral("#,##0"), double(value)) : QString();
    if (width >= 0 && s.size() < width)
        s = QString(width - s.size(), u' ') + s;
    return s;
}

} // namespace

TExpandOption::TExpandOption()
{
    for (auto &m : IssueCut)
        m.fill(QChar());
}

const std::array<TExpandOption::TRuleKey, 11> &TExpandOption::RuleKeys()
{
    static const std::array<TRuleKey, 11> keys = {{
        {&TExpandOption::HomeCut, "Home", "Home", "HomeCut"},
        {&TExpandOption::DrawCut, "Draw", "Draw", "DrawCut"},
        {&TExpandOption::AwayCut, "Away", "Away", "AwayCut"},
        {&TExpandOption::DrawJ1Cut, "DrawJ1", "DrawJ1", "DrawJ1Cut"},
        {&TExpandOption::DrawJ2Cut, "DrawJ2", "DrawJ2", "DrawJ2Cut"},
        {&TExpandOption::SumCut, "Sum", "Sum", "SumCut"},
        {&TExpandOption::WinPriceCut, "WinPrice", "WinPrice", "WinPriceCut"},
        {&TExpandOption::BackfireCut, "BackFire", "Backfire", "BackfireCut"},
        {&TExpandOption::BackfireJ1Cut, "BackFireJ1", "BackfireJ1", "BackfireJ1Cut"},
        {&TExpandOption::BackfireJ2Cut, "BackFireJ2", "BackfireJ2", "BackfireJ2Cut"},
        {&TExpandOption::FavoriteCut, "FavoriteCut", "FavoriteCut", "FavoriteCut"},
    }};
    return keys;
}

void TExpandOption::SetHDACutList(const QStringList &list)
{
    m_hdaCutList = list;
    m_hdaCutValues.clear();
    for (const QString &entry : list) {
        bool ok = false;
        const int v = entry.trimmed().toInt(&ok, 16);
        m_hdaCutValues.push_back(ok && !entry.trimmed().startsWith(u'-') && !entry.trimmed().startsWith(u'+') ? v : -1);
    }
}

TPatternCut &TExpandOption::CountCut(TTip tip)
{
    return tip == tpDraw ? DrawCut : tip == tpHome ? HomeCut : AwayCut;
}

const TPatternCut &TExpandOption::CountCut(TTip tip) const
{
    return tip == tpDraw ? DrawCut : tip == tpHome ? HomeCut : AwayCut;
}

TPatternCut &TExpandOption::DivisionDrawCut(int division)
{
    return division == 1 ? DrawJ1Cut : DrawJ2Cut;
}

const TPatternCut &TExpandOption::DivisionDrawCut(int division) const
{
    return division == 1 ? DrawJ1Cut : DrawJ2Cut;
}

TPatternCut &TExpandOption::BackfireCuts(int k)
{
    return k == 0 ? BackfireCut : k == 1 ? BackfireJ1Cut : BackfireJ2Cut;
}

const TPatternCut &TExpandOption::BackfireCuts(int k) const
{
    return k == 0 ? BackfireCut : k == 1 ? BackfireJ1Cut : BackfireJ2Cut;
}

bool TExpandOption::SameAs(const TExpandOption &o) const
{
    for (const TRuleKey &k : RuleKeys())
        if (!(this->*k.rule == o.*k.rule))
            return false;
    return HDACutEnable == o.HDACutEnable && m_hdaCutList == o.m_hdaCutList && Prizelevel == o.Prizelevel
        && OptimizeLevel == o.OptimizeLevel && IssueCutEnable == o.IssueCutEnable && IssueCut == o.IssueCut
        && IssueCutType == o.IssueCutType && UsePatternCut == o.UsePatternCut && Guarantee == o.Guarantee;
}

void TExpandOption::LoadFromIni(const TIniFile &ini)
{
    Prizelevel = ini.readInteger(kExpand, QStringLiteral("PrizeLevel"), Prizelevel);
    OptimizeLevel = ini.readInteger(kExpand, QStringLiteral("OptimizeLevel"), OptimizeLevel);
    Guarantee = ini.readBool(kExpand, QStringLiteral("Guarantee"), Guarantee);
    UsePatternCut = ini.readBool(kExpand, QStringLiteral("UsePatternCut"), UsePatternCut);

    for (const TRuleKey &k : RuleKeys())
        readRule(ini, QString::fromLatin1(k.readPrefix), this->*k.rule);
    SetHDACutList(CommaText::split(ini.readString(kPatternCut, QStringLiteral("HDACutList"))));
    HDACutEnable = ini.readBool(kPatternCut, QStringLiteral("HDACutEnable"), false);
    IssueCutEnable = ini.readBool(kPatternCut, QStringLiteral("IssueCutEnable"), false);
    for (int m = 0; m < kMaxMatches; ++m) {
        const QString key = QStringLiteral("IssueCut%1").arg(m + 1);
        auto &letters = IssueCut[size_t(m)];
        letters.fill(QChar());
        const QStringList fields = CommaText::split(ini.readString(kPatternCut, key));
        const TTip order[3] = {tpHome, tpDraw, tpAway};
        for (int f = 0; f < 3 && f < fields.size(); ++f)
            if (!fields[f].isEmpty() && isGroupLetter(fields[f].at(0)))
                letters[order[f]] = fields[f].at(0);
    }
    const QStringList types = CommaText::split(ini.readString(kPatternCut, QStringLiteral("IssueCutType")));
    for (int g = 0; g < 4 && g < types.size(); ++g) {
        const int v = StrToIntDef(types[g], 0);
        IssueCutType[size_t(g)] = quint8((v & 1) | (v & 2));
    }
}

void TExpandOption::SaveToIni(TIniFile &ini) const
{
    ini.writeInteger(kExpand, QStringLiteral("PrizeLevel"), Prizelevel);
    ini.writeInteger(kExpand, QStringLiteral("OptimizeLevel"), OptimizeLevel);
    ini.writeBool(kExpand, QStringLiteral("Guarantee"), Guarantee);
    ini.writeBool(kExpand, QStringLiteral("UsePatternCut"), UsePatternCut);
    for (const TRuleKey &k : RuleKeys())
        writeRule(ini, QString::fromLatin1(k.writePrefix), this->*k.rule);
    QStringList quoted;
    for (const QString &e : m_hdaCutList)
        quoted.append(CommaText::quoteIfNeeded(e));
    ini.writeString(kPatternCut, QStringLiteral("HDACutList"), quoted.join(u','));
    ini.writeBool(kPatternCut, QStringLiteral("HDACutEnable"), HDACutEnable);
    ini.writeBool(kPatternCut, QStringLiteral("IssueCutEnable"), IssueCutEnable);
    for (int m = 0; m < kMaxMatches; ++m) {
        const auto &letters = IssueCut[size_t(m)];
        QString v;
        const TTip order[3] = {tpHome, tpDraw, tpAway};
        for (int f = 0; f < 3; ++f) {
            const QChar c = letters[order[f]];
            v += isGroupLetter(c) ? QString(c) : QStringLiteral(" ");
            if (f < 2)
                v += QStringLiteral(", ");
        }
        ini.writeString(kPatternCut, QStringLiteral("IssueCut%1").arg(m + 1), v);
    }
    ini.writeString(kPatternCut, QStringLiteral("IssueCutType"),
                    Format(u"%d, %d, %d, %d", {IssueCutType[0], IssueCutType[1], IssueCutType[2], IssueCutType[3]}));
}

QString TExpandOption::Summary() const
{
    if (!UsePatternCut)
        return QStringLiteral("【抽出条件：なし】\r\n");
    QString text = QStringLiteral("【抽出条件】\r\n");
    auto line = [&](const char16_t *label, const TPatternCut &r, int width, int a) {
        if (!r.AnyEnabled())
            return;
        text += QString::fromUtf16(label) + QStringLiteral(" : ") + bound(r.LessThanEnable, qint64(r.LessThan) + a, width)
              + u'～' + bound(r.MoreThanEnable, qint64(r.MoreThan) - a, width) + QStringLiteral("\r\n");
    };
    line(u"ホーム勝ち　", HomeCut, 2, 1);
    line(u"その他　　　", DrawCut, 2, 1);
    line(u"アウェイ勝ち", AwayCut, 2, 1);
    line(u"その他(J1)　", DrawJ1Cut, 2, 1);
    line(u"その他(J2)　", DrawJ2Cut, 2, 1);
    line(u"1等賞金　　 ", WinPriceCut, -1, 0);
    line(u"HDA合計値　 ", SumCut, -1, 1);
    if (HDACutEnable && !m_hdaCutList.isEmpty()) {
        text += QStringLiteral("HDA指定　　  : ");
        for (int v : m_hdaCutValues) {
            QString e = QStringLiteral("H%1D%2A%3").arg((v >> 8) & 15).arg((v >> 4) & 15).arg(v & 15);
            text += e.leftJustified(9, u' ') + QStringLiteral(", ");
        }
        text += QStringLiteral("\r\n");
    }
    line(u"波乱数(全体)", BackfireCut, -1, 1);
    line(u"波乱数(J1)　", BackfireJ1Cut, -1, 1);
    line(u"波乱数(J2)　", BackfireJ2Cut, -1, 1);
    line(u"本命予想　　", FavoriteCut, -1, 1);
    return text;
}
