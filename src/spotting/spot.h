#pragma once
#include <QDateTime>
#include <QString>
#include <QtGlobal>

// One spot as it travels from the parser through the spot store to both band maps.
struct Spot {
    QString call;
    // Where the station was spotted. 0 marks a spot the band maps no longer show (removed by
    // the operator or superseded by a newer spot of the same call).
    qint64 hz = 0;
    QDateTime time;  // arrival, local time; set by the store
    QString prefix;  // the band-map caption (CallPrefix of the call)

    double mhz() const { return double(hz) / 1e6; }
};

inline qint64 hzOfMhz(double mhz) { return qRound64(mhz * 1e6); }
