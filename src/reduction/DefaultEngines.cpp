#include "lottery/UnitToTo.h"
#include "reduction/ExpansionEngines.h"
#include "reduction/FullExpansion.h"

namespace {

// Until the covering tables arrive, library mode expands every combination: the largest set,
// which keeps every prize level for every outcome.
class TFullExpansionEngine : public TLibraryEngine
{
public:
    qint64 Estimate(const TTipSheet &sheet) override { return FullExpansionCount(sheet); }
    void Expand(TTipSheet &sheet, bool) override { ExpandAllCombinations(sheet); }
    double Coverage() const override { return 100.0; }
};

class TBuiltInEngines : public TExpansionEngines
{
public:
    std::unique_ptr<TGuaranteeEngine> CreateGuaranteeEngine() override { return nullptr; }
    std::unique_ptr<TLibraryEngine> CreateLibraryEngine() override { return std::make_unique<TFullExpansionEngine>(); }
};

} // namespace

TExpansionEngines &DefaultExpansionEngines()
{
    static TBuiltInEngines engines;
    return engines;
}
