#pragma once

#include "lottery/TotoTypes.h"

#include <QString>

#include <array>
#include <functional>
#include <set>
#include <cstdint>
#include <vector>

class TTipSheet;

// How long the open-ended search of an expansion runs: < 0 until the user stops it (the window),
// else that many seconds (the CLI's --search-seconds).
void SetGuaranteeSearchSeconds(double seconds);
double GuaranteeSearchSeconds();
// At most this many steps of that search (< 0: no limit): makes a search repeatable for tests and
// benchmarks, whatever the machine's speed.
void SetGuaranteeSearchSteps(qint64 steps);
qint64 GuaranteeSearchSteps();
// For tests: the search looks for redundant singles only near its new selections even where a
// full pass would cost as little (the result is the same either way).
void SetGuaranteeNearRedundancyAlways(bool always);
// Idle steps of the search before it shakes its solution up.
inline constexpr int kSearchStagnation = 30000;

// States of an outcome pattern in a candidate solution (a set in one byte).
enum TPatternSelect : uint8_t { psSelect = 1, psHit = 2, psDelete = 4 };

// One candidate solution: which patterns are selected, covered or removed, and how often each
// pattern is covered by a selected one (a selected pattern covers itself).
class TSelectInfo
{
public:
    std::vector<uint8_t> States;
    int SelectCount = 0;
    int CoveredCount = 0;
    std::vector<int32_t> CoverCounts;
    int Count = 0;
    std::set<int> Selected; // the selected patterns in index order

    void Reset(int count);
    // Back to no selection; removed patterns stay removed.
    void Clear();
};

// Guarantee mode: every outcome pattern inside the marks, less those the rules cut, and a small
// set of them as singles so that each surviving pattern lies within level - 1 misses of one.
// Greedy cover with two tie rules, redundancy removal, an optional randomised local search.
// Neighbours are enumerated within the radius and scores kept incrementally, so the cover costs
// close to N times the neighbourhood instead of N squared; the choices are those of the plain
// algorithm.
class TSingleOptimizer
{
public:
    explicit TSingleOptimizer(TTipSheet &sheet);

    void SetMatchTips(int matchIndex, TTips tips);
    // searchSeconds < 0: the local search runs until the sheet's stop flag is set.
    void Run(bool usePatternCut, bool optimize, double searchSeconds = -1);

    static int Distance(uint32_t a, uint32_t b);

private:
    void initialise();
    void cut();
    void cover();
    void localSearch(double seconds);
    void emitSingles();
    void probabilities(const TSelectInfo &info);
    void showProgress(const TSelectInfo &info);
    void debugDump(const TSelectInfo &info) const;

    void ball(int pattern, int radius, std::vector<int> &out) const;
    void ballFrom(int from, int left, int index, std::vector<int> &out) const;
    void select(TSelectInfo &info, int pattern);
    void unselect(TSelectInfo &info, int pattern);
    // Returns how many were removed; onUnselect hears of each.
    int removeRedundant(TSelectInfo &info, const std::function<void(int)> &onUnselect = {});
    // The same when no selection was redundant before the seeds were selected.
    int removeRedundantNear(TSelectInfo &info, const std::vector<int> &seeds, const std::function<void(int)> &onUnselect);
    int removeRedundantAmong(TSelectInfo &info, const std::vector<int> &pool, const std::function<void(int)> &onUnselect);
    void completeCover(TSelectInfo &info, const std::function<void(int)> &onSelect = {});
    void progress(const QString &text, int position);

    TTipSheet &m_sheet;
    std::array<TTips, kMaxMatches> m_matchTips{};
    int m_level = 2;
    int m_n = 0;
    int m_surviving = 0;
    bool m_usePatternCut = false;
    std::vector<uint32_t> m_codes;
    std::vector<int> m_multi;            // multi-marked matches in match order
    std::vector<int> m_weight, m_radix;  // index weight and radix per multi-marked match
    std::vector<std::vector<TTip>> m_digitTips;
    TSelectInfo m_first, m_second;
    mutable std::vector<int> m_ballScratch;
    std::vector<double> m_ballSize; // patterns within radius r of a pattern, by r
    qint64 m_lastPump = 0;
    qint64 m_lastShown = 0;
};
