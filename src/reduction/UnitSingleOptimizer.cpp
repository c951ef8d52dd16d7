#include "reduction/UnitSingleOptimizer.h"

#include "lottery/UnitToTo.h"
#include "platform/DataFolders.h"
#include "platform/EventPump.h"
#include "platform/Format.h"
#include "platform/MessageService.h"
#include "platform/PelvaneError.h"
#include "platform/Progress.h"
#include "platform/Random.h"
#include "reduction/PatternRules.h"
#include "settings/UnitOption.h"
#include "shell/UnitTypes.h"

#include <QDateTime>
#include <QDebug>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <functional>

namespace {

// Max of keys over pattern indices, -1 for patterns that are not candidates.
class TMaxTree
{
public:
    explicit TMaxTree(int n)
    {
        m_size = 1;
        while (m_size < n)
            m_size <<= 1;
        m_tree.assign(size_t(2 * m_size), -1);
    }
    void set(int i, int64_t key)
    {
        size_t p = size_t(i + m_size);
        m_tree[p] = key;
        for (p >>= 1; p >= 1; p >>= 1)
            m_tree[p] = std::max(m_tree[2 * p], m_tree[2 * p + 1]);
    }
    int64_t top() const { return m_tree[1]; }

private:
    int m_size;
    std::vector<int64_t> m_tree;
};

// Min of values over pattern indices with how many reach it, and the t-th of those in index order.
class TMinCountTree
{
public:
    static constexpr int64_t kNone = INT64_MAX;
    explicit TMinCountTree(int n)
    {
        m_size = 1;
        while (m_size < n)
            m_size <<= 1;
        m_min.assign(size_t(2 * m_size), kNone);
        m_count.assign(size_t(2 * m_size), 0);
    }
    void set(int i, int64_t value)
    {
        size_t p = size_t(i + m_size);
        m_min[p] = value;
        m_count[p] = value == kNone ? 0 : 1;
        for (p >>= 1; p >= 1; p >>= 1)
            pull(p);
    }
    int64_t min() const { return m_min[1]; }
    int count() const { return m_count[1]; }
    // The t-th (0-based) index holding the minimum.
    int nth(int t) const
    {
        size_t p = 1;
        const int64_t target = m_min[1];
        while (p < size_t(m_size)) {
            const size_t l = 2 * p;
            const int left = m_min[l] == target ? m_count[l] : 0;
            if (t < left) {
                p = l;
            } else {
                t -= left;
                p = l + 1;
            }
        }
        return int(p) - m_size;
    }

private:
    void pull(size_t p)
    {
        const size_t l = 2 * p, r = l + 1;
        m_min[p] = std::min(m_min[l], m_min[r]);
        m_count[p] = (m_min[l] == m_min[p] ? m_count[l] : 0) + (m_min[r] == m_min[p] ? m_count[r] : 0);
        if (m_min[p] == kNone)
            m_count[p] = 0;
    }

    int m_size;
    std::vector<int64_t> m_min;
    std::vector<int> m_count;
};

constexpr int kIndexBits = 22;
constexpr int64_t kIndexMask = (int64_t(1) << kIndexBits) - 1;

} // namespace

namespace {
double g_searchSeconds = -1;
qint64 g_searchSteps = -1;
bool g_nearAlways = false;
}

void SetGuaranteeNearRedundancyAlways(bool always)
{
    g_nearAlways = always;
}

void SetGuaranteeSearchSteps(qint64 steps)
{
    g_searchSteps = steps;
}

qint64 GuaranteeSearchSteps()
{
    return g_searchSteps;
}

void SetGuaranteeSearchSeconds(double seconds)
{
    g_searchSeconds = seconds;
}

double GuaranteeSearchSeconds()
{
    return g_searchSeconds;
}

void TSelectInfo::Reset(int count)
{
    Count = count;
    States.assign(size_t(count), 0);
    CoverCounts.assign(size_t(count), 0);
    SelectCount = 0;
    CoveredCount = 0;
    Selected.clear();
}

