#include "reduction/UnitOptimize.h"

#include "lottery/UnitToTo.h"
#include "platform/EventPump.h"
#include "platform/Format.h"
#include "platform/MessageService.h"
#include "platform/PelvaneError.h"
#include "platform/Progress.h"
#include "platform/Random.h"
#include "reduction/CoveringTables.h"
#include "reduction/PatternRules.h"
#include "settings/UnitOption.h"

#include <QDebug>
#include <QElapsedTimer>

#include <climits>
#include <cmath>
#include <functional>

namespace {

qint64 power(int base, int exponent)
{
    qint64 v = 1;
    while (exponent-- > 0)
        v *= base;
    return v;
}

const TExpandOption &rulesOf(const TTipSheet &sheet)
{
    return sheet.Option ? sheet.Option->ExpandOption : sheet.ExpandOption;
}

void configure(TOptimizerLibrary &library, const TTipSheet &sheet)
{
    library.SetDebugMode(sheet.Option && sheet.Option->DebugMode);
    library.SetOptimizeLevel(rulesOf(sheet).OptimizeLevel);
    library.SetPrizeLevel(rulesOf(sheet).Prizelevel);
}

constexpr std::array<std::array<TTip, 3>, 6> kPermutations = {{
    {tpDraw, tpHome, tpAway}, {tpDraw, tpAway, tpHome}, {tpHome, tpDraw, tpAway},
    {tpHome, tpAway, tpDraw}, {tpAway, tpDraw, tpHome}, {tpAway, tpHome, tpDraw},
}};

void shuffle(TExpandTipList &list)
{
    const int exchanges = Random::Below(50);
    for (int k = 0; k < exchanges; ++k) {
        const int a = Random::Below(int(list.size())), b = Random::Below(int(list.size()));
        if (a != b)
            std::swap(list[size_t(a)], list[size_t(b)]);
    }
}

} // namespace

// --- the library ----------------------------------------------------------------------------------

TOptimizerLibrary::TOptimizerLibrary(const TCoveringTables &tables)
    : m_tables(tables)
{
}

TOptimizerLibrary &TOptimizerLibrary::Instance()
{
    static TOptimizerLibrary library(TCoveringTables::Shipped());
    return library;
}

qint64 TOptimizerLibrary::ExpansionSize(int rows, int doubles, int triples, int tableDoubles, int tableTriples)
{
    return qint64(rows) * power(2, doubles - tableDoubles) * power(3, triples - tableTriples);
}

qint64 TOptimizerLibrary::bestFor(int level, int optimizeLevel, int doubles, int triples, int *bestW, int *bestT) const
{
    const int maxColumns = int(std::lround(optimizeLevel / 100.0 * (doubles + triples)));
    qint64 best = ExpansionSize(1, doubles, triples, 0, 0);
    int bestRows = 1;
    *bestW = 0;
    *bestT = 0;
    if (level < 2)
        return best; // a first prize needs every combination
    for (const TCoveringTable *t : m_tables.Tables(level)) {
        if (t->doubles > doubles || t->triples > triples || t->columns() > maxColumns)
            continue;
        const int rows = int(t->rows.size());
        const qint64 size = ExpansionSize(rows, doubles, triples, t->doubles, t->triples);
        if (size < best || (size == best && rows < bestRows)) {
            best = size;
            bestRows = rows;
            *bestW = t->doubles;
            *bestT = t->triples;
        }
    }
    return best;
}

const TPatternInfo *TOptimizerLibrary::record(int level, int doubles, int triples)
{
    if (level < 0 || level > 4 || doubles < 0 || triples < 0 || doubles + triples > 13)
        return nullptr;
    if (TBuilt *cached = m_cache[size_t(level)][size_t(doubles)][size_t(triples)])
        return &cached->info;
    TCoveringTable implicitEmpty{level, 0, 0, {{}}};
    const TCoveringTable *table = m_tables.Find(level, doubles, triples);
    if (!table && doubles == 0 && triples == 0)
        table = &implicitEmpty;
    if (!table)
        return nullptr;
    // Never hand out a table that does not keep its guarantee.
    if (!TCoveringTables::Verify(*table))
        throw EPelvaneError(QStringLiteral("削減表(%1等 W%2 T%3)が当選を保証していません").arg(level).arg(doubles).arg(triples));
    auto built = std::make_unique<TBuilt>();
    const int a = table->columns();
    const int c = int(table->rows.size());
    built->bytes.assign(size_t(std::max(1, a * (c + 2))), 0);
    built->bytes[0] = uint8_t(c);
    for (int k = 0; k < a; ++k)
        built->bytes[size_t(a + k)] = k < table->doubles ? 2 : 3;
    for (int r = 0; r < c; ++r)
        for (int k = 0; k < a; ++k)
            built->bytes[size_t(a * (r + 2) + k)] = table->rows[size_t(r)][size_t(k)];
    built->info.Doubles = table->doubles;
    built->info.Triples = table->triples;
    built->info.Table = built->bytes.data();
    TBuilt *raw = built.get();
    m_built.push_back(std::move(built));
    m_cache[size_t(level)][size_t(doubles)][size_t(triples)] = raw;
    return &raw->info;
}

