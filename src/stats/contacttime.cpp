#include "stats/contacttime.h"

#include "core/qsorecord.h"

#include <QStringList>

namespace {

// Whole-number parts separated by `sep`; false when a part is empty or not all digits.
bool splitNumbers(const QString &text, QChar sep, int minParts, int maxParts, QList<int> &parts)
{
    const QStringList pieces = text.trimmed().split(sep);
    if (pieces.size() < minParts || pieces.size() > maxParts)
        return false;
    parts.clear();
    for (const QString &p : pieces) {
        if (p.isEmpty() || p.size() > 4)
            return false;
        for (QChar c : p) {
            if (c < u'0' || c > u'9')
                return false;
        }
        parts.append(p.toInt());
    }
    return true;
}

}  // namespace

QDateTime contactTime(const QString &date, const QString &time)
{
    QList<int> d, t;
    if (!splitNumbers(date, u'/', 3, 3, d) || !splitNumbers(time, u':', 2, 3, t))
        return {};
    const QDate day(d[0], d[1], d[2]);
    const QTime clock(t[0], t[1], t.size() == 3 ? t[2] : 0);
    if (!day.isValid() || !clock.isValid())
        return {};
    return QDateTime(day, clock, Qt::UTC);
}

QDateTime contactTime(const QsoRecord &record) { return contactTime(record.date, record.time); }
