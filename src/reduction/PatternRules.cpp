#include "reduction/PatternRules.h"

#include "lottery/PrizeEstimate.h"
#include "lottery/UnitToTo.h"
#include "shell/UnitTypes.h"

#include <algorithm>

QString CutRuleName(TCutRule rule)
{
    switch (rule) {
    case TCutRule::None: return {};
    case TCutRule::DrawCut: return QStringLiteral("DrawCut");
    case TCutRule::HomeCut: return QStringLiteral("HomeCut");
    case TCutRule::AwayCut: return QStringLiteral("AwayCut");
    case TCutRule::HDACutList: return QStringLiteral("HDACutList");
    case TCutRule::DrawJ1Cut: return QStringLiteral("DrawJ1Cut");
    case TCutRule::DrawJ2Cut: return QStringLiteral("DrawJ2Cut");
    case TCutRule::SumCut: return QStringLiteral("SumCut");
    case TCutRule::WinPriceCut: return QStringLiteral("WinPriceCut");
    case TCutRule::IssueCut: return QStringLiteral("IssueCut");
    case TCutRule::BackfireCut: return QStringLiteral("BackfireCut");
    case TCutRule::BackfireJ1Cut: return QStringLiteral("BackfireJ1Cut");
    case TCutRule::BackfireJ2Cut: return QStringLiteral("BackfireJ2Cut");
    case TCutRule::FavoriteCut: return QStringLiteral("FavoriteCut");
    }
    return {};
}

TRuleContext TRuleContext::FromSheet(const TTipSheet &sheet)
{
    TRuleContext c;
    c.type = sheet.TotoType();
    c.round = sheet.Number();
    c.maxMatch = sheet.MaxMatch();
    c.hasOddsDate = sheet.OddsDate() != 0;
    c.allResults = true;
    for (int i = 0; i < c.maxMatch; ++i) {
        const TExceptMatch &m = sheet.Match(i);
        c.division[size_t(i)] = m.Division();
        for (TTip t : {tpDraw, tpHome, tpAway}) {
            c.percent[size_t(i)][t] = sheet.VotePercent(i, t);
            c.rate[size_t(i)][t] = sheet.VoteRate(i, t);
        }
        c.result[size_t(i)] = m.Result();
        c.calledOff[size_t(i)] = m.CalledOff();
        if (m.Result().isEmpty())
            c.allResults = false;
    }
    return c;
}

TPatternRuleEvaluator::TPatternRuleEvaluator(const TExpandOption &rules, const TRuleContext &context,
                                             TRuleSwitches switches)
    : m_rules(rules), m_context(context), m_switches(switches)
{
    for (int i = 0; i < m_context.maxMatch; ++i)
        for (QChar letter : m_rules.IssueCut[size_t(i)])
            if (letter >= u'A' && letter <= u'D')
                ++m_groupSize[size_t(letter.unicode() - u'A')];
    m_backfireOn = m_rules.BackfireCut.AnyEnabled() || m_rules.BackfireJ1Cut.AnyEnabled()
                || m_rules.BackfireJ2Cut.AnyEnabled();
}

qint64 TPatternRuleEvaluator::Price(const TTip *tips) const
{
    double p = 1.0;
    for (int i = 0; i < m_context.maxMatch; ++i) {
        if (!m_switches.priceOverAllMatches && m_context.calledOff[size_t(i)])
            continue;
        p *= m_context.rate[size_t(i)][tips[i]];
    }
    if (p <= 0)
        return 0;
    if (m_switches.priceOverAllMatches && m_context.type != ttToto)
        return RoundHalfAway(Payout::Base(m_context.round) / p);
    return SinglePayout(m_context.type, m_context.round, p);
}

std::array<int, 3> TPatternRuleEvaluator::Upsets(const TTip *tips) const
{
    std::array<int, 3> u{};
    for (int i = 0; i < m_context.maxMatch; ++i) {
        const auto &pc = m_context.percent[size_t(i)];
        const TTip t = tips[i];
        const int c = pc[t];
        const int other1 = pc[(t + 1) % 3], other2 = pc[(t + 2) % 3];
        if (!m_switches.upsetWithoutZeroCheck && (pc[0] == 0 || pc[1] == 0 || pc[2] == 0))
            continue;
        if (c < other1 || c < other2) {
            ++u[0];
            const int d = m_context.division[size_t(i)];
            if (d == 1)
                ++u[1];
            else if (d >= 2)
                ++u[2];
        }
    }
    return u;
}