void TSelectInfo::Clear()
{
    for (uint8_t &s : States)
        s &= psDelete;
    std::fill(CoverCounts.begin(), CoverCounts.end(), 0);
    SelectCount = 0;
    CoveredCount = 0;
    Selected.clear();
}

TSingleOptimizer::TSingleOptimizer(TTipSheet &sheet)
    : m_sheet(sheet)
{
}

void TSingleOptimizer::SetMatchTips(int matchIndex, TTips tips)
{
    if (matchIndex < 0 || matchIndex >= kMaxMatches)
        throw EPelvaneError(QStringLiteral("TSingleOptimizer Index out of range"));
    m_matchTips[size_t(matchIndex)] = tips;
}

int TSingleOptimizer::Distance(uint32_t a, uint32_t b)
{
    static const auto table = [] {
        std::array<uint8_t, 0x4000> t{};
        for (int v = 0; v < 0x4000; ++v) {
            int n = 0;
            for (int g = 0; g < 7; ++g)
                n += ((v >> (2 * g)) & 3) != 0;
            t[size_t(v)] = uint8_t(n);
        }
        return t;
    }();
    const uint32_t x = a ^ b;
    return table[x & 0x3FFF] + table[(x >> 14) & 0x3FFF];
}

void TSingleOptimizer::progress(const QString &text, int position)
{
    ProgressSet(position);
    Q_UNUSED(text);
    // Let the window run at least every 50 ms, then honour a stop.
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - m_lastPump >= 50) {
        m_lastPump = now;
        ProcessPendingEvents();
    }
    if (m_sheet.KeyAbort()) {
        m_sheet.Singles().Clear();
        throw EPelvaneError(QStringLiteral("ユーザー操作により展開を中止しました"));
    }
}

void TSingleOptimizer::initialise()
{
    const int maxMatch = m_sheet.MaxMatch();
    m_multi.clear();
    m_digitTips.assign(size_t(maxMatch), {});
    for (int i = 0; i < maxMatch; ++i) {
        for (TTip t : kDisplayTipOrder)
            if (m_matchTips[size_t(i)].contains(t))
                m_digitTips[size_t(i)].push_back(t);
        const int marks = int(m_digitTips[size_t(i)].size());
        if (marks == 0)
            throw EPelvaneError(QStringLiteral("全ての試合にマークを付けて下さい"));
    }
    // Doubles first in match order, the first varying fastest; then the triples.
    m_weight.clear();
    m_radix.clear();
    int b = 1;
    for (int radix : {2, 3})
        for (int i = 0; i < maxMatch; ++i)
            if (int(m_digitTips[size_t(i)].size()) == radix) {
                m_multi.push_back(i);
                m_weight.push_back(b);
                m_radix.push_back(radix);
                b *= radix;
            }
    m_n = b;
    // Patterns within each radius of any pattern (the same for all): a product of the changes.
    std::vector<double> within(m_multi.size() + 1, 0.0);
    within[0] = 1;
    for (int radix : m_radix)
        for (size_t r = m_multi.size(); r >= 1; --r)
            within[r] += within[r - 1] * (radix - 1);
    m_ballSize.assign(within.size(), 0);
    double total = 0;
    for (size_t r = 0; r < within.size(); ++r)
        m_ballSize[r] = (total += within[r]);
    ProgressStart(100, 0, 1);
    m_first.Reset(m_n);
    m_second.Reset(m_n);
    m_surviving = m_n;
    m_codes.assign(size_t(m_n), 0);
    uint32_t base = 0;
    for (int i = 0; i < maxMatch; ++i)
        if (m_digitTips[size_t(i)].size() == 1)
            base |= uint32_t(m_digitTips[size_t(i)][0]) << (2 * (maxMatch - 1 - i));
    for (int j = 0; j < m_n; ++j) {
        uint32_t code = base;
        for (size_t k = 0; k < m_multi.size(); ++k) {
            const int digit = (j / m_weight[k]) % m_radix[k];
            const TTip tip = m_radix[k] == 2 ? m_digitTips[size_t(m_multi[k])][size_t(digit)]
                                             : (digit == 0 ? tpHome : digit == 1 ? tpDraw : tpAway);
            code |= uint32_t(tip) << (2 * (maxMatch - 1 - m_multi[k]));
        }
        m_codes[size_t(j)] = code;
    }
}

