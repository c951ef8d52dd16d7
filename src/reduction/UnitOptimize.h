#pragma once

#include "lottery/TotoTypes.h"

#include <QtGlobal>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class TTipSheet;
class TCoveringTables;

// The pattern record of the reduction library: the table covers Doubles double-marked and
// Triples triple-marked matches. Table bytes, row width a = Doubles + Triples: byte 0 the number of
// rows c; bytes a..2a-1 the kind of each column (2 double, 3 triple); row r at bytes a(r+2)..:
// 1 or 2 in a double column, 0, 1 or 2 in a triple column. One row and no columns for (0, 0).
struct TPatternInfo
{
    int32_t Doubles = 0;
    int32_t Triples = 0;
    const uint8_t *Table = nullptr;
    int32_t Reserved = 0;
};

// The reduction library of the program, over the shipped covering tables. It keeps its three
// settings between calls, as the original library did.
class TOptimizerLibrary
{
public:
    explicit TOptimizerLibrary(const TCoveringTables &tables);
    static TOptimizerLibrary &Instance();

    void SetDebugMode(bool on) { m_debug = on; }
    // 0..100: the share of the multi-marked matches a table may take. 100 gives the fewest
    // singles; lower levels expand more matches in full (more singles, the same guarantee).
    void SetOptimizeLevel(int level) { m_optimizeLevel = std::clamp(level, 0, 100); }
    void SetPrizeLevel(int level) { m_prizeLevel = level; }

    // The stored table with W' <= W and T' <= T whose expansion c x 2^(W-W') x 3^(T-T') is
    // smallest (ties: fewer rows), within the optimisation level. Never none for valid input.
    const TPatternInfo *SearchPatternInfo(int doubles, int triples);
    // The table for exactly W and T, or none.
    const TPatternInfo *GetPatternInfo(int doubles, int triples);
    // Pairs (level in percent, singles at that level), from 100 down, one per distinct count.
    void MakeOptimizeTable(int doubles, int triples, std::vector<int> &table);

    bool DebugMode() const { return m_debug; }
    int OptimizeLevel() const { return m_optimizeLevel; }
    int PrizeLevel() const { return m_prizeLevel; }

    // The singles of an expansion with the table chosen at the current settings.
    static qint64 ExpansionSize(int rows, int doubles, int triples, int tableDoubles, int tableTriples);

private:
    const TPatternInfo *record(int level, int doubles, int triples);
    qint64 bestFor(int level, int optimizeLevel, int doubles, int triples, int *bestW, int *bestT) const;

    const TCoveringTables &m_tables;
    bool m_debug = false;
    int m_optimizeLevel = 100;
    int m_prizeLevel = 2;
    // Byte tables in the library's layout, made on first use and verified then.
    struct TBuilt
    {
        std::vector<uint8_t> bytes;
        TPatternInfo info;
    };
    std::vector<std::unique_ptr<TBuilt>> m_built;
    std::array<std::array<std::array<TBuilt *, 14>, 14>, 5> m_cache{};
};

// One multi-marked match as a table column sees it: the outcome each symbol stands for.
struct TExpandTipInfo
{
    int MatchIndex = 0;
    std::array<TTip, 3> SymbolTips{tpDraw, tpHome, tpAway};
};
using TExpandTipList = std::vector<TExpandTipInfo>;

// Library-mode expansion of a sheet: the table's columns mapped onto randomly chosen matches and
// outcome orders, the remaining doubles and triples expanded in full, the single-marked matches
// filled, then the singles that break the rules marked invalid.
class TSheetOptimizer
{
public:
    explicit TSheetOptimizer(TOptimizerLibrary &library = TOptimizerLibrary::Instance());

    qint64 Estimate(const TTipSheet &sheet);
    bool Expand(TTipSheet &sheet, bool usePatternCut);
    // Singles / (2^W x 3^T) x 100, or 0 when the settings' CheckWin is on and some combination
    // of the marked outcomes is not won at the prize level (100 when every match has one mark).
    double CheckCoverage(const TTipSheet &sheet);
    // True when every combination of the marked outcomes has a single with fewer than level misses;
    // with survivors, only the combinations those rules let through count.
    static bool CoversAllCombinations(const TTipSheet &sheet, int prizeLevel,
                                      const class TPatternRuleEvaluator *survivors = nullptr);
    void ApplyRules(TTipSheet &sheet);
    void OptimizeLevels(const TTipSheet &sheet, std::vector<int> &table);

    const TExpandTipList &Doubles() const { return m_doubles; }
    const TExpandTipList &Triples() const { return m_triples; }

private:
    void prepare(const TTipSheet &sheet);
    void applyTable(TTipSheet &sheet, const TPatternInfo &record);
    void expandRemaining(TTipSheet &sheet);
    void progressStep(TTipSheet &sheet, qint64 &created);

    TOptimizerLibrary &m_library;
    TExpandTipList m_doubles, m_triples;
};
