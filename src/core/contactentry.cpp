#include "core/contactentry.h"

#include "core/entryline.h"
#include "core/entryrules.h"
#include "core/preferences.h"
#include "platform/clock.h"

ContactEntry::ContactEntry(LogStore &log, const Clock &clock, const Preferences &prefs, QString logPath)
    : m_log(log), m_clock(clock), m_prefs(prefs), m_logPath(std::move(logPath))
{
}

int ContactEntry::dupeOf(const QString &call) const { return entryrules::findDupe(m_log, call); }

bool ContactEntry::checkFields(Fields &f, Result &r) const
{
    // Every check runs and the operator reads the last message; the focus goes where the last
    // one points.
    bool incomplete = false;
    auto fail = [&](const QString &message, Field field) {
        ++r.beeps;
        r.status = message;
        r.focus = field;
        incomplete = true;
    };
    if (f.name.isEmpty())
        fail(QStringLiteral("Need Name!"), Field::Name);
    if (f.call.size() < 3)
        fail(QStringLiteral("Need Call Sign!"), Field::Call);
    if (f.qth.isEmpty())
        fail(QStringLiteral("Need Country!"), Field::Qth);
    f.number = entryrules::memberNumberOrNone(f.number);
    if (f.qth.size() == 2 && !entryrules::isStateAbbreviation(f.qth))
        fail(QStringLiteral("Invalid State!"), Field::Qth);

    if (const int n = dupeOf(f.call)) {
        ++r.beeps;
        r.status = entryline::dupeLine(m_log.record(n), n);
        r.dupe = true;
        r.dupeRecord = n;
        r.focus = Field::Call;
        r.clearFields = true;
    }

    if (f.postContest) {
        // An unreadable date or time stops here; a dupe alarm raised above still holds.
        auto badDateTime = [&r](const QString &message) {
            r.outcome = Outcome::BadDateTime;
            r.status = message;
            r.dupe = false;
            ++r.beeps;
            return false;
        };
        QDate date;
        if (!entryrules::isValidDate(f.date, &date))
            return badDateTime(QStringLiteral("Invalid date format!"));
        f.date = date.toString(QStringLiteral("yyyy/MM/dd"));
        QTime time;
        f.time = entryrules::expandTimeDigits(f.time);
        if (!entryrules::isValidTime(f.time, &time))
            return badDateTime(QStringLiteral("Invalid time format!"));
        f.time = time.toString(QStringLiteral("HH:mm"));
    }

    if (r.dupeRecord) {
        r.outcome = Outcome::Dupe;
        return false;
    }
    if (incomplete) {
        r.outcome = Outcome::Incomplete;
        return false;
    }
    return true;
}

ContactEntry::Result ContactEntry::check(Fields fields) const
{
    Result r;
    checkFields(fields, r);
    return r;
}

ContactEntry::Result ContactEntry::log(Fields &f, bool listAsNewEntity)
{
    Result r;
    if (!checkFields(f, r))
        return r;

    const QDateTime utc = entryline::utcFromLocal(m_clock.localNow(), m_prefs.utcOffset);
    QsoRecord record;
    record.memberNumber = f.number;
    record.qth = f.qth.trimmed();
    record.call = f.call;
    record.name = f.name;
    record.date = f.postContest ? f.date : utc.toString(QStringLiteral("yyyy/MM/dd"));
    record.time = f.postContest ? f.time : utc.toString(QStringLiteral("HH:mm:ss"));
    record.mode = m_prefs.currentMode;
    record.points = entryrules::pointsFor(record.memberNumber);
    const auto dxBefore = m_log.dxEntities().size();
    switch (m_log.appendQso(m_logPath, record, &r.error, listAsNewEntity, &r.notice)) {
    case LogStore::AppendResult::Ok:
        break;
    case LogStore::AppendResult::Full:
        r.outcome = Outcome::Full;
        ++r.beeps;
        r.status = QStringLiteral("Log full: %1 contacts is the most one log holds. Not logged.")
                       .arg(LogStore::kCapacity);
        return r;
    case LogStore::AppendResult::WriteFailed:
        r.outcome = Outcome::WriteFailed;
        ++r.beeps;
        r.status = QStringLiteral("NOT LOGGED: log.txt could not be written.");
        return r;
    }
    r.outcome = Outcome::Logged;
    r.status.clear();
    r.focus = Field::Call;
    r.clearFields = true;
    r.dxListGrew = m_log.dxEntities().size() != dxBefore;
    return r;
}
