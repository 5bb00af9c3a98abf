#pragma once
#include "core/qsorecord.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

class LogStore;

namespace reports {

// The first five keep their old order: windows and command lines refer to them by it.
enum class Contest {
    WinterPhone, SpringCw, SummerPhone, FallCw, Sprint,
    SpringDigital, OpenSeason, SpiritOf76, FallDigital
};
// Individual, Club and QRP are the report window's classes of old; Low, High and Mobile the
// sponsor's later ones (QRP up to 10 W, Low up to 150 W, High above).
enum class EntryClass { Individual, Club, Qrp, Low, High, Mobile };

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

// The nine parties in the order of the year, as the windows offer them.
const QList<Contest> &allContests();
QString contestCaption(Contest contest);    // "Winter Phone" ...
// The days a party runs in `year` (UTC dates, first and last); invalid dates for a party whose
// dates are not fixed by a rule of the calendar.
struct ContestDays {
    QDate first;
    QDate last;
};
ContestDays contestDays(Contest contest, int year);
// The modes a party counts ("PH", "CW", "DG"); empty for an all-mode party.
QStringList contestModes(Contest contest);
// The party a log belongs to: the one whose days hold its first contact and whose mode it
// worked, or else by the season of that contact and whether the log is digital only (`today`
// for an empty log).
Contest proposedContest(const QList<QsoRecord> &records, const QDate &today);
// The contest a name given on a command line or stored means: a caption in any letter case with
// or without blanks and hyphens ("fallcw", "Open Season"), or a Cabrillo 3.0 name.
bool contestFromName(const QString &name, Contest &contest);
QString cabrilloContest(Contest contest);   // "10-10 WINTER PHONE" ...

// The settings-store key of the class the station setup keeps, as its caption.
inline constexpr char kEntryClassKey[] = "EntryClass";
// The classes the station setup offers, in its order.
const QList<EntryClass> &stationClasses();
QString entryCaption(EntryClass entry);     // "Individual", "Club", "QRP", "Low", "High", "Mobile"
QString cabrilloCategory(EntryClass entry); // "INDIVIDUAL" ...
// A stored or typed class caption in any letter case; false for anything else.
bool entryFromName(const QString &name, EntryClass &entry);

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
