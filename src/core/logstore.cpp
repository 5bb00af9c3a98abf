#include "core/logstore.h"

#include "core/fieldfile.h"

#include <QFileInfo>

bool LogStore::parse(const QByteArray &bytes, QList<QsoRecord> &records, QString *error)
{
    records.clear();
    fieldfile::Reader reader(bytes);
    while (!reader.atEnd()) {
        if (records.size() >= kCapacity) {
            if (error)
                *error = QStringLiteral("more than %1 records").arg(kCapacity);
            return false;
        }
        QsoRecord r;
        QString *fields[] = {&r.call, &r.name, &r.qth, &r.memberNumber,
                             &r.points, &r.date, &r.time, &r.mode};
        for (QString *f : fields) {
            if (!reader.nextText(*f)) {
                if (error)
                    *error = reader.error().isEmpty()
                                 ? QStringLiteral("record %1 is incomplete").arg(records.size() + 1)
                                 : reader.error();
                return false;
            }
        }
        double points = 0;
        if (!fieldfile::parseNumber(r.points, points)) {
            if (error)
                *error = QStringLiteral("record %1: points \"%2\" is not a number")
                             .arg(records.size() + 1)
                             .arg(r.points);
            return false;
        }
        records.append(r);
    }
    return true;
}

LogStore::LoadResult LogStore::load(const QString &path, QString *error)
{
    if (!QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("%1 does not exist").arg(path);
        return LoadResult::Missing;
    }
    QByteArray bytes;
    if (!fieldfile::readFile(path, bytes, error))
        return LoadResult::Damaged;
    QList<QsoRecord> records;
    if (!parse(bytes, records, error))
        return LoadResult::Damaged;

    m_records = std::move(records);
    resetTallies();
    for (const QsoRecord &r : std::as_const(m_records))
        tally(r);
    // The count the session started with is taken from the first load only. Taking it from a
    // later reload (after an edit of a log begun empty this session) would make the contacts
    // of this session look unchanged and skip their backup at close.
    if (!m_startCounted) {
        m_recordsAtStart = count();
        m_startCounted = true;
    }
    return LoadResult::Ok;
}

void LogStore::resetTallies()
{
    m_pointsTotal = 0;
    m_dxEntities.clear();
    m_workedStates.fill(false);
}

void LogStore::tally(const QsoRecord &r, bool listAsNewEntity)
{
    double points = 0;
    fieldfile::parseNumber(r.points, points);
    m_pointsTotal += float(points);
    if (r.qth.size() == 2) {
        if (const int entry = statetable::find(r.qth))
            m_workedStates[entry - 1] = true;
    } else if (r.qth.size() >= 3 && listAsNewEntity) {
        if (!m_dxEntities.contains(r.qth, Qt::CaseInsensitive) && m_dxEntities.size() < kDxCapacity)
            m_dxEntities.append(r.qth);
        if (r.qth.compare(u"Alaska", Qt::CaseInsensitive) == 0)
            m_workedStates[statetable::kAlaska - 1] = true;
        if (r.qth.compare(u"Hawaii", Qt::CaseInsensitive) == 0)
            m_workedStates[statetable::kHawaii - 1] = true;
    }
}

QByteArray LogStore::formatLine(const QsoRecord &r)
{
    fieldfile::Writer w;
    w.text(r.call).text(r.name).text(r.qth).text(r.memberNumber).text(r.points).text(r.date)
        .text(r.time).text(r.mode).endLine();
    return w.bytes();
}

LogStore::AppendResult LogStore::appendQso(const QString &path, const QsoRecord &record,
                                           QString *error, bool listAsNewEntity)
{
    if (count() >= kCapacity) {
        if (error)
            *error = QStringLiteral("the log holds %1 contacts, the most it can store").arg(kCapacity);
        return AppendResult::Full;
    }
    // The contact counts only once it is on the disk.
    if (!fieldfile::appendFlushed(path, formatLine(record), error))
        return AppendResult::WriteFailed;
    m_records.append(record);
    tally(record, listAsNewEntity);
    return AppendResult::Ok;
}

bool LogStore::rewriteLogFile(const QString &path, QString *error) const
{
    QByteArray bytes;
    for (const QsoRecord &r : m_records)
        bytes += formatLine(r);
    return fieldfile::writeFileAtomic(path, bytes, error);
}

void LogStore::clear()
{
    m_records.clear();
    resetTallies();
}

void LogStore::removeRecord(int n)
{
    m_records.removeAt(n - 1);
    resetTallies();
    for (const QsoRecord &r : std::as_const(m_records))
        tally(r);
}

void LogStore::replaceRecord(int n, const QsoRecord &record)
{
    m_records[n - 1] = record;
    resetTallies();
    for (const QsoRecord &r : std::as_const(m_records))
        tally(r);
}

QList<int> LogStore::listedRecordNumbers() const
{
    QList<int> numbers;
    const int first = (m_showAll || count() < 20) ? 1 : count() - 19;
    for (int i = count(); i >= first; --i)
        numbers.append(i);
    return numbers;
}

int LogStore::countQth(const QString &abbr) const
{
    int n = 0;
    for (const QsoRecord &r : m_records)
        if (r.qth.compare(abbr, Qt::CaseInsensitive) == 0)
            ++n;
    return n;
}
