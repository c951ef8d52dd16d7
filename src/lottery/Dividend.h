#pragma once

#include <QtGlobal>

// The official prize of one level: money per winning single, winners, carry-over.
// 64-bit throughout: real carry-overs exceed 32 bits.
struct TDividend
{
    qint64 Money = 0;     // yen per winning single; 0 = no winner or not published
    qint64 Hits = 0;      // number of winning singles
    qint64 CarryOver = 0; // yen carried over

    void Clear() { *this = TDividend{}; }
    bool operator==(const TDividend &) const = default;
};
