#include "lottery/UnitToTo.h"
#include "reduction/ExpansionEngines.h"
#include "reduction/UnitOptimize.h"
#include "reduction/UnitSingleOptimizer.h"

namespace {

// Library mode over the shipped covering tables.
class TTableEngine : public TLibraryEngine
{
public:
    qint64 Estimate(const TTipSheet &sheet) override { return m_optimizer.Estimate(sheet); }
    void Expand(TTipSheet &sheet, bool usePatternCut) override
    {
        m_optimizer.Expand(sheet, usePatternCut);
        m_coverage = m_optimizer.CheckCoverage(sheet);
    }
    double Coverage() const override { return m_coverage; }

private:
    TSheetOptimizer m_optimizer;
    double m_coverage = 0;
};

// Guarantee mode: the optimal-single search over the patterns the rules let through.
class TSearchEngine : public TGuaranteeEngine
{
public:
    void Run(TTipSheet &sheet, bool usePatternCut, bool keepSearching) override
    {
        TSingleOptimizer optimizer(sheet);
        for (int i = 0; i < sheet.MaxMatch(); ++i)
            optimizer.SetMatchTips(i, sheet.Match(i).Tips());
        optimizer.Run(usePatternCut, keepSearching, GuaranteeSearchSeconds());
    }
};

class TBuiltInEngines : public TExpansionEngines
{
public:
    std::unique_ptr<TGuaranteeEngine> CreateGuaranteeEngine() override { return std::make_unique<TSearchEngine>(); }
    std::unique_ptr<TLibraryEngine> CreateLibraryEngine() override { return std::make_unique<TTableEngine>(); }
};

} // namespace

TExpansionEngines &DefaultExpansionEngines()
{
    static TBuiltInEngines engines;
    return engines;
}