const TPatternInfo *TOptimizerLibrary::SearchPatternInfo(int doubles, int triples)
{
    if (doubles < 0 || triples < 0 || doubles + triples > 13)
        return nullptr;
    int w = 0, t = 0;
    bestFor(m_prizeLevel, m_optimizeLevel, doubles, triples, &w, &t);
    return record(m_prizeLevel, w, t);
}

const TPatternInfo *TOptimizerLibrary::GetPatternInfo(int doubles, int triples)
{
    return record(m_prizeLevel, doubles, triples);
}

void TOptimizerLibrary::MakeOptimizeTable(int doubles, int triples, std::vector<int> &table)
{
    table.clear();
    if (doubles < 0 || triples < 0 || doubles + triples > 13)
        return;
    qint64 previous = -1;
    for (int level = 100; level >= 0; level -= 10) {
        int w = 0, t = 0;
        const qint64 singles = bestFor(m_prizeLevel, level, doubles, triples, &w, &t);
        if (singles == previous)
            continue;
        previous = singles;
        table.push_back(level);
        table.push_back(int(std::min<qint64>(singles, INT_MAX)));
    }
}

// --- the sheet optimiser --------------------------------------------------------------------------

TSheetOptimizer::TSheetOptimizer(TOptimizerLibrary &library)
    : m_library(library)
{
}

qint64 TSheetOptimizer::Estimate(const TTipSheet &sheet)
{
    m_library.SetOptimizeLevel(rulesOf(sheet).OptimizeLevel);
    m_library.SetPrizeLevel(rulesOf(sheet).Prizelevel);
    int w = sheet.DoubleCount(), t = sheet.TripleCount();
    qint64 c = 1;
    if (const TPatternInfo *record = m_library.SearchPatternInfo(w, t)) {
        c = record->Table[0];
        w -= record->Doubles;
        t -= record->Triples;
    }
    return c * power(2, w) * power(3, t);
}

void TSheetOptimizer::prepare(const TTipSheet &sheet)
{
    m_doubles.clear();
    m_triples.clear();
    for (int i = 0; i < sheet.MaxMatch(); ++i) {
        const TExceptMatch &m = sheet.Match(i);
        if (m.TipCount() == 2) {
            TExpandTipInfo e;
            e.MatchIndex = i;
            e.SymbolTips[1] = m.FirstTip();
            e.SymbolTips[2] = m.SecondTip();
            if ((e.SymbolTips[1] == tpDraw || e.SymbolTips[2] == tpDraw) && Random::Below(100) < 50)
                std::swap(e.SymbolTips[1], e.SymbolTips[2]);
            e.SymbolTips[0] = e.SymbolTips[1];
            m_doubles.push_back(e);
        }
    }
    shuffle(m_doubles);
    for (int i = 0; i < sheet.MaxMatch(); ++i) {
        if (sheet.Match(i).TipCount() != 3)
            continue;
        TExpandTipInfo e;
        e.MatchIndex = i;
        e.SymbolTips = Random::Below(100) < 50 ? kPermutations[size_t(Random::Below(2))] : kPermutations[size_t(Random::Below(6))];
        m_triples.push_back(e);
    }
    shuffle(m_triples);
}

void TSheetOptimizer::progressStep(TTipSheet &sheet, qint64 &created)
{
    if (sheet.KeyAbort()) {
        sheet.Singles().Clear();
        throw EPelvaneError(QStringLiteral("ユーザー操作により展開を中止しました"));
    }
    ++created;
    ProgressStep();
    if (created % 50 == 0)
        ProcessPendingEvents();
}

namespace {

using TRow = std::array<TTip, kMaxMatches>;

} // namespace

