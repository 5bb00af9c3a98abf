#pragma once
#include <QDateTime>
#include <QString>

class LogStore;
struct QsoRecord;

// Rules of the entry line that need no window.
namespace entryline {

// A whole number with the sign position of the status texts: " 3", "-3".
QString signedNumber(qint64 n);

// The partial-dupe line: calls of the oldest records that begin with `partial` (ignoring case),
// each followed by a blank, the most recent of them first, stopping once past 100 characters.
QString partialDupeList(const LogStore &store, const QString &partial);

// The status line for a dupe of record `n`.
QString dupeLine(const QsoRecord &record, int n);

// Whether the second or third character of a 3-character call is a digit or "/".
bool secondOrThirdIsNumeric(const QString &call);

// UTC from the local reading and the offset in hours (applied in whole minutes).
QDateTime utcFromLocal(const QDateTime &local, float offsetHours);

}  // namespace entryline
