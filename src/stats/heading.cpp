#include "stats/heading.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kDegreesPerRadian = 57.29577951;
constexpr double kMilesPerRadian = 3955.75791314991;  // 69.041 statute miles per degree
// The cosine of the azimuth can only leave [-1, 1] through rounding; an excess larger than
// this means the geometry is degenerate (points almost on top of each other) and has no answer.
constexpr double kRoundingSlack = 1e-6;
}  // namespace

HeadingLabels hdcalc(float ownLatitude, float ownLongitude, float cntlat, float cntlong)
{
    return hdcalc(ownLatitude, ownLongitude, cntlat, cntlong, QLocale());
}

HeadingLabels hdcalc(float ownLatitude, float ownLongitude, float cntlat, float cntlong,
                     const QLocale &locale)
{
    // Longitudes count positive west, so sin(lon1 - lon2) > 0 means the other station lies east.
    const double lat1 = double(ownLatitude) / kDegreesPerRadian;
    const double lon1 = double(ownLongitude) / kDegreesPerRadian;
    const double lat2 = double(cntlat) / kDegreesPerRadian;
    const double lon2 = double(cntlong) / kDegreesPerRadian;
    if (!std::isfinite(lat1) || !std::isfinite(lon1) || !std::isfinite(lat2) || !std::isfinite(lon2))
        return {};

    const double x = std::sin(lat2) * std::sin(lat1)
                     + std::cos(lat2) * std::cos(lat1) * std::cos(lon2 - lon1);
    const double sinCentral2 = 1 - x * x;
    if (!(sinCentral2 > 0))
        return {};  // the same place or antipodes: no single great circle
    const double halfPi = 2 * std::atan(1.0);
    const double d = std::atan(-x / std::sqrt(sinCentral2)) + halfPi;

    const double denominator = std::cos(lat1) * std::sin(d);
    if (denominator == 0)
        return {};
    double c = (std::sin(lat2) - x * std::sin(lat1)) / denominator;
    if (!std::isfinite(c) || std::abs(c) > 1 + kRoundingSlack)
        return {};
    // On the own meridian c is +-1 (or a hair beyond): due north is 0, due south 180.
    c = std::clamp(c, -1.0, 1.0);
    const double sinAzimuth2 = 1 - c * c;
    const double a = sinAzimuth2 > 0 ? std::atan(-c / std::sqrt(sinAzimuth2)) + halfPi
                                     : (c > 0 ? 0.0 : 2 * halfPi);

    const double heading = std::sin(lon1 - lon2) > 0 ? a * kDegreesPerRadian
                                                     : 360 - a * kDegreesPerRadian;
    long degrees = std::lround(heading);
    if (degrees == 360)
        degrees = 0;  // a compass reads 0 for north, whichever way the rounding came
    const double miles = d * kMilesPerRadian;
    if (!std::isfinite(heading) || !std::isfinite(miles))
        return {};

    // Thousands are always grouped, in the locale's separator, even when the locale's number
    // options say otherwise (the C locale omits groups by default).
    QLocale grouped(locale);
    grouped.setNumberOptions(grouped.numberOptions() & ~QLocale::OmitGroupSeparator);

    HeadingLabels labels;
    labels.bearing = QLatin1Char(' ') + QString::number(degrees);
    labels.miles = QLatin1Char(' ') + grouped.toString(qint64(std::llround(miles)));
    return labels;
}
