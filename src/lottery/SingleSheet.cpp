#include "lottery/SingleSheet.h"

#include "lottery/PrizeEstimate.h"
#include "lottery/UnitToTo.h"
#include "platform/PelvaneError.h"

#include <algorithm>
#include <numeric>

TSingleSheet::TSingleSheet(TTipSheet *sheet, int singleNumber)
    : TipSheet(sheet), SingleNumber(singleNumber)
{
    m_tips.fill(tpDraw);
    recount();
}

int TSingleSheet::maxMatch() const
{
    return TipSheet ? TipSheet->MaxMatch() : kMaxMatches;
}

TTip TSingleSheet::Tip(int index) const
{
    if (index < 0 || index >= maxMatch())
        throw EPelvaneError(QStringLiteral("GetTip : Index over flow"));
    return m_tips[size_t(index)];
}

void TSingleSheet::SetTip(int index, TTip tip)
{
    if (index < 0 || index >= maxMatch())
        throw EPelvaneError(QStringLiteral("GetTip : Index over flow"));
    m_tips[size_t(index)] = tip;
    recount();
}

void TSingleSheet::SetTips(const TTip *tips, int count)
{
    const int n = std::min(count, maxMatch());
    for (int i = 0; i < kMaxMatches; ++i)
        m_tips[size_t(i)] = i < n ? tips[i] : tpDraw;
    recount();
}

void TSingleSheet::CopyTips(const TSingleSheet &source)
{
    m_tips = source.m_tips;
    recount();
}

bool TSingleSheet::SameTips(const TSingleSheet &other) const
{
    return std::equal(m_tips.begin(), m_tips.begin() + maxMatch(), other.m_tips.begin());
}

void TSingleSheet::recount()
{
    const int n = maxMatch();
    m_tipCounts = {};
    for (int i = 0; i < n; ++i)
        ++m_tipCounts[m_tips[size_t(i)]];
    RecountHits();
}

void TSingleSheet::RecountHits()
{
    m_hitCount = 0;
    m_missCount = 0;
    if (!TipSheet)
        return;
    const int n = maxMatch();
    for (int i = 0; i < n; ++i) {
        const TTips result = TipSheet->Match(i).Result();
        if (result.isEmpty())
            continue;
        if (result.contains(m_tips[size_t(i)]))
            ++m_hitCount;
        else
            ++m_missCount;
    }
}

void TSingleSheet::SetInvalid(bool value)
{
    if (value == m_invalid)
        return;
    m_invalid = value;
    if (TipSheet)
        TipSheet->SingleInvalidChanged(*this);
}

int TSingleSheet::Prize()
{
    if (!TipSheet)
        return -1;
    RecountHits();
    const bool allIn = m_hitCount + m_missCount == maxMatch();
    if (TipSheet->TotoType() != ttToto) {
        if (m_missCount > 0)
            return 0;
        return allIn ? 1 : -1;
    }
    switch (m_missCount) {
    case 0: return allIn ? 1 : -1;
    case 1: return allIn ? 2 : -1;
    case 2:
        if (IsNoThirdPrizeRound(TipSheet->Number()))
            return 0;
        return allIn ? 3 : -1;
    default: return 0;
    }
}

qint64 TSingleSheet::WinPrice() const
{
    if (!TipSheet)
        return 0;
    double p = 1.0;
    const int n = maxMatch();
    for (int i = 0; i < n; ++i) {
        if (TipSheet->Match(i).CalledOff())
            continue;
        p *= TipSheet->VoteRate(i, m_tips[size_t(i)]);
    }
    return SinglePayout(TipSheet->TotoType(), TipSheet->Number(), p);
}

void TSingleSheet::CountUpsets() const
{
    std::array<int, 3> win{}, draw{};
    if (TipSheet) {
        const int n = maxMatch();
        for (int i = 0; i < n; ++i)
            TipSheet->CountUpset(i, TTips{m_tips[size_t(i)]}, draw, win);
    }
    for (int k = 0; k < 3; ++k) {
        m_winUpsets[size_t(k)] = qint8(win[size_t(k)]);
        m_drawUpsets[size_t(k)] = qint8(draw[size_t(k)]);
    }
}

void TSingleSheet::ResetUpsets() const
{
    m_winUpsets.fill(-1);
    m_drawUpsets.fill(-1);
}

int TSingleSheet::WinUpsets(int k) const
{
    if (m_winUpsets[size_t(k)] < 0)
        CountUpsets();
    return m_winUpsets[size_t(k)];
}

int TSingleSheet::DrawUpsets(int k) const
{
    if (m_drawUpsets[size_t(k)] < 0)
        CountUpsets();
    return m_drawUpsets[size_t(k)];
}

