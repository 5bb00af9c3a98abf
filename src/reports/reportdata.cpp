#include "reports/reportdata.h"

#include "core/entryrules.h"
#include "core/fieldfile.h"
#include "core/logstore.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <algorithm>

namespace reports {

namespace {

struct EventRow {
    Contest contest;
    const char *caption;
    const char *header;  // the sponsor's own CONTEST line
    const char *modes;   // blank-separated; empty for every mode
};

// In the order of the year. The sponsor's header names of the first parties are the ones its
// checkers have always read; the later ones follow their form.
constexpr EventRow kEvents[] = {
    {Contest::WinterPhone, "Winter Phone", "10-10 WINTER PHONE", "PH"},
    {Contest::SpringDigital, "Spring Digital", "10-10 SPRING DIGITAL", "DG"},
    {Contest::SpringCw, "Spring CW", "10-10 SPRING CW/DG", "CW"},
    {Contest::OpenSeason, "Open Season PSK", "10-10 OPEN SEASON PSK", "DG"},
    {Contest::SpiritOf76, "Spirit of 76", "10-10 SPIRIT OF 76", ""},
    {Contest::SummerPhone, "Summer Phone", "10-10 SUMMER PHONE", "PH"},
    {Contest::Sprint, "Sprint", "10-10 SPRINT", ""},
    {Contest::FallCw, "Fall CW", "10-10 FALL CW/DG", "CW"},
    {Contest::FallDigital, "Fall Digital", "10-10 FALL DIGITAL", "DG"},
};

const EventRow &eventRow(Contest contest)
{
    for (const EventRow &row : kEvents)
        if (row.contest == contest)
            return row;
    return kEvents[0];
}

// The Saturday of the month's n-th weekend whose Sunday is in the month too (n = -1: the last).
QDate fullWeekend(int year, int month, int n)
{
    const QDate firstDay(year, month, 1);
    QDate saturday = firstDay.addDays((Qt::Saturday - firstDay.dayOfWeek() + 7) % 7);
    if (n < 0) {
        while (saturday.addDays(8).month() == month)
            saturday = saturday.addDays(7);
        return saturday;
    }
    return saturday.addDays(7 * (n - 1));
}

ContestDays weekend(int year, int month, int n)
{
    const QDate saturday = fullWeekend(year, month, n);
    return {saturday, saturday.addDays(1)};
}

QString nameKey(const QString &name)
{
    return name.toLower().remove(u' ').remove(u'-');
}

}  // namespace

const QList<Contest> &allContests()
{
    static const QList<Contest> all = [] {
        QList<Contest> list;
        for (const EventRow &row : kEvents)
            list << row.contest;
        return list;
    }();
    return all;
}

ContestDays contestDays(Contest contest, int year)
{
    switch (contest) {
    case Contest::WinterPhone: return weekend(year, 2, 1);
    case Contest::SpringDigital: return weekend(year, 4, -1);
    case Contest::SpringCw: return weekend(year, 5, 1);
    case Contest::OpenSeason: return weekend(year, 6, 1);
    case Contest::SpiritOf76: return {QDate(year, 7, 1), QDate(year, 7, 7)};
    case Contest::SummerPhone: return weekend(year, 8, 1);
    case Contest::Sprint: return {QDate(year, 10, 10), QDate(year, 10, 10)};
    case Contest::FallCw: return weekend(year, 10, 3);
    case Contest::FallDigital: return {};
    }
    return {};
}

QStringList contestModes(Contest contest)
{
    return QString::fromLatin1(eventRow(contest).modes).split(u' ', Qt::SkipEmptyParts);
}

Contest proposedContest(const QList<QsoRecord> &records, const QDate &today)
{
    const QDate logged = records.isEmpty() ? QDate() : parseStoredDate(records.first().date);
    const QDate first = logged.isValid() ? logged : today;
    QStringList modes;
    for (const QsoRecord &r : records) {
        const QString mode = r.mode.trimmed().toUpper();
        if (!modes.contains(mode))
            modes << mode;
    }
    if (logged.isValid()) {
        for (const EventRow &row : kEvents) {
            const ContestDays days = contestDays(row.contest, first.year());
            if (!days.first.isValid() || first < days.first || first > days.last)
                continue;
            const QStringList counted = contestModes(row.contest);
            if (counted.isEmpty() || std::any_of(modes.cbegin(), modes.cend(),
                                                 [&](const QString &m) { return counted.contains(m); }))
                return row.contest;
        }
    }
    const int month = first.month();
    if (modes == QStringList{QStringLiteral("DG")})
        return month <= 5 ? Contest::SpringDigital : month == 6 ? Contest::OpenSeason : Contest::FallDigital;
    return month <= 3 ? Contest::WinterPhone : month <= 6 ? Contest::SpringCw : month <= 9 ? Contest::SummerPhone : Contest::FallCw;
}

bool contestFromName(const QString &name, Contest &contest)
{
    QString key = nameKey(name);
    if (key.startsWith(QLatin1String("1010")))
        key.remove(0, 4);
    for (const EventRow &row : kEvents) {
        const QString caption = nameKey(QString::fromLatin1(row.caption));
        // "Open Season PSK" is also known without its mode, as its Cabrillo name has it.
        if (key == caption || (caption.endsWith(QLatin1String("psk")) && key == caption.chopped(3))) {
            contest = row.contest;
            return true;
        }
    }
    return false;
}

QString contestCaption(Contest contest)
{
    return QString::fromLatin1(eventRow(contest).caption);
}

QString cabrilloContest(Contest contest)
{
    return QString::fromLatin1(eventRow(contest).header);
}

const QList<EntryClass> &stationClasses()
{
    static const QList<EntryClass> classes{EntryClass::Qrp, EntryClass::Low, EntryClass::High, EntryClass::Club,
                                           EntryClass::Mobile};
    return classes;
}

QString entryCaption(EntryClass entry)
{
    switch (entry) {
    case EntryClass::Individual: return QStringLiteral("Individual");
    case EntryClass::Club: return QStringLiteral("Club");
    case EntryClass::Qrp: return QStringLiteral("QRP");
    case EntryClass::Low: return QStringLiteral("Low");
    case EntryClass::High: return QStringLiteral("High");
    case EntryClass::Mobile: return QStringLiteral("Mobile");
    }
    return {};
}

bool entryFromName(const QString &name, EntryClass &entry)
{
    for (EntryClass e : {EntryClass::Individual, EntryClass::Club, EntryClass::Qrp, EntryClass::Low,
                         EntryClass::High, EntryClass::Mobile})
        if (name.trimmed().compare(entryCaption(e), Qt::CaseInsensitive) == 0) {
            entry = e;
            return true;
        }
    return false;
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
