#pragma once
#include "core/qsorecord.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

class LogStore;

namespace reports {

enum class Contest { WinterPhone, SpringCw, SummerPhone, FallCw, Sprint };
enum class EntryClass { Individual, Club, Qrp };

// What the report window collects beside the log: the entry details the sponsor asks for.
struct ReportFields {
    Contest contest = Contest::WinterPhone;
    EntryClass entryClass = EntryClass::Individual;
    QString year;         // Text10
    QString startDate;    // Text2, "mm/dd"
    QString endDate;      // Text11, "mm/dd"
    QString name;         // Text5
    QString address1;     // Text6
    QString address2;     // Text7
    QString operatingQth; // Text8, call area or country
    QString operators;    // Text4
    QString chapter;      // Text1
    QString comment;      // Text3
};

// The own-station values every report quotes (from the station setup).
struct StationInfo {
    QString call;          // trimmed
    QString memberNumber;  // as entered
    QString firstName;
    QString state;         // own state, province or country
};

QString contestCaption(Contest contest);    // "Winter Phone" ...
// The event a log belongs to by the month of its first contact (`today` for an empty log).
Contest proposedContest(const QList<QsoRecord> &records, const QDate &today);
QString cabrilloContest(Contest contest);   // "10-10 WINTER PHONE" ...
QString entryCaption(EntryClass entry);     // "Individual", "Club", "QRP"
QString cabrilloCategory(EntryClass entry); // "INDIVIDUAL" ...

// Parses a stored date in any form the log reader and the edit window accept ("yyyy/mm/dd",
// "yyyy-m-d", "m/d/yyyy" ...); invalid otherwise.
QDate parseStoredDate(const QString &text);
// Parses a stored time ("hh:mm:ss", "h:mm" ...); invalid otherwise.
QTime parseStoredTime(const QString &text);
// The stored time as "hhmm" for the report columns; a time that does not parse gives its first
// two characters and the two after the colon, as before.
QString storedTimeHhmm(const QString &text);

// Tally of the points column. A points value that is not a number makes the tally fail, which
// the writers report rather than write a score that does not add up.
struct PointsTally {
    int withNumbers = 0;     // contacts whose points value is 2
    int withoutNumbers = 0;  // the rest
    bool ok = true;
    QString error;
};
PointsTally tallyPoints(const QList<QsoRecord> &records);

// The total-score label's text for a log: the points total as a plain number.
QString scoreText(const LogStore &log);

// The calls of all contacts in ascending character-code order, duplicates kept.
QStringList sortedCalls(const QList<QsoRecord> &records);

// The date and time in the system's general form (short date and time of the system locale).
QString generalDateTime(const QDateTime &when);

// "The file was successfully written to the directory:" CR LF CR LF path "." - the common start
// of every success message.
QString writtenToMessage(const QString &path);

}  // namespace reports