bool TSheetOptimizer::Expand(TTipSheet &sheet, bool usePatternCut)
{
    configure(m_library, sheet);
    sheet.CheckMarks();
    prepare(sheet);

    std::vector<TRow> rows;
    const int w = int(m_doubles.size()), t = int(m_triples.size());
    const TPatternInfo *record = m_library.SearchPatternInfo(w, t);
    if (record) {
        if (m_library.DebugMode())
            qDebug().noquote() << Format(u"Hit Near Pattern W%d T%d", {record->Doubles, record->Triples});
    } else {
        MessageDlg(QStringLiteral("このメッセージが表示された方は、ご連絡下さい"), TMsgDlgType::mtInformation, mbOK, mbOK);
        int fw = -1, ft = -1;
        if (t == 0) {
            if (w == 4)
                fw = 3, ft = 0;
            else if (w >= 6 && w <= 13)
                fw = 5, ft = 0;
        } else if (w == 0) {
            if (t > 2)
                fw = 0, ft = 3;
        } else if (w > 4 && t > 1) {
            fw = 4, ft = 1;
        } else if (w >= 3 && t >= 3) {
            fw = 2, ft = 2;
        } else if (t > 2) {
            fw = 0, ft = 3;
        }
        if (fw >= 0)
            record = m_library.GetPatternInfo(fw, ft);
    }

    // Apply the table: its columns stand for the first doubles and triples of the lists.
    if (record) {
        const int a = record->Doubles + record->Triples;
        const int c = record->Table[0];
        for (int r = 0; r < c; ++r) {
            TRow row;
            row.fill(tpDraw);
            int seenD = 0, seenT = 0;
            for (int k = 0; k < a; ++k) {
                const int kind = record->Table[a + k];
                const int symbol = record->Table[a * (r + 2) + k];
                if (kind == 2)
                    row[size_t(m_doubles[size_t(seenD)].MatchIndex)] = m_doubles[size_t(seenD)].SymbolTips[size_t(symbol)], ++seenD;
                else if (kind == 3)
                    row[size_t(m_triples[size_t(seenT)].MatchIndex)] = m_triples[size_t(seenT)].SymbolTips[size_t(symbol)], ++seenT;
                else
                    throw EPelvaneError(QStringLiteral("ExpandPattern : Unknow Multi Mark"));
            }
            rows.push_back(row);
        }
        m_doubles.erase(m_doubles.begin(), m_doubles.begin() + record->Doubles);
        m_triples.erase(m_triples.begin(), m_triples.begin() + record->Triples);
    }

    // The remaining doubles, then the remaining triples, in full: the block so far repeats.
    auto expandAll = [&](const TExpandTipList &entries, int radix) {
        if (entries.empty())
            return;
        const size_t c = rows.size();
        const size_t base = std::max<size_t>(c, 1);
        const size_t target = base * size_t(power(radix, int(entries.size())));
        if (c == 0) {
            TRow empty;
            empty.fill(tpDraw);
            rows.push_back(empty);
        }
        rows.reserve(target);
        for (size_t j = rows.size(); j < target; ++j)
            rows.push_back(rows[j - base]);
        size_t block = base;
        for (const TExpandTipInfo &e : entries) {
            const TExceptMatch &m = sheet.Match(e.MatchIndex);
            if (m.TipCount() == 0)
                throw EPelvaneError(QStringLiteral("What's Tip!"));
            for (size_t j = 0; j < target; ++j) {
                const size_t phase = (j / block) % size_t(radix);
                TTip tip;
                if (radix == 2)
                    tip = phase ? m.SecondTip() : m.FirstTip();
                else
                    tip = phase == 0 ? tpHome : phase == 1 ? tpDraw : tpAway;
                rows[j][size_t(e.MatchIndex)] = tip;
            }
            block *= size_t(radix);
        }
    };
    expandAll(m_doubles, 2);
    expandAll(m_triples, 3);

    // Create the singles, the single-marked matches filled, stepping the progress.
    TSingleSheetList &singles = sheet.Singles();
    singles.Reserve(int(rows.size()));
    qint64 created = 0;
    for (TRow &row : rows) {
        for (int i = 0; i < sheet.MaxMatch(); ++i)
            if (sheet.Match(i).TipCount() <= 1)
                row[size_t(i)] = sheet.Match(i).FirstTip();
        TSingleSheet &s = singles.Add(TSingleSheet(&sheet, singles.Count() + 1));
        s.SetTips(row.data(), sheet.MaxMatch());
        progressStep(sheet, created);
    }
    if (usePatternCut)
        ApplyRules(sheet);
    return true;
}

