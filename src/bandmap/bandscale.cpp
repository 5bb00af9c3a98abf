#include "bandmap/bandscale.h"

#include <cmath>

namespace bandmap {

bool inBand(qint64 hz, const Band &band)
{
    return hz > hzOfMhz(band.lower) && hz < hzOfMhz(band.upper);
}

int rowOf(qint64 hz)
{
    for (int row = 0; row < int(kRows.size()); ++row) {
        if (inBand(hz, kRows[size_t(row)]))
            return row;
    }
    return -1;
}

QString mhzText(double mhz)
{
    return QString::number(std::round(mhz * 1000.0) / 1000.0, 'f', 3);
}

Scale zoomScale(const Band &band, const QList<Spot> &spots)
{
    double lower = band.lower;
    double upper = band.upper;
    double lowest = band.upper;
    double highest = band.lower;
    // Every slot counts, the oldest too: a spot the scale left out could not be drawn.
    for (const Spot &s : spots) {
        if (!inBand(s.hz, band))
            continue;
        lowest = std::min(lowest, s.mhz());
        highest = std::max(highest, s.mhz());
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

QString spotText(const Spot &spot, float utcOffsetHours)
{
    // Only the time of day shows, so it is shifted on its own (wrapping at midnight).
    const int offset = int(std::llround(double(utcOffsetHours) * 3600.0));
    const QString time = spot.time.isValid()
        ? spot.time.time().addSecs(offset).toString(QStringLiteral("HH:mm:ss"))
        : QString();
    return spot.call + QStringLiteral("  ") + mhzText(spot.mhz()) + QStringLiteral("  ") + time;
}

MapPicture layout(const QList<Spot> &spots, const QList<int> &rows, const QDateTime &now,
                  float utcOffsetHours, const std::function<bool(const QString &call)> &worked)
{
    MapPicture picture;
    picture.rows = rows;
    for (int row : rows)
        picture.scales.append(zoomScale(kRows[size_t(row)], spots));
    for (int slot = 0; slot < spots.size(); ++slot) {
        const Spot &s = spots[slot];
        if (s.hz <= 0)
            continue;
        const int row = rowOf(s.hz);
        const int at = rows.indexOf(row);
        if (at < 0 || !picture.scales[at].holds(s.mhz()))
            continue;
        const Age age = ageOf(s.time, now);
        if (age == Age::Expired)
            continue;
        const bool inLog = worked && worked(s.call);
        QString text = spotText(s, utcOffsetHours);
        if (inLog)
            text += QStringLiteral("  (worked)");
        picture.spots.append({slot, row, picture.scales[at].fraction(s.mhz()), s.prefix, text,
                              age, inLog});
    }
    return picture;
}

}  // namespace bandmap