void TSingleOptimizer::ballFrom(int from, int left, int index, std::vector<int> &out) const
{
    // Each pattern once: positions change in increasing order.
    const int m = int(m_multi.size());
    for (int k = from; k < m; ++k) {
        const int w = m_weight[size_t(k)], r = m_radix[size_t(k)];
        const int digit = (index / w) % r;
        for (int d = 0; d < r; ++d) {
            if (d == digit)
                continue;
            const int idx = index + (d - digit) * w;
            out.push_back(idx);
            if (left > 1)
                ballFrom(k + 1, left - 1, idx, out);
        }
    }
}

void TSingleOptimizer::ball(int pattern, int radius, std::vector<int> &out) const
{
    out.clear();
    out.push_back(pattern);
    if (radius > 0)
        ballFrom(0, radius, pattern, out);
}

void TSingleOptimizer::cut()
{
    if (!m_usePatternCut)
        return;
    const TExpandOption &rules = m_sheet.Option ? m_sheet.Option->ExpandOption : m_sheet.ExpandOption;
    const TPatternRuleEvaluator evaluator(rules, TRuleContext::FromSheet(m_sheet), TRuleSwitches::PerPattern());
    const int maxMatch = m_sheet.MaxMatch();
    TTip tips[kMaxMatches];
    for (int p = 0; p < m_n; ++p) {
        if ((p & 1023) == 0)
            progress(QStringLiteral("出目削減中"), 10 + int(10LL * p / m_n));
        for (int i = 0; i < maxMatch; ++i)
            tips[i] = TTip((m_codes[size_t(p)] >> (2 * (maxMatch - 1 - i))) & 3);
        if (evaluator.Cuts(tips)) {
            m_first.States[size_t(p)] = psDelete;
            m_second.States[size_t(p)] = psDelete;
            --m_surviving;
        }
    }
}

void TSingleOptimizer::select(TSelectInfo &info, int pattern)
{
    uint8_t &s = info.States[size_t(pattern)];
    const bool wasEmpty = s == 0;
    s = uint8_t((s | psSelect) & ~psHit);
    ++info.SelectCount;
    info.Selected.insert(pattern);
    ++info.CoverCounts[size_t(pattern)];
    if (wasEmpty)
        ++info.CoveredCount;
    ball(pattern, m_level - 1, m_ballScratch);
    for (size_t k = 1; k < m_ballScratch.size(); ++k) {
        const int q = m_ballScratch[k];
        uint8_t &t = info.States[size_t(q)];
        if (t & psDelete)
            continue;
        ++info.CoverCounts[size_t(q)];
        if (t == 0) {
            t = psHit;
            ++info.CoveredCount;
        }
    }
}

void TSingleOptimizer::unselect(TSelectInfo &info, int pattern)
{
    uint8_t &s = info.States[size_t(pattern)];
    s = uint8_t(s & ~psSelect);
    if (--info.CoverCounts[size_t(pattern)] >= 1)
        s |= psHit;
    else
        --info.CoveredCount;
    --info.SelectCount;
    info.Selected.erase(pattern);
    ball(pattern, m_level - 1, m_ballScratch);
    for (size_t k = 1; k < m_ballScratch.size(); ++k) {
        const int q = m_ballScratch[k];
        uint8_t &t = info.States[size_t(q)];
        if (t & psDelete)
            continue;
        if (--info.CoverCounts[size_t(q)] < 1 && (t & psHit)) {
            t = uint8_t(t & ~psHit);
            --info.CoveredCount;
        }
    }
}

int TSingleOptimizer::removeRedundant(TSelectInfo &info, const std::function<void(int)> &onUnselect)
{
    const std::vector<int> pool(info.Selected.begin(), info.Selected.end());
    return removeRedundantAmong(info, pool, onUnselect);
}