QString TSingleSheet::Text(int count) const
{
    QString s;
    s.reserve(count * 3 + 3);
    for (int i = 0; i < count; ++i) {
        if (i)
            s.append(u", ");
        s.append(TipDigit(m_tips[size_t(i)]));
    }
    if (m_invalid)
        s.append(u", X");
    return s;
}

void TSingleSheet::AssignTo(TSingleSheet &dest) const
{
    const int n = dest.maxMatch();
    for (int i = 0; i < kMaxMatches; ++i)
        dest.m_tips[size_t(i)] = i < n ? m_tips[size_t(i)] : tpDraw;
    dest.recount();
    dest.SetInvalid(m_invalid);
    dest.SingleNumber = SingleNumber;
    dest.m_hitCount = m_hitCount;
    dest.m_missCount = m_missCount;
    dest.m_winUpsets = m_winUpsets;
    dest.m_drawUpsets = m_drawUpsets;
}

// --- list ----------------------------------------------------------------------------------------

TSingleSheet &TSingleSheetList::Add(const TSingleSheet &single)
{
    m_items.push_back(single);
    return m_items.back();
}

void TSingleSheetList::Delete(int index)
{
    m_items.erase(m_items.begin() + index);
}

void TSingleSheetList::Recreate(TTipSheet *sheet, int count)
{
    m_items.clear();
    m_items.resize(size_t(count), TSingleSheet(sheet));
}

void TSingleSheetList::RemoveMarked(const std::vector<bool> &remove)
{
    size_t out = 0;
    for (size_t i = 0; i < m_items.size(); ++i)
        if (!(i < remove.size() && remove[i]))
            m_items[out++] = m_items[i];
    m_items.resize(out);
}

namespace {

struct SortKey
{
    qint64 k1 = 0, k2 = 0, k3 = 0; // smaller first
    int number = 0;
    bool invalid = false;
    quint32 index = 0;
};

} // namespace

void TSingleSheetList::SortBy(int kind, bool reverse, bool invalidLast)
{
    std::vector<SortKey> keys(m_items.size());
    for (size_t i = 0; i < m_items.size(); ++i) {
        TSingleSheet &s = m_items[i];
        SortKey &k = keys[i];
        k.index = quint32(i);
        k.number = s.SingleNumber;
        k.invalid = s.Invalid();
        switch (kind) {
        case 0: {
            qint64 v = 0;
            for (int m = 0; m < kMaxMatches; ++m)
                v = v * 10 + s.Tips()[size_t(m)];
            k.k1 = v;
            break;
        }
        case 1:
            s.RecountHits();
            k.k1 = -s.HitCount();
            break;
        case 2: k.k1 = -s.TipCounts(tpHome); k.k2 = -s.TipCounts(tpDraw); k.k3 = -s.TipCounts(tpAway); break;
        case 3: k.k1 = -s.TipCounts(tpDraw); k.k2 = -s.TipCounts(tpHome); k.k3 = -s.TipCounts(tpAway); break;
        case 4: k.k1 = -s.TipCounts(tpAway); k.k2 = -s.TipCounts(tpHome); k.k3 = -s.TipCounts(tpDraw); break;
        case 6: k.k1 = -s.WinPrice(); break;
        case 7: k.k1 = s.Invalid() ? 1 : 0; break;
        case 8:
            k.k1 = -s.WinUpsets(0);
            k.k2 = -(s.WinUpsets(0) + s.DrawUpsets(0));
            break;
        case 9:
            k.k1 = -(s.WinUpsets(0) + s.DrawUpsets(0));
            k.k2 = -s.WinUpsets(0);
            break;
        default: break; // 5: the number alone
        }
    }
    auto compare = [&](const SortKey &a, const SortKey &b) {
        if (invalidLast && a.invalid != b.invalid)
            return !a.invalid;
        int c = 0;
        if (a.k1 != b.k1)
            c = a.k1 < b.k1 ? -1 : 1;
        else if (a.k2 != b.k2)
            c = a.k2 < b.k2 ? -1 : 1;
        else if (a.k3 != b.k3)
            c = a.k3 < b.k3 ? -1 : 1;
        else if (a.number != b.number)
            c = a.number < b.number ? -1 : 1;
        if (reverse)
            c = -c;
        return c < 0;
    };
    std::sort(keys.begin(), keys.end(), compare);
    std::vector<TSingleSheet> sorted;
    sorted.reserve(m_items.size());
    for (const SortKey &k : keys)
        sorted.push_back(m_items[k.index]);
    m_items.swap(sorted);
}

quint32 TipsCode(const std::array<TTip, kMaxMatches> &tips, int count)
{
    quint32 code = 0;
    for (int i = 0; i < count; ++i)
        code = code * 3 + tips[size_t(i)];
    return code;
}
