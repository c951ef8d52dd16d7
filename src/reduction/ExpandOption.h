#pragma once

#include "lottery/TotoTypes.h"

#include <QString>
#include <QStringList>

#include <array>
#include <vector>

class TIniFile;

// One range rule. A count v fails when (MoreThanEnable and v >= MoreThan) or (LessThanEnable and
// v <= LessThan): both bounds are cut limits.
struct TPatternCut
{
    bool MoreThanEnable = false;
    bool LessThanEnable = false;
    int MoreThan = 0;
    int LessThan = 0;

    bool Fails(qint64 v) const { return (MoreThanEnable && v >= MoreThan) || (LessThanEnable && v <= LessThan); }
    bool AnyEnabled() const { return MoreThanEnable || LessThanEnable; }
    bool operator==(const TPatternCut &) const = default;
};

// The rule set of an expansion: the mode (prize level, optimisation level, guarantee, pattern cut
// on or off) and the pattern-cut rules. Stored in [Expand] and [PatternCut] of the settings file,
// of prediction files and of rule files.
class TExpandOption
{
public:
    TPatternCut DrawCut, HomeCut, AwayCut;
    TPatternCut DrawJ1Cut, DrawJ2Cut;
    TPatternCut SumCut;
    TPatternCut WinPriceCut;
    TPatternCut BackfireCut, BackfireJ1Cut, BackfireJ2Cut;
    TPatternCut FavoriteCut; // only MoreThanEnable and MoreThan are used
    bool HDACutEnable = false;
    int Prizelevel = 2;      // 1 first prize (no miss) .. 4 (at most three misses)
    int OptimizeLevel = 100; // 0..100
    bool IssueCutEnable = false;
    std::array<std::array<QChar, 3>, kMaxMatches> IssueCut{}; // group letter per (match, TTip); 'A'..'D' or none
    std::array<quint8, 4> IssueCutType{1, 1, 1, 1};          // bit 1: cut when all taken; bit 2: when none taken
    bool UsePatternCut = false;
    bool Guarantee = true;

    TExpandOption();
    virtual ~TExpandOption() = default;

    // Allowed H/D/A combinations as three hexadecimal digits ("634", "A12"); each entry's value
    // is the entry read as hexadecimal, -1 when it is not one.
    const QStringList &HDACutList() const { return m_hdaCutList; }
    const std::vector<int> &HDACutValues() const { return m_hdaCutValues; }
    void SetHDACutList(const QStringList &list);

    TPatternCut &CountCut(TTip tip);
    const TPatternCut &CountCut(TTip tip) const;
    TPatternCut &DivisionDrawCut(int division); // 1 or 2
    const TPatternCut &DivisionDrawCut(int division) const;
    TPatternCut &BackfireCuts(int k); // 0 all, 1 J1, 2 J2
    const TPatternCut &BackfireCuts(int k) const;

    void AssignTo(TExpandOption &dest) const { dest = *this; }
    bool SameAs(const TExpandOption &other) const;

    void LoadFromIni(const TIniFile &ini);
    // Writes the keys; the caller saves the file.
    void SaveToIni(TIniFile &ini) const;

    // The active rules as text for posted and copied predictions.
    QString Summary() const;

    // The rules in the order of the [PatternCut] section: the rule, its key prefix for writing
    // and its field name.
    struct TRuleKey
    {
        TPatternCut TExpandOption::*rule;
        const char *writePrefix;
        const char *readPrefix;
        const char *fieldName;
    };
    static const std::array<TRuleKey, 11> &RuleKeys();

private:
    QStringList m_hdaCutList;
    std::vector<int> m_hdaCutValues;
};
