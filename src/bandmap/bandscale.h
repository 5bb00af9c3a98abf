#pragma once
#include "spotting/spot.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <array>
#include <functional>

// The arithmetic behind both band maps (the 10 m strip on the main window and the all-band
// window): band rows, the zoomed scale, where each spot goes and how its age colours it. Both
// maps draw from what these functions return, so they can never disagree. No widgets here.
namespace bandmap {

struct Band {
    double lower;  // MHz, exclusive
    double upper;  // MHz, exclusive
    const char *name;
};

// The rows of the band map window, 160 m down to 2 m.
inline constexpr std::array<Band, 11> kRows{{{1.8, 2.0, "160 m"},
                                             {3.5, 4.0, "80 m"},
                                             {7.0, 7.3, "40 m"},
                                             {10.1, 10.15, "30 m"},
                                             {14.0, 14.35, "20 m"},
                                             {18.068, 18.168, "17 m"},
                                             {21.0, 21.45, "15 m"},
                                             {24.89, 24.99, "12 m"},
                                             {28.0, 29.7, "10 m"},
                                             {50, 54, "6 m"},
                                             {144, 148, "2 m"}}};
// The main window's strip shows this row only.
inline constexpr int kTenMetreRow = 8;

// Strictly inside the band, in whole hertz: a spot exactly on an edge stays out.
bool inBand(qint64 hz, const Band &band);
// The row whose band holds `hz`, or -1.
int rowOf(qint64 hz);

// The scale of one row: the five texts under the line ("#.000", lower to upper in quarters),
// and the bounds as the drawing reads them back from the first and last text.
struct Scale {
    std::array<QString, 5> texts;
    double lo = 0;
    double hi = 0;
    // Where `freq` lies along the line, 0 at the lower bound, 1 at the upper.
    double fraction(double freq) const { return (freq - lo) / (hi - lo); }
    // Drawn only strictly between the bounds the texts show.
    bool holds(double freq) const { return freq > lo && freq < hi; }
};
// The band's full range, or, when the spots in it carry at least two different frequencies,
// their lowest and highest with 0.001 MHz to spare on each side.
Scale zoomScale(const Band &band, const QList<Spot> &spots);

// Spot age by the time since arrival.
enum class Age {
    Fresh,    // under 10 minutes: light yellow
    Recent,   // under 30 minutes: white
    Old,      // under an hour: silver
    Expired,  // an hour or more: not drawn
};
Age ageOf(const QDateTime &arrival, const QDateTime &now);
inline constexpr qint64 kFreshSeconds = 600;
inline constexpr qint64 kRecentSeconds = 1800;
inline constexpr qint64 kShownSeconds = 3600;

// "#.000": three decimals.
QString mhzText(double mhz);
// Call, frequency and arrival time in UTC, as the hover line and tool tip show them.
QString spotText(const Spot &spot, float utcOffsetHours);

// One spot as a map shows it.
struct PlacedSpot {
    int slot = 0;
    int row = 0;
    double fraction = 0;  // along the row's line
    QString caption;      // the call's prefix
    QString text;         // spotText()
    Age age = Age::Recent;
    bool worked = false;  // the call is in the log: drawn grey, so it is not picked
};

// Everything one redraw needs: the scale of each row asked for and the spots to draw on them.
struct MapPicture {
    QList<int> rows;
    QList<Scale> scales;        // parallel to rows
    QList<PlacedSpot> spots;    // oldest first, so the newest is painted on top
};
// `spots` is the store, slot 0 the oldest; `rows` the band rows to draw (the strip asks for the
// 10 m row only).
// `worked` tells the calls already in the log; none are when it is empty.
MapPicture layout(const QList<Spot> &spots, const QList<int> &rows, const QDateTime &now,
                  float utcOffsetHours,
                  const std::function<bool(const QString &call)> &worked = {});

}  // namespace bandmap