int TPatternRuleEvaluator::Misses(const TTip *tips) const
{
    int misses = 0;
    for (int i = 0; i < m_context.maxMatch; ++i) {
        const TTips r = m_context.result[size_t(i)];
        if (m_switches.missUnlessExactResult)
            misses += !(r == TTips{tips[i]});
        else
            misses += !r.contains(tips[i]);
    }
    return misses;
}

TCutRule TPatternRuleEvaluator::check(int step, const TTip *tips, const std::array<int, 3> &counts) const
{
    const TExpandOption &r = m_rules;
    const int n = m_context.maxMatch;
    switch (step) {
    case 1:
        if (r.DrawCut.Fails(counts[tpDraw]))
            return TCutRule::DrawCut;
        if (r.HomeCut.Fails(counts[tpHome]))
            return TCutRule::HomeCut;
        if (r.AwayCut.Fails(counts[tpAway]))
            return TCutRule::AwayCut;
        return TCutRule::None;
    case 2: {
        if (!r.HDACutEnable)
            return TCutRule::None;
        const int key = counts[tpHome] * 256 + counts[tpDraw] * 16 + counts[tpAway];
        const auto &values = r.HDACutValues();
        return std::find(values.begin(), values.end(), key) == values.end() ? TCutRule::HDACutList : TCutRule::None;
    }
    case 3: {
        int d1 = 0, d2 = 0;
        for (int i = 0; i < n; ++i) {
            if (tips[i] != tpDraw)
                continue;
            d1 += m_context.division[size_t(i)] == 1;
            d2 += m_context.division[size_t(i)] == 2;
        }
        if (r.DrawJ1Cut.Fails(d1))
            return TCutRule::DrawJ1Cut;
        if (r.DrawJ2Cut.Fails(d2))
            return TCutRule::DrawJ2Cut;
        return TCutRule::None;
    }
    case 4:
        return r.SumCut.Fails(counts[tpHome] + 2 * counts[tpAway]) ? TCutRule::SumCut : TCutRule::None;
    case 5: {
        if (!m_context.hasOddsDate || !r.WinPriceCut.AnyEnabled())
            return TCutRule::None;
        const qint64 p = Price(tips);
        if ((r.WinPriceCut.LessThanEnable && p < r.WinPriceCut.LessThan)
            || (r.WinPriceCut.MoreThanEnable && p > r.WinPriceCut.MoreThan))
            return TCutRule::WinPriceCut;
        return TCutRule::None;
    }
    case 6: {
        if (!r.IssueCutEnable)
            return TCutRule::None;
        std::array<int, 4> taken{};
        for (int i = 0; i < n; ++i) {
            const QChar letter = r.IssueCut[size_t(i)][tips[i]];
            if (letter >= u'A' && letter <= u'D')
                ++taken[size_t(letter.unicode() - u'A')];
        }
        for (int g = 0; g < 4; ++g) {
            const int size = m_groupSize[size_t(g)];
            const quint8 type = r.IssueCutType[size_t(g)];
            if (size <= 1 || type == 0)
                continue;
            if (((type & 1) && taken[size_t(g)] >= size) || ((type & 2) && size - taken[size_t(g)] >= size))
                return TCutRule::IssueCut;
        }
        return TCutRule::None;
    }
    case 7: {
        if (!m_context.hasOddsDate || !m_backfireOn)
            return TCutRule::None;
        const std::array<int, 3> u = Upsets(tips);
        const TCutRule names[3] = {TCutRule::BackfireCut, TCutRule::BackfireJ1Cut, TCutRule::BackfireJ2Cut};
        for (int k = 0; k < 3; ++k)
            if (r.BackfireCuts(k).Fails(u[size_t(k)]))
                return names[k];
        return TCutRule::None;
    }
    case 8:
        if (r.FavoriteCut.MoreThanEnable && m_context.allResults && Misses(tips) >= r.FavoriteCut.MoreThan)
            return TCutRule::FavoriteCut;
        return TCutRule::None;
    }
    return TCutRule::None;
}

TCutRule TPatternRuleEvaluator::Evaluate(const TTip *tips) const
{
    std::array<int, 3> counts{};
    for (int i = 0; i < m_context.maxMatch; ++i)
        ++counts[tips[i]];
    static constexpr int kLibraryOrder[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    static constexpr int kGuaranteeOrder[8] = {5, 2, 1, 3, 4, 7, 8, 6};
    const int *order = m_switches.guaranteeOrder ? kGuaranteeOrder : kLibraryOrder;
    for (int k = 0; k < 8; ++k)
        if (const TCutRule rule = check(order[k], tips, counts); rule != TCutRule::None)
            return rule;
    return TCutRule::None;
}
