#include "bandmap/bandscale.h"

#include <cmath>

namespace bandmap {

bool inBand(double freq, const Band &band)
{
    const float f = float(freq);
    return f > float(band.lower) && f < float(band.upper);
}

int rowOf(double freq)
{
    for (int row = 0; row < int(kRows.size()); ++row) {
        if (inBand(freq, kRows[size_t(row)]))
            return row;
    }
    return -1;
}

QString mhzText(double mhz)
{
    return QString::number(std::round(mhz * 1000.0) / 1000.0, 'f', 3);
}

Scale zoomScale(const Band &band, const QList<MapSpot> &spots)
{
    double lower = band.lower;
    double upper = band.upper;
    double lowest = band.upper;
    double highest = band.lower;
    // Every slot counts, the oldest too: a spot the scale left out could not be drawn.
    for (const MapSpot &s : spots) {
        if (!inBand(s.freq, band))
            continue;
        lowest = std::min(lowest, double(s.freq));
        highest = std::max(highest, double(s.freq));
    }
    if (highest > lowest) {
        lower = lowest - 0.001;
        upper = highest + 0.001;
    }
    Scale scale;
    for (int i = 0; i < 5; ++i)
        scale.texts[size_t(i)] = mhzText(lower + i * (upper - lower) / 4);
    // The drawing works from the bounds as shown, so a spot sits where the texts say it is.
    scale.lo = scale.texts[0].toDouble();
    scale.hi = scale.texts[4].toDouble();
    return scale;
}

// Ages count wall-clock seconds between the two local times, worked out from their fields: the
// time-zone lookups QDateTime::secsTo makes for local times cost more than the rest of a redraw.
qint64 wallSeconds(const QDateTime &from, const QDateTime &to)
{
    return from.date().daysTo(to.date()) * 86400 + from.time().secsTo(to.time());
}

Age ageOf(const QDateTime &arrival, const QDateTime &now)
{
    // A slot without an arrival time keeps the labels' plain white.
    if (!arrival.isValid())
        return Age::Recent;
    const qint64 age = wallSeconds(arrival, now);
    if (age < kFreshSeconds)
        return Age::Fresh;
    if (age < kRecentSeconds)
        return Age::Recent;
    if (age < kShownSeconds)
        return Age::Old;
    return Age::Expired;
}

QString spotText(const MapSpot &spot, float utcOffsetHours)
{
    // Only the time of day shows, so it is shifted on its own (wrapping at midnight).
    const int offset = int(std::llround(double(utcOffsetHours) * 3600.0));
    const QString time = spot.time.isValid()
        ? spot.time.time().addSecs(offset).toString(QStringLiteral("HH:mm:ss"))
        : QString();
    return spot.call + QStringLiteral("  ") + mhzText(spot.freq) + QStringLiteral("  ") + time;
}

MapPicture layout(const QList<MapSpot> &spots, const QList<int> &rows, const QDateTime &now,
                  float utcOffsetHours)
{
    MapPicture picture;
    picture.rows = rows;
    for (int row : rows)
        picture.scales.append(zoomScale(kRows[size_t(row)], spots));
    for (int slot = 0; slot < spots.size(); ++slot) {
        const MapSpot &s = spots[slot];
        if (s.freq <= 0)
            continue;
        const int row = rowOf(s.freq);
        const int at = rows.indexOf(row);
        if (at < 0 || !picture.scales[at].holds(s.freq))
            continue;
        const Age age = ageOf(s.time, now);
        if (age == Age::Expired)
            continue;
        picture.spots.append({slot, row, picture.scales[at].fraction(s.freq), s.prefix,
                              spotText(s, utcOffsetHours), age});
    }
    return picture;
}

}  // namespace bandmap
