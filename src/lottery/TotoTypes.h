#pragma once

#include <QString>
#include <QtGlobal>

#include <array>
#include <cstdint>
#include <functional>

// The vocabulary of a round: the three lotteries, the outcome of a match and sets of outcomes.

enum TTotoType : quint8 { ttToto = 0, ttMiniA = 1, ttMiniB = 2 };
inline constexpr int kTotoTypeCount = 3;

// The ordinal is the mark digit of every file and text: "0" draw or other, "1" home, "2" away.
enum TTip : quint8 { tpDraw = 0, tpHome = 1, tpAway = 2 };

// Display order of the outcomes everywhere: home, draw, away.
inline constexpr std::array<TTip, 3> kDisplayTipOrder = {tpHome, tpDraw, tpAway};

inline constexpr int kMaxMatches = 13;
inline constexpr qint64 kSinglePrice = 100;
inline constexpr int kDefaultRoundNumber = 1154;

// A set of outcomes in one byte: bit 0 draw, bit 1 home, bit 2 away.
class TTips
{
public:
    constexpr TTips() = default;
    constexpr explicit TTips(quint8 bits) : m_bits(bits & 7) {}
    constexpr TTips(std::initializer_list<TTip> tips)
    {
        for (TTip t : tips)
            m_bits |= quint8(1u << t);
    }
    static constexpr TTips all() { return TTips(7); }

    constexpr bool contains(TTip t) const { return m_bits & (1u << t); }
    constexpr bool isEmpty() const { return m_bits == 0; }
    constexpr int count() const { return (m_bits & 1) + ((m_bits >> 1) & 1) + ((m_bits >> 2) & 1); }
    constexpr quint8 bits() const { return m_bits; }
    constexpr void include(TTip t) { m_bits |= quint8(1u << t); }
    constexpr void exclude(TTip t) { m_bits &= quint8(~(1u << t)); }
    constexpr bool intersects(TTips o) const { return (m_bits & o.m_bits) != 0; }
    constexpr bool operator==(const TTips &) const = default;

private:
    quint8 m_bits = 0;
};

// Per-type constants.
int MaxMatchOf(TTotoType type);
QString TotoTypeName(TTotoType type);   // "toto", "mini toto-A組", "mini toto-B組"
QString TotoTypeSuffix(TTotoType type); // "", "A", "B"
// A stored type ordinal above 2 reads as toto.
TTotoType TotoTypeFromInt(int value);

// Prize level names 0..3: "×", "１等", "２等", "３等".
QString PrizeLevelName(int level);

// Rounds 198 to 260 paid no third prize.
bool IsNoThirdPrizeRound(int roundNumber);

// The outcome of a score: called off -> all three; a negative score -> unknown (empty); a V-goal
// counts as a draw from round 32 on; otherwise the larger score wins.
TTips ResultFromScore(int roundNumber, int homeScore, int awayScore, bool calledOff, bool vGoal);

// The text read as an integer (invalid text counts as 0): 1 home, 2 away, anything else draw.
TTip TipFromText(QStringView text);

// Three characters for home, draw, away: "■" marked, "□" not.
QString MarksText(TTips tips);

// The mark digits in display order, only those in the set: "1", "02", "102".
QString TipsDigits(TTips tips);

inline QChar TipDigit(TTip tip)
{
    return QChar(u'0' + int(tip));
}

// Single-listener notification with a sender.
template <typename Sender>
using TNotifyEvent = std::function<void(Sender *)>;
