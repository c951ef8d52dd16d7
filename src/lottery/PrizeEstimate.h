#pragma once

#include "lottery/TotoTypes.h"

#include <QString>

#include <array>
#include <vector>

// Payout rules of the lotteries by round, shared by the round estimates, the payout of a single
// and the optimiser's pattern price.
namespace Payout {

double Base(int roundNumber);                   // B per 100-yen single: 47 before round 156, then 50
double FirstShare(TTotoType type, int roundNumber);
double SecondShare(int roundNumber);
double ThirdShare(int roundNumber);
// B x first share, the numerator of a single's payout: 23.5, 25, 40, 35; 50 for mini toto.
double FirstNumerator(TTotoType type, int roundNumber);
inline constexpr qint64 kMinimumLowerPrize = 100;

} // namespace Payout

struct TEstimatedPrizes
{
    qint64 first = 0, second = 0, third = 0;
};

// Per match the rates of draw, home and away (TTip order).
using TMatchRates = std::array<double, 3>;

// The three estimated prizes of a round from its results and vote rates. Raises "toto開催回が０"
// for round 0.
TEstimatedPrizes EstimateDividends(TTotoType type, int roundNumber, const std::vector<TTips> &results,
                                   const std::vector<TMatchRates> &rates);

// The first-prize payout of a single whose picked outcomes have the product of rates p.
// Raises "toto開催回が０" for round 0 (when p > 0).
qint64 SinglePayout(TTotoType type, int roundNumber, double p);

// Yen with the Japanese units: 1億2345万, 5万6789, 1万0, 12億.
QString FormatAmount(qint64 value);
