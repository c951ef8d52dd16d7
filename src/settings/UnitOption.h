#pragma once

#include "reduction/ExpandOption.h"

// The program's settings object. It holds what the round model and the shell read so far; loading
// and saving the settings file join it with the settings store.
class TOption
{
public:
    bool DebugMode = false;       // from the command line only; never stored
    bool MaintenanceMode = false; // from the command line only; never stored, compared or copied
    bool ExpandWarning = false;
    int ExpandWarningCount = 256;
    bool PatternCutWarning = true;
    TExpandOption ExpandOption;

    virtual ~TOption() = default;
};
