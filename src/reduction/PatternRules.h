#pragma once

#include "lottery/TotoTypes.h"
#include "reduction/ExpandOption.h"

#include <array>

class TTipSheet;

// The pattern-cut rules evaluated for one single or one outcome pattern. One evaluation core
// serves both engines; the three quantities in which they differ, and the order of the checks,
// are explicit switches.
enum class TCutRule : quint8 {
    None,
    DrawCut, HomeCut, AwayCut,   // 1. counts
    HDACutList,                  // 2. allowed H/D/A combinations
    DrawJ1Cut, DrawJ2Cut,        // 3. draws per division
    SumCut,                      // 4. digit sum
    WinPriceCut,                 // 5. first-prize estimate
    IssueCut,                    // 6. grouped picks
    BackfireCut, BackfireJ1Cut, BackfireJ2Cut, // 7. upsets
    FavoriteCut,                 // 8. misses against the results
};

// The field name of the rule ("HomeCut"), empty for None.
QString CutRuleName(TCutRule rule);

struct TRuleSwitches
{
    // P: the single's payout (called-off matches left out, mini toto numerator 50), or the
    // pattern price (every match in the product, mini toto numerator B of the round).
    bool priceOverAllMatches = false;
    // Upset: only where all three percentages are non-zero, or wherever another is higher.
    bool upsetWithoutZeroCheck = false;
    // Miss: the tip is outside the result (called off is a hit), or the result is not exactly
    // the tip (called off is a miss).
    bool missUnlessExactResult = false;
    // Check order 5, 2, 1, 3, 4, 7, 8, 6 instead of 1 to 8 (the verdict is the same).
    bool guaranteeOrder = false;

    static TRuleSwitches PerSingle() { return {}; }
    static TRuleSwitches PerPattern() { return {true, true, true, true}; }
};

// What the rules need of the round, read once.
struct TRuleContext
{
    TTotoType type = ttToto;
    int round = kDefaultRoundNumber;
    int maxMatch = kMaxMatches;
    bool hasOddsDate = false;
    bool allResults = false;
    std::array<int, kMaxMatches> division{};
    std::array<std::array<int, 3>, kMaxMatches> percent{}; // by TTip
    std::array<std::array<double, 3>, kMaxMatches> rate{};  // by TTip
    std::array<TTips, kMaxMatches> result{};
    std::array<bool, kMaxMatches> calledOff{};

    static TRuleContext FromSheet(const TTipSheet &sheet);
};

class TPatternRuleEvaluator
{
public:
    TPatternRuleEvaluator(const TExpandOption &rules, const TRuleContext &context, TRuleSwitches switches);

    // The first rule that cuts the tips (the first maxMatch of them), or None.
    TCutRule Evaluate(const TTip *tips) const;
    bool Cuts(const TTip *tips) const { return Evaluate(tips) != TCutRule::None; }

    // The quantities, for tests and displays.
    qint64 Price(const TTip *tips) const;
    std::array<int, 3> Upsets(const TTip *tips) const;
    int Misses(const TTip *tips) const;

private:
    TCutRule check(int step, const TTip *tips, const std::array<int, 3> &counts) const;

    const TExpandOption &m_rules;
    TRuleContext m_context;
    TRuleSwitches m_switches;
    std::array<int, 4> m_groupSize{};
    bool m_backfireOn = false;
};
