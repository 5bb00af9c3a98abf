#pragma once
#include <QString>

// One logged contact; the field order is the order on disk.
struct QsoRecord {
    QString call;
    QString name;
    QString qth;           // state abbreviation, or province / country name of 3+ characters
    QString memberNumber;  // 10-10 number, or "None"
    QString points;        // "2" with a number, "1" without
    QString date;          // UTC "yyyy/mm/dd"
    QString time;          // UTC "hh:mm:ss" (live) or "hh:mm" (post-contest)
    QString mode;          // "CW", "PH" or "DG"

    bool operator==(const QsoRecord &) const = default;
};
