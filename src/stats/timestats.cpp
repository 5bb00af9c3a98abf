#include "stats/timestats.h"

#include "core/logstore.h"
#include "platform/clock.h"
#include "stats/contacttime.h"

#include <cmath>

QDateTime TimeStats::utcNow(const Clock &clock, float utcOffsetHours)
{
    const QDateTime local = clock.localNow();
    const QTime t = local.time();
    // Read the wall clock as plain numbers so a daylight-saving jump cannot shift the result.
    const QDateTime wall(local.date(), QTime(t.hour(), t.minute(), t.second()), Qt::UTC);
    return wall.addSecs(std::llround(double(utcOffsetHours) * 3600.0));
}

std::optional<RateTexts> TimeStats::compute(const QList<QsoRecord> &records, const QDateTime &now)
{
    RateTexts rates;
    for (qsizetype i = records.size() - 1; i >= 0; --i) {
        const QDateTime when = contactTime(records.at(i));
        if (!when.isValid())
            return std::nullopt;
        const qint64 age = when.secsTo(now);
        if (age < 1200)
            ++rates.last20;
        if (age >= 3600)
            break;
        ++rates.last60;
    }
    return rates;
}

std::optional<RateTexts> TimeStats::compute(const LogStore &log, const Clock &clock,
                                            float utcOffsetHours)
{
    return compute(log.records(), utcNow(clock, utcOffsetHours));
}