int TSingleOptimizer::removeRedundantNear(TSelectInfo &info, const std::vector<int> &seeds,
                                          const std::function<void(int)> &onUnselect)
{
    // Only a single near a new selection can have become redundant: counts rose only within the
    // radius of the seeds, and a single covering something once stays needed.
    const int reach = 2 * (m_level - 1);
    // Walking the seeds' wider neighbourhood must be cheaper than testing every single.
    const auto ballSize = [&](int r) { return m_ballSize[size_t(std::min(r, int(m_ballSize.size()) - 1))]; };
    if (!g_nearAlways && double(seeds.size()) * ballSize(reach) >= double(info.Selected.size()) * ballSize(m_level - 1))
        return removeRedundant(info, onUnselect);
    std::vector<int> pool, b;
    for (int seed : seeds) {
        ball(seed, reach, b);
        for (int q : b)
            if (info.States[size_t(q)] & psSelect)
                pool.push_back(q);
    }
    std::sort(pool.begin(), pool.end());
    pool.erase(std::unique(pool.begin(), pool.end()), pool.end());
    return removeRedundantAmong(info, pool, onUnselect);
}

int TSingleOptimizer::removeRedundantAmong(TSelectInfo &info, const std::vector<int> &pool,
                                           const std::function<void(int)> &onUnselect)
{
    int removed = 0;
    std::vector<int> candidates, b;
    for (;;) {
        int best = 0;
        candidates.clear();
        for (int i : pool) {
            if (!(info.States[size_t(i)] & psSelect) || info.CoverCounts[size_t(i)] <= 1)
                continue;
            ball(i, m_level - 1, b);
            int c = 0;
            for (int q : b) {
                if (info.States[size_t(q)] & psDelete)
                    continue;
                if (info.CoverCounts[size_t(q)] <= 1) {
                    c = -1;
                    break;
                }
                ++c;
            }
            if (c > best) {
                best = c;
                candidates.assign(1, i);
            } else if (c == best && c > 0) {
                candidates.push_back(i);
            }
        }
        if (candidates.empty())
            return removed;
        const int victim = candidates[size_t(Random::Below(int(candidates.size())))];
        unselect(info, victim);
        if (onUnselect)
            onUnselect(victim);
        ++removed;
    }
}

void TSingleOptimizer::cover()
{
    if (m_level == 1) {
        for (int p = 0; p < m_n; ++p)
            if (!(m_first.States[size_t(p)] & psDelete)) {
                m_first.States[size_t(p)] = psSelect;
                ++m_first.SelectCount;
                ++m_first.CoveredCount;
                m_first.CoverCounts[size_t(p)] = 1;
            }
        return;
    }
    if (m_surviving == 0)
        return;
    m_first.Clear();
    m_second.Clear();

    // score(j): empty patterns within the radius of j, kept as patterns become non-empty.
    const int radius = m_level - 1;
    std::vector<int32_t> score1(size_t(m_n), 0), score2;
    std::vector<int> b;
    for (int j = 0; j < m_n; ++j) {
        ball(j, radius, b);
        int s = 0;
        for (int q : b)
            s += !(m_first.States[size_t(q)] & psDelete);
        score1[size_t(j)] = s;
    }
    score2 = score1;
    TMaxTree tree1(m_n), tree2(m_n);
    auto key1 = [&](int j) -> int64_t {
        const uint8_t s = m_first.States[size_t(j)];
        return (s & (psSelect | psDelete)) ? -1 : (int64_t(score1[size_t(j)]) << kIndexBits) | j;
    };
    auto key2 = [&](int j) -> int64_t {
        return m_second.States[size_t(j)] != 0 ? -1 : (int64_t(score2[size_t(j)]) << kIndexBits) | (kIndexMask - j);
    };
    for (int j = 0; j < m_n; ++j) {
        tree1.set(j, key1(j));
        tree2.set(j, key2(j));
    }

    std::vector<uint8_t> before;
    std::vector<int> changed;
    // Selects in one object and brings its scores and candidates up to date.
    auto apply = [&](TSelectInfo &info, std::vector<int32_t> &score, TMaxTree &tree, int pattern,
                     const std::function<int64_t(int)> &key) {
        ball(pattern, radius, b);
        before.clear();
        for (int q : b)
            before.push_back(info.States[size_t(q)]);
        select(info, pattern);
        changed.clear();
        for (size_t k = 0; k < b.size(); ++k)
            if (before[k] == 0 && info.States[size_t(b[k])] != 0)
                changed.push_back(b[k]);
        std::vector<int> around;
        for (int q : changed) {
            ball(q, radius, around);
            for (int j : around) {
                --score[size_t(j)];
                tree.set(j, key(j));
            }
        }
        for (int q : b)
            tree.set(q, key(q));
    };

    while (m_first.CoveredCount < m_surviving || m_second.CoveredCount < m_surviving) {
        progress(QStringLiteral("シングル展開中"), 10 + int(90LL * m_first.CoveredCount / m_surviving));
        if (m_first.CoveredCount < m_surviving)
            apply(m_first, score1, tree1, int(tree1.top() & kIndexMask), key1);
        if (m_second.CoveredCount < m_surviving)
            apply(m_second, score2, tree2, int(kIndexMask - (tree2.top() & kIndexMask)), key2);
    }

    int object = 1;
    for (TSelectInfo *info : {&m_first, &m_second}) {
        const int removed = removeRedundant(*info);
        if (removed && m_sheet.Option && m_sheet.Option->DebugMode)
            qDebug().noquote() << Format(u"Pattern%d Delete %d", {object, removed});
        if (info->CoveredCount < m_surviving)
            MessageDlg(Format(u"未検査パターンがあります (%d)", {object}), TMsgDlgType::mtWarning, mbOK, mbOK);
        ++object;
    }
    if (m_first.SelectCount >= m_second.SelectCount)
        m_first = m_second;
}

