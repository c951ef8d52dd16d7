#pragma once

#include "lottery/TotoTypes.h"

#include <QString>

#include <array>
#include <vector>

class TTipSheet;

// One single bet: one outcome per match, 100 yen. A small value: a 13-triple expansion holds
// 1,594,323 of them at once.
class TSingleSheet
{
public:
    TSingleSheet() { m_tips.fill(tpDraw); }
    explicit TSingleSheet(TTipSheet *sheet, int singleNumber = 0);

    TTipSheet *TipSheet = nullptr;
    int SingleNumber = 0;

    // Index outside 0..MaxMatch-1 raises "GetTip : Index over flow".
    TTip Tip(int index) const;
    void SetTip(int index, TTip tip);
    // Sets the first MaxMatch tips at once (one recount); the rest become draws.
    void SetTips(const TTip *tips, int count);
    const std::array<TTip, kMaxMatches> &Tips() const { return m_tips; }
    void CopyTips(const TSingleSheet &source);
    bool SameTips(const TSingleSheet &other) const;

    int TipCounts(TTip tip) const { return m_tipCounts[tip]; }
    int HitCount() const { return m_hitCount; }
    int MissCount() const { return m_missCount; }
    // Recounts hits and misses against the sheet's current results.
    void RecountHits();

    bool Invalid() const { return m_invalid; }
    // Tells the sheet so that the page showing the single redraws it.
    void SetInvalid(bool value);

    // Prize level 1..3, 0 for none, -1 while undecided or without a sheet. Recounts hits first.
    int Prize();
    // Estimated first-prize payout from the active vote rates (0 without a sheet).
    qint64 WinPrice() const;

    // Upset counts: index 0 all matches, 1 J1, 2 J2. Computed on first read.
    int WinUpsets(int k) const;
    int DrawUpsets(int k) const;
    void CountUpsets() const;
    void ResetUpsets() const;

    // The tip digits of the first count matches joined by ", ", then ", X" when invalid.
    QString Text(int count) const;

    // Copies tips (over dest's sheet's MaxMatch), Invalid, SingleNumber, hit counts and upsets.
    void AssignTo(TSingleSheet &dest) const;

private:
    int maxMatch() const;
    void recount();

    std::array<TTip, kMaxMatches> m_tips;
    std::array<qint8, 3> m_tipCounts{};
    qint8 m_hitCount = 0;
    qint8 m_missCount = 0;
    mutable std::array<qint8, 3> m_winUpsets{-1, -1, -1};
    mutable std::array<qint8, 3> m_drawUpsets{-1, -1, -1};
    bool m_invalid = false;
};

// The singles of a sheet, owned by value.
class TSingleSheetList
{
public:
    int Count() const { return int(m_items.size()); }
    bool isEmpty() const { return m_items.empty(); }
    TSingleSheet &operator[](int index) { return m_items[size_t(index)]; }
    const TSingleSheet &operator[](int index) const { return m_items[size_t(index)]; }
    TSingleSheet &Add(const TSingleSheet &single);
    void Delete(int index);
    void Clear() { m_items.clear(); }
    void Reserve(int count) { m_items.reserve(size_t(count)); }
    // Clears the list and appends count new singles bound to the sheet.
    virtual void Recreate(TTipSheet *sheet, int count);
    virtual ~TSingleSheetList() = default;

    // Sort kinds 0..9 (see SortKind); equal keys fall back to SingleNumber. Reverse negates the
    // order; InvalidLast then puts every valid single before every invalid one.
    void SortBy(int kind, bool reverse, bool invalidLast);

    // Keeps the singles whose flag is false, in order, in one pass.
    void RemoveMarked(const std::vector<bool> &remove);

    std::vector<TSingleSheet>::iterator begin() { return m_items.begin(); }
    std::vector<TSingleSheet>::iterator end() { return m_items.end(); }
    std::vector<TSingleSheet>::const_iterator begin() const { return m_items.begin(); }
    std::vector<TSingleSheet>::const_iterator end() const { return m_items.end(); }

private:
    std::vector<TSingleSheet> m_items;
};

// The base-3 code of the first count tips (match 0 most significant), a dense key for a single.
quint32 TipsCode(const std::array<TTip, kMaxMatches> &tips, int count);

// CRC-16/MODBUS (reflected 0xA001, initial 0xFFFF, no final inversion), one step per byte.
class TCrc16
{
public:
    void add(quint8 byte) { m_crc = quint16((m_crc >> 8) ^ kTable[(m_crc ^ byte) & 0xFF]); }
    quint16 value() const { return m_crc; }

private:
    static constexpr std::array<quint16, 256> kTable = [] {
        std::array<quint16, 256> t{};
        for (int i = 0; i < 256; ++i) {
            quint16 c = quint16(i);
            for (int b = 0; b < 8; ++b)
                c = (c & 1) ? quint16((c >> 1) ^ 0xA001) : quint16(c >> 1);
            t[size_t(i)] = c;
        }
        return t;
    }();
    quint16 m_crc = 0xFFFF;
};
