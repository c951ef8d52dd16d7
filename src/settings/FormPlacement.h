#pragma once

#include <QString>

#include <vector>

class TIniFile;

// A window's stored bounds and state (0 normal, 1 minimised, 2 maximised), in the section named
// after the window.
struct TFormPlacement
{
    int Left = 0, Top = 0, Width = 0, Height = 0, WindowState = 0;
    bool operator==(const TFormPlacement &) const = default;
};

// Reads the placement, each key defaulting to the current value, and fits it to the screen:
// a window beyond the right or bottom edge is moved back, a negative left or top becomes 0,
// a minimised state becomes normal and states above 2 keep the current one.
TFormPlacement LoadFormPlacement(const TIniFile &ini, const QString &section, const TFormPlacement &current,
                                 int screenWidth, int screenHeight);
void SaveFormPlacement(TIniFile &ini, const QString &section, const TFormPlacement &placement);

// Column widths of a grid under "ColWidths": item i sets column (fixed + i) when it is a number
// >= 0 and the column exists; other items are skipped.
void LoadGridColumns(const TIniFile &ini, const QString &section, int fixedColumns, std::vector<int> &widths);
// Writes the widths of the non-fixed columns joined by ", ".
void SaveGridColumns(TIniFile &ini, const QString &section, int fixedColumns, const std::vector<int> &widths);