void TSingleOptimizer::completeCover(TSelectInfo &info, const std::function<void(int)> &onSelect)
{
    if (info.CoveredCount >= m_surviving)
        return;
    // sum(j): the cover counts within the radius of j, kept as selections raise them; the
    // candidates with the least sum are found in index order for the random tie.
    const int radius = m_level - 1;
    std::vector<int64_t> sum(size_t(m_n), 0);
    std::vector<int> b, around;
    TMinCountTree tree(m_n);
    auto candidate = [&](int j) { return !(info.States[size_t(j)] & (psSelect | psDelete)); };
    for (int j = 0; j < m_n; ++j) {
        if (!candidate(j))
            continue;
        ball(j, radius, b);
        int64_t total = 0;
        for (int q : b)
            if (!(info.States[size_t(q)] & psDelete))
                total += info.CoverCounts[size_t(q)];
        sum[size_t(j)] = total;
        tree.set(j, total);
    }
    while (info.CoveredCount < m_surviving) {
        if (tree.count() == 0)
            throw EPelvaneError(QStringLiteral("Error: Not Hit!"));
        const int chosen = tree.nth(Random::Below(tree.count()));
        select(info, chosen);
        if (onSelect)
            onSelect(chosen);
        tree.set(chosen, TMinCountTree::kNone);
        ball(chosen, radius, b);
        for (int q : b) {
            if (info.States[size_t(q)] & psDelete)
                continue;
            ball(q, radius, around);
            for (int j : around) {
                ++sum[size_t(j)];
                if (candidate(j))
                    tree.set(j, sum[size_t(j)]);
            }
        }
    }
}

