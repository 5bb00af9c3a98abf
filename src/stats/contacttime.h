#pragma once
#include <QDateTime>

struct QsoRecord;

// A contact's UTC moment from its stored date ("yyyy/mm/dd") and time ("hh:mm:ss", or "hh:mm"
// for contacts typed in after the contest). Single-digit months, days and hours are accepted as
// hand-edited logs carry them. Invalid when either field cannot be read.
QDateTime contactTime(const QsoRecord &record);
QDateTime contactTime(const QString &date, const QString &time);
