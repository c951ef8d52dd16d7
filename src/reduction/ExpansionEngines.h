#pragma once

#include <QString>
#include <QtGlobal>

#include <memory>

class TTipSheet;

// Guarantee mode: searches the singles that keep the prize level for every outcome pattern the
// rules let through. It creates the singles and sets the probabilities.
class TGuaranteeEngine
{
public:
    virtual ~TGuaranteeEngine() = default;
    virtual void Run(TTipSheet &sheet, bool usePatternCut, bool keepSearching) = 0;
};

// Library mode: builds singles from covering tables, then marks those that break the rules.
class TLibraryEngine
{
public:
    virtual ~TLibraryEngine() = default;
    // The number of singles the expansion will make.
    virtual qint64 Estimate(const TTipSheet &sheet) = 0;
    virtual void Expand(TTipSheet &sheet, bool usePatternCut) = 0;
    // The guarantee check of the last expansion, in percent.
    virtual double Coverage() const = 0;
};

// The automatic-expansion window: evaluates and saves each expansion of a loop.
class TAutoExpandHost
{
public:
    virtual ~TAutoExpandHost() = default;
    // False when the user refuses; the expansion then ends silently.
    virtual bool Prepare(const QString &defaultFileName) = 0;
    virtual void Show() = 0;
    // Evaluates and saves one expansion; true when the loop is finished.
    virtual bool Evaluate(TTipSheet &sheet) = 0;
};

// What an expansion uses. Absent parts give a clear error when a mode needs them.
class TExpansionEngines
{
public:
    virtual ~TExpansionEngines() = default;
    virtual std::unique_ptr<TGuaranteeEngine> CreateGuaranteeEngine() = 0;
    virtual std::unique_ptr<TLibraryEngine> CreateLibraryEngine() = 0;
    virtual std::unique_ptr<TAutoExpandHost> CreateAutoExpandHost() { return nullptr; }
};

// The engines this build has; the sheet uses them when none is set.
TExpansionEngines &DefaultExpansionEngines();