void TSingleOptimizer::localSearch(double seconds)
{
    if (m_level == 1 || m_first.SelectCount <= 3)
        return;
    QElapsedTimer timer;
    timer.start();
    TSelectInfo &s = m_first;
    // Best is S less the journal: only its size is kept, so taking S as Best costs nothing.
    int bestCount = s.SelectCount;
    // S is Best plus the operations since: undoing them restores Best without a copy.
    std::vector<std::pair<bool, int>> journal;
    auto doSelect = [&](int p) { select(s, p); journal.push_back({true, p}); };
    auto doUnselect = [&](int p) { unselect(s, p); journal.push_back({false, p}); };
    auto revertToBest = [&] {
        for (auto it = journal.rbegin(); it != journal.rend(); ++it)
            it->first ? unselect(s, it->second) : select(s, it->second);
        journal.clear();
    };
    auto takeAsBest = [&] {
        bestCount = s.SelectCount;
        journal.clear();
    };

    const int stagnation = kSearchStagnation;
    int k = 3, idle = 0, progressValue = 0, scan = -1;
    qint64 steps = 0;
    const qint64 maxSteps = GuaranteeSearchSteps();
    std::vector<int> b, seeds;
    while (!m_sheet.KeyAbort() && (seconds < 0 || timer.elapsed() < qint64(seconds * 1000)) &&
           (maxSteps < 0 || steps++ < maxSteps)) {
        if (progressValue * 100 / stagnation < 99)
            ++progressValue;
        ProgressSet(progressValue * 100 / stagnation);
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        if (now - m_lastPump >= 50) {
            m_lastPump = now;
            ProcessPendingEvents();
        }
        do
            ++scan;
        while (scan < m_n && s.States[size_t(scan)] != psHit);
        if (scan >= m_n) {
            scan = -1;
            k = std::min(k + 1, 20);
            continue;
        }
        seeds.assign(1, scan);
        doSelect(scan);
        const int m = std::min(k + 1, m_surviving - s.SelectCount);
        for (int i = 0; i < m; ++i) {
            const int r = Random::Below(m_n);
            if (s.States[size_t(r)] == psHit) {
                doSelect(r);
                seeds.push_back(r);
            }
        }
        ++idle;
        removeRedundantNear(s, seeds, [&](int p) { journal.push_back({false, p}); });
        if (s.SelectCount < bestCount) {
            takeAsBest();
            idle = progressValue = 0;
            k = 3;
            scan = -1;
            showProgress(s);
        } else if (s.SelectCount > bestCount) {
            revertToBest();
        }
        if (idle >= stagnation) {
            if (s.SelectCount < bestCount)
                takeAsBest();
            else if (bestCount < s.SelectCount)
                revertToBest();
            // Shake: drop the most over-covered singles, then a few of the least useful ones.
            auto heaviest = [&](bool onlyOverCovered) {
                int64_t top = -1;
                std::vector<int> ties;
                for (int i : s.Selected) {
                    ball(i, m_level - 1, b);
                    int64_t sum = 0;
                    for (int q : b)
                        if (!(s.States[size_t(q)] & psDelete) && (!onlyOverCovered || s.CoverCounts[size_t(q)] > 1))
                            sum += 2 * s.CoverCounts[size_t(q)];
                    if (onlyOverCovered ? sum > top : (top < 0 || sum < top)) {
                        top = sum;
                        ties.assign(1, i);
                    } else if (sum == top) {
                        ties.push_back(i);
                    }
                }
                return ties.empty() ? -1 : ties[size_t(Random::Below(int(ties.size())))];
            };
            while (s.SelectCount > 0 && *std::max_element(s.CoverCounts.begin(), s.CoverCounts.end()) > 2) {
                const int p = heaviest(true);
                if (p < 0)
                    break;
                doUnselect(p);
            }
            const int r = std::min(2 + Random::Below(5), s.SelectCount);
            for (int i = 0; i < r; ++i) {
                const int p = heaviest(false);
                if (p < 0)
                    break;
                doUnselect(p);
            }
            seeds.clear();
            completeCover(s, [&](int p) {
                journal.push_back({true, p});
                seeds.push_back(p);
            });
            removeRedundantNear(s, seeds, [&](int p) { journal.push_back({false, p}); });
            // A smaller S is shown here and becomes Best at the next step's comparison.
            if (s.SelectCount < bestCount)
                showProgress(s);
            scan = -1;
            idle = 0;
            k = 3;
        }
    }
    if (bestCount < s.SelectCount)
        revertToBest();
}

void TSingleOptimizer::showProgress(const TSelectInfo &info)
{
    // The figures of a better solution, at most four times a second: working them out passes
    // over every pattern, which would otherwise cost more than the steps themselves.
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - m_lastShown < 250)
        return;
    m_lastShown = now;
    probabilities(info);
}

