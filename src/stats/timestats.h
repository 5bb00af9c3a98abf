#pragma once
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

class Clock;
class LogStore;
struct QsoRecord;

// The two running rates on the main window: contacts of the last 60 minutes and the hourly rate
// projected from the last 20 minutes.
struct RateTexts {
    static constexpr const char *kLast60Label = "lblAQSO60";
    static constexpr const char *kLast20Label = "lblAQSO20";

    int last60 = 0;   // contacts less than an hour old
    int last20 = 0;   // contacts less than 20 minutes old
    QString lblAQSO60() const { return QString::number(last60); }
    QString lblAQSO20() const { return QString::number(last20 * 3); }
};

class TimeStats {
public:
    // UTC now as the logger keeps it: the local clock plus the station's offset in hours, to the
    // second (the offset, not the system zone, is what the operator confirmed at start).
    static QDateTime utcNow(const Clock &clock, float utcOffsetHours);

    // Scans from the newest record back and stops at the first one an hour old or more, so the
    // cost follows the last hour's traffic, not the log's size. A record stamped in the future
    // counts in both windows. Empty when a scanned record's date or time cannot be read; the
    // caller then leaves its labels as they were.
    static std::optional<RateTexts> compute(const QList<QsoRecord> &records, const QDateTime &utcNow);
    static std::optional<RateTexts> compute(const LogStore &log, const Clock &clock,
                                            float utcOffsetHours);
};
