#pragma once

// The expansion mode of the rule set: the prize level to guarantee, the optimisation level, and
// whether pattern cut is applied and guaranteed. The pattern-cut rules themselves join this class
// with the rule evaluators.
class TExpandOption
{
public:
    int Prizelevel = 2;      // 1 first prize (no miss) .. 4 (at most three misses)
    int OptimizeLevel = 100; // 0..100, handed to the covering tables
    bool UsePatternCut = false;
    bool Guarantee = true;

    virtual ~TExpandOption() = default;
    void AssignTo(TExpandOption &dest) const { dest = *this; }
    bool SameAs(const TExpandOption &other) const
    {
        return Prizelevel == other.Prizelevel && OptimizeLevel == other.OptimizeLevel
            && UsePatternCut == other.UsePatternCut && Guarantee == other.Guarantee;
    }
};