void TSingleOptimizer::probabilities(const TSelectInfo &info)
{
    if (m_surviving == 0)
        return;
    // For each surviving pattern: is some selected single at distance 0, 1, 2, and within the radius?
    std::vector<uint8_t> at(size_t(m_n), 0);
    std::vector<int> b;
    const int reach = std::max(2, m_level - 1);
    for (int i : info.Selected) {
        ball(i, reach, b);
        for (int q : b) {
            const int d = Distance(m_codes[size_t(i)], m_codes[size_t(q)]);
            if (d <= 2)
                at[size_t(q)] |= uint8_t(1u << d);
            if (d < m_level)
                at[size_t(q)] |= 8;
        }
    }
    std::array<int, 3> hits{};
    bool missed = false;
    for (int p = 0; p < m_n; ++p) {
        if (info.States[size_t(p)] & psDelete)
            continue;
        for (int d = 0; d < 3 && d < m_sheet.MaxMatch(); ++d)
            hits[size_t(d)] += (at[size_t(p)] >> d) & 1;
        if (!(at[size_t(p)] & 8))
            missed = true;
    }
    if (missed)
        MessageDlg(QStringLiteral("警告：未当選のパターン有り"), TMsgDlgType::mtWarning, mbOK, mbOK);
    for (int k = 0; k < 3; ++k)
        m_sheet.SetProbability(k + 1, double(hits[size_t(k)]) / m_surviving * 100.0);
    const int number = m_sheet.Number();
    const int any = IsNoThirdPrizeRound(number) ? hits[0] + hits[1] : hits[0] + hits[1] + hits[2];
    m_sheet.SetProbability(0, double(any) / m_surviving * 100.0);
}

void TSingleOptimizer::emitSingles()
{
    const int maxMatch = m_sheet.MaxMatch();
    TSingleSheetList &singles = m_sheet.Singles();
    int number = 0;
    TTip tips[kMaxMatches];
    for (int p = 0; p < m_n; ++p) {
        if (!(m_first.States[size_t(p)] & psSelect))
            continue;
        for (int i = 0; i < maxMatch; ++i)
            tips[i] = TTip((m_codes[size_t(p)] >> (2 * (maxMatch - 1 - i))) & 3);
        TSingleSheet &s = singles.Add(TSingleSheet(&m_sheet, ++number));
        s.SetTips(tips, maxMatch);
    }
    if (m_sheet.Option && m_sheet.Option->DebugMode && m_surviving > 0)
        qDebug().noquote() << Format(u"FProbability = %f", {double(number) / m_surviving * 100.0});
    probabilities(m_first);
}

void TSingleOptimizer::debugDump(const TSelectInfo &info) const
{
    if (!m_sheet.Option || !m_sheet.Option->DebugMode)
        return;
    QByteArray out;
    for (int p = 0; p < m_n; ++p) {
        for (int i = 0; i < 13; ++i)
            out.append(char('0' + ((m_codes[size_t(p)] >> (2 * (12 - i))) & 3)));
        out.append(" : " + QByteArray::number(info.CoverCounts[size_t(p)]));
        if (info.States[size_t(p)] & psSelect)
            out.append(" *");
        out.append("\r\n");
    }
    QFile f(GetCommonDataFolder() + QStringLiteral("Pelvane-Pattern.txt"));
    if (f.open(QIODevice::WriteOnly))
        f.write(out);
}

void TSingleOptimizer::Run(bool usePatternCut, bool optimize, double searchSeconds)
{
    m_usePatternCut = usePatternCut;
    m_level = m_sheet.Option ? m_sheet.Option->ExpandOption.Prizelevel : m_sheet.ExpandOption.Prizelevel;
    if (m_level == 1)
        optimize = false;
    TProgressGuard gauge(100);
    initialise();
    cut();
    cover();
    if (optimize)
        localSearch(searchSeconds);
    debugDump(m_first);
    emitSingles();
    m_codes.clear();
    m_first.Reset(0);
    m_second.Reset(0);
}
