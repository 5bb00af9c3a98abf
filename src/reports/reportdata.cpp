#include "reports/reportdata.h"

#include "core/entryrules.h"
#include "core/fieldfile.h"
#include "core/logstore.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <algorithm>

namespace reports {

Contest proposedContest(const QList<QsoRecord> &records, const QDate &today)
{
    const QDate first = records.isEmpty() ? QDate() : parseStoredDate(records.first().date);
    const int month = first.isValid() ? first.month() : today.month();
    return month <= 3 ? Contest::WinterPhone : month <= 6 ? Contest::SpringCw : month <= 9 ? Contest::SummerPhone : Contest::FallCw;
}

QString contestCaption(Contest contest)
{
    switch (contest) {
    case Contest::WinterPhone: return QStringLiteral("Winter Phone");
    case Contest::SpringCw: return QStringLiteral("Spring CW");
    case Contest::SummerPhone: return QStringLiteral("Summer Phone");
    case Contest::FallCw: return QStringLiteral("Fall CW");
    case Contest::Sprint: return QStringLiteral("Sprint");
    }
    return {};
}

QString cabrilloContest(Contest contest)
{
    switch (contest) {
    case Contest::WinterPhone: return QStringLiteral("10-10 WINTER PHONE");
    case Contest::SpringCw: return QStringLiteral("10-10 SPRING CW/DG");
    case Contest::SummerPhone: return QStringLiteral("10-10 SUMMER PHONE");
    case Contest::FallCw: return QStringLiteral("10-10 FALL CW/DG");
    case Contest::Sprint: return QStringLiteral("10-10 SPRINT");
    }
    return {};
}

QString entryCaption(EntryClass entry)
{
    switch (entry) {
    case EntryClass::Individual: return QStringLiteral("Individual");
    case EntryClass::Club: return QStringLiteral("Club");
    case EntryClass::Qrp: return QStringLiteral("QRP");
    }
    return {};
}

QString cabrilloCategory(EntryClass entry)
{
    return entryCaption(entry).toUpper();
}

QDate parseStoredDate(const QString &text)
{
    QDate date;
    return entryrules::isValidDate(text, &date) ? date : QDate();
}

QTime parseStoredTime(const QString &text)
{
    QTime time;
    return entryrules::isValidTime(text, &time) ? time : QTime();
}

QString storedTimeHhmm(const QString &text)
{
    const QTime time = parseStoredTime(text);
    return time.isValid() ? time.toString(QStringLiteral("HHmm")) : text.mid(0, 2) + text.mid(3, 2);
}

PointsTally tallyPoints(const QList<QsoRecord> &records)
{
    PointsTally tally;
    for (qsizetype i = 0; i < records.size(); ++i) {
        double value = 0;
        if (!fieldfile::parseNumber(records[i].points, value)) {
            tally.ok = false;
            tally.error = QStringLiteral("Type mismatch: the points value \"%1\" of contact %2 is not a number.")
                              .arg(records[i].points)
                              .arg(i + 1);
            return tally;
        }
        if (value == 2)
            ++tally.withNumbers;
    }
    tally.withoutNumbers = int(records.size()) - tally.withNumbers;
    return tally;
}

QString scoreText(const LogStore &log)
{
    return fieldfile::formatNumber(log.pointsTotal());
}

QStringList sortedCalls(const QList<QsoRecord> &records)
{
    QStringList calls;
    calls.reserve(records.size());
    for (const QsoRecord &r : records)
        calls << r.call;
    // Equal calls are identical texts, so any correct sort gives the same list as a selection
    // sort by character code; QString's operator< compares UTF-16 code units.
    std::sort(calls.begin(), calls.end());
    return calls;
}

QString generalDateTime(const QDateTime &when)
{
    return QLocale::system().toString(when, QLocale::ShortFormat);
}

QString writtenToMessage(const QString &path)
{
    return QStringLiteral("The file was successfully written to the directory:\r\n\r\n") + path
           + QLatin1Char('.');
}

}  // namespace reports
