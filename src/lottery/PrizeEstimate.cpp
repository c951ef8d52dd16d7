#include "lottery/PrizeEstimate.h"

#include "platform/PelvaneError.h"
#include "shell/UnitTypes.h"

namespace {

[[noreturn]] void roundZero()
{
    throw EPelvaneError(QStringLiteral("toto開催回が０"));
}

} // namespace

namespace Payout {

double Base(int roundNumber)
{
    return roundNumber < 156 ? 47.0 : 50.0;
}

double FirstShare(TTotoType type, int roundNumber)
{
    if (type != ttToto)
        return 1.0;
    if (roundNumber < 198)
        return 0.5;
    if (roundNumber <= 260)
        return 0.8;
    return 0.7;
}

double SecondShare(int roundNumber)
{
    return roundNumber < 260 ? 0.2 : 0.15;
}

double ThirdShare(int roundNumber)
{
    return roundNumber < 260 ? 0.3 : 0.15;
}

double FirstNumerator(TTotoType type, int roundNumber)
{
    if (type != ttToto)
        return 50.0;
    if (roundNumber >= 198 && roundNumber <= 260)
        return 40.0;
    if (roundNumber > 260)
        return 35.0;
    if (roundNumber >= 156)
        return 25.0;
    return 23.5;
}

} // namespace Payout

TEstimatedPrizes EstimateDividends(TTotoType type, int roundNumber, const std::vector<TTips> &results,
                                   const std::vector<TMatchRates> &rates)
{
    const size_t n = std::min(results.size(), rates.size());
    std::vector<double> l(n, 0.0);
    for (size_t i = 0; i < n; ++i)
        for (TTip t : {tpDraw, tpHome, tpAway})
            if (results[i].contains(t))
                l[i] += rates[i][t];

    auto productExcept = [&](size_t a, size_t b) {
        double p = 1.0;
        for (size_t k = 0; k < n; ++k)
            if (k != a && k != b)
                p *= l[k];
        return p;
    };
    const size_t none = n;
    const double p1 = productExcept(none, none);
    double s2 = 0;
    for (size_t i = 0; i < n; ++i)
        s2 += (1.0 - l[i]) * productExcept(i, none);
    double s3 = 0;
    for (size_t i = 0; i < n; ++i)
        for (size_t j = 0; j < n; ++j)
            s3 += productExcept(i, j);

    if (roundNumber == 0)
        roundZero();

    const double b = Payout::Base(roundNumber);
    double first = 0, second = 0, third = 0;
    if (p1 != 0)
        first = type == ttToto ? Payout::FirstShare(type, roundNumber) * b / p1 : b / p1;
    if (s2 != 0) {
        second = Payout::SecondShare(roundNumber) * b / s2;
        if (second > first)
            second = first;
        else if (second != 0 && second < Payout::kMinimumLowerPrize)
            second = Payout::kMinimumLowerPrize;
    }
    if (s3 != 0) {
        third = (Payout::ThirdShare(roundNumber) * b / 3.0) / (s3 / double(n));
        if (third > second)
            third = second;
        else if (third != 0 && third < Payout::kMinimumLowerPrize)
            third = Payout::kMinimumLowerPrize;
    }
    return {RoundHalfAway(first), RoundHalfAway(second), RoundHalfAway(third)};
}

qint64 SinglePayout(TTotoType type, int roundNumber, double p)
{
    if (p <= 0)
        return 0;
    if (roundNumber == 0)
        roundZero();
    return RoundHalfAway(Payout::FirstNumerator(type, roundNumber) / p);
}

QString FormatAmount(qint64 value)
{
    QString text;
    if (value < 100000000)
        text = QString::number(value % 10000);
    value /= 10000;
    if (value <= 0)
        return text;
    if (value < 100000 && value % 10000 > 0)
        text = QString::number(value % 10000) + u'万' + text;
    value /= 10000;
    if (value > 0)
        text = QString::number(value) + u'億' + text;
    return text;
}
