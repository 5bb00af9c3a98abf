#pragma once
#include <QLocale>
#include <QString>

// `HDCalc`: great-circle beam heading and distance from the own station, as the two label texts
// (each one blank then the value); both empty when the geometry has no answer.
struct HeadingLabels {
    QString bearing;  // Label22, e.g. " 49"
    QString miles;    // Label23, e.g. " 3,662" with the locale's thousands separator
};

// Uses QLocale() (the default locale, which follows the system unless the program sets one)
// for the thousands separator.
HeadingLabels hdcalc(float ownLatitude, float ownLongitude, float cntlat, float cntlong);
HeadingLabels hdcalc(float ownLatitude, float ownLongitude, float cntlat, float cntlong,
                     const QLocale &locale);
