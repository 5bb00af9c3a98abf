#include "core/entryline.h"

#include "core/logstore.h"

#include <cmath>

namespace entryline {

QString signedNumber(qint64 n)
{
    return n < 0 ? QString::number(n) : QStringLiteral(" ") + QString::number(n);
}

QString partialDupeList(const LogStore &store, const QString &partial)
{
    QString list;
    for (const QsoRecord &r : store.records()) {
        if (r.call.startsWith(partial, Qt::CaseInsensitive))
            list.prepend(r.call + u' ');
        if (list.size() > 100)
            break;
    }
    return list;
}

QString dupeLine(const QsoRecord &r, int n)
{
    return QStringLiteral("Duplicate ") + r.call + u' ' + r.name + u' ' + r.qth + u' ' + r.date + u' '
           + r.time + QStringLiteral("  Rec# ") + signedNumber(n);
}

bool secondOrThirdIsNumeric(const QString &call)
{
    auto numericOrSlash = [](QChar c) { return c.unicode() >= 47 && c.unicode() <= 57; };
    return call.size() >= 3 && (numericOrSlash(call[1]) || numericOrSlash(call[2]));
}

QDateTime utcFromLocal(const QDateTime &local, float offsetHours)
{
    return local.addSecs(qint64(std::lround(double(offsetHours) * 60.0)) * 60);
}

}  // namespace entryline