void TSheetOptimizer::ApplyRules(TTipSheet &sheet)
{
    const TExpandOption &rules = rulesOf(sheet);
    const TPatternRuleEvaluator evaluator(rules, TRuleContext::FromSheet(sheet), TRuleSwitches::PerSingle());
    TUpdateGuard update(sheet);
    for (TSingleSheet &s : sheet.Singles())
        if (!s.Invalid() && evaluator.Cuts(s.Tips().data()))
            s.SetInvalid(true);
}

bool TSheetOptimizer::CoversAllCombinations(const TTipSheet &sheet, int prizeLevel, const TPatternRuleEvaluator *survivors)
{
    const int n = sheet.MaxMatch();
    std::vector<int> multi;
    std::vector<std::vector<TTip>> marks(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const TTips tips = sheet.Match(i).Tips();
        if (tips.isEmpty())
            throw EPelvaneError(QStringLiteral("CheckProbability : Undefined Tip"));
        for (TTip t : {tpDraw, tpHome, tpAway})
            if (tips.contains(t))
                marks[size_t(i)].push_back(t);
        if (tips.count() > 1)
            multi.push_back(i);
    }
    std::vector<uint32_t> weight(multi.size());
    uint32_t total = 1;
    for (size_t k = multi.size(); k-- > 0;) {
        weight[k] = total;
        total *= uint32_t(marks[size_t(multi[k])].size());
    }
    std::vector<uint8_t> covered(total, 0);
    uint32_t left = total;
    if (survivors) {
        // Combinations the rules cut need no single.
        TTip tips[kMaxMatches];
        for (int i = 0; i < n; ++i)
            tips[i] = marks[size_t(i)][0];
        for (uint32_t c = 0; c < total; ++c) {
            for (size_t k = 0; k < multi.size(); ++k)
                tips[multi[k]] = marks[size_t(multi[k])][(c / weight[k]) % marks[size_t(multi[k])].size()];
            if (survivors->Cuts(tips)) {
                covered[c] = 1;
                --left;
            }
        }
    }

    // Each single marks the combinations it wins: those within its miss budget.
    std::vector<int> digit(multi.size());
    std::function<void(size_t, int, uint32_t)> mark = [&](size_t k, int budget, uint32_t index) {
        if (k == multi.size()) {
            if (!covered[index]) {
                covered[index] = 1;
                --left;
            }
            return;
        }
        const int radix = int(marks[size_t(multi[k])].size());
        for (int d = 0; d < radix; ++d) {
            const int cost = d == digit[k] ? 0 : 1;
            if (cost <= budget)
                mark(k + 1, budget - cost, index + uint32_t(d) * weight[k]);
        }
    };
    for (const TSingleSheet &s : sheet.Singles()) {
        int budget = prizeLevel - 1;
        for (int i = 0; i < n && budget >= 0; ++i)
            if (marks[size_t(i)].size() == 1 && s.Tips()[size_t(i)] != marks[size_t(i)][0])
                --budget;
        if (budget < 0)
            continue;
        for (size_t k = 0; k < multi.size(); ++k) {
            const auto &m = marks[size_t(multi[k])];
            const auto it = std::find(m.begin(), m.end(), s.Tips()[size_t(multi[k])]);
            digit[k] = it == m.end() ? -1 : int(it - m.begin()); // -1: a miss whatever the result
        }
        mark(0, budget, 0);
        if (left == 0)
            return true;
    }
    return left == 0;
}

double TSheetOptimizer::CheckCoverage(const TTipSheet &sheet)
{
    bool allSingle = true;
    for (int i = 0; i < sheet.MaxMatch(); ++i)
        allSingle = allSingle && sheet.Match(i).TipCount() == 1;
    if (allSingle)
        return 100;
    const double combinations = double(power(2, sheet.DoubleCount()) * power(3, sheet.TripleCount()));
    double value = sheet.Singles().Count() / combinations * 100.0;
    if (sheet.Option && sheet.Option->CheckWin) {
        QElapsedTimer timer;
        timer.start();
        if (!CoversAllCombinations(sheet, sheet.ExpandOption.Prizelevel))
            value = 0;
        if (sheet.Option->DebugMode)
            qDebug().noquote() << Format(u"当選チェック時間=%d", {int(timer.elapsed())});
    }
    return value;
}

void TSheetOptimizer::OptimizeLevels(const TTipSheet &sheet, std::vector<int> &table)
{
    configure(m_library, sheet);
    m_library.MakeOptimizeTable(sheet.DoubleCount(), sheet.TripleCount(), table);
}
