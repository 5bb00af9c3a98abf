#include "core/logstore.h"

#include "core/fieldfile.h"

#include <QFile>
#include <QFileInfo>

bool LogStore::parse(const QByteArray &bytes, QList<QsoRecord> &records, QString *error)
{
    records.clear();
    records.reserve(std::min<qsizetype>(kCapacity, bytes.size() / 48 + 1));  // a record is 48 bytes or more
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
        records.append(std::move(r));
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
    const fieldfile::FileStamp before = fieldfile::stamp(path);
    QByteArray bytes;
    if (!fieldfile::readFile(path, bytes, error))
        return LoadResult::Damaged;
    QList<QsoRecord> records;
    if (!parse(bytes, records, error))
        return LoadResult::Damaged;

    m_records = std::move(records);
    m_stamp = before;
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

bool LogStore::rewriteFromMemoryBefore(const QString &path, QString *error, QString *notice)
{
    const fieldfile::FileStamp now = fieldfile::stamp(path);
    if (now.exists && !now.regular) {
        if (error)
            *error = QStringLiteral("%1 is not a file").arg(path);
        return false;
    }
    QString why;
    if (m_stamp.exists && !now.exists)
        why = QStringLiteral("was missing");
    else if (m_stamp.exists && !now.sameFileAs(m_stamp))
        why = QStringLiteral("had been replaced by another file");
    else if (m_stamp.exists && now.size < m_stamp.size)
        why = QStringLiteral("had been cut short");
    else if (m_stamp.exists && now != m_stamp)
        why = QStringLiteral("had been changed outside the program");
    const bool eofMark = why.isEmpty() && now.exists && fieldfile::endsWithEofMark(path);
    if (why.isEmpty() && !eofMark)
        return true;
    if (m_records.isEmpty() && !now.exists)
        return true;  // nothing held here that the new file would lack

    // Whatever lies there now is kept: it may hold contacts this store never saw.
    QString keptAs;
    if (now.exists && !eofMark && now.size > 0) {
        keptAs = path + QStringLiteral(".replaced");
        for (int i = 2; QFileInfo::exists(keptAs); ++i)
            keptAs = path + QStringLiteral(".replaced.%1").arg(i);
        if (!QFile::copy(path, keptAs)) {
            if (error)
                *error = QStringLiteral("log.txt %1 and could not be copied aside to %2").arg(why, keptAs);
            return false;
        }
    }
    if (!rewriteLogFile(path, error))
        return false;
    if (notice && !why.isEmpty()) {
        *notice = QStringLiteral("log.txt %1. It has been written again from the %2 contacts in memory.")
                      .arg(why)
                      .arg(count());
        if (!keptAs.isEmpty())
            *notice += QStringLiteral(" The file found there was kept as %1.").arg(keptAs);
    }
    return true;
}

LogStore::AppendResult LogStore::appendQso(const QString &path, const QsoRecord &record,
                                           QString *error, bool listAsNewEntity, QString *notice)
{
    if (count() >= kCapacity) {
        if (error)
            *error = QStringLiteral("the log holds %1 contacts, the most it can store").arg(kCapacity);
        return AppendResult::Full;
    }
    if (!rewriteFromMemoryBefore(path, error, notice))
        return AppendResult::WriteFailed;
    // The contact counts only once it is on the disk.
    if (!fieldfile::appendFlushed(path, formatLine(record), error)) {
        // Cut back to its old length, the file is still the one held here (only its time moved).
        const fieldfile::FileStamp now = fieldfile::stamp(path);
        if (now.sameFileAs(m_stamp) && now.size == m_stamp.size)
            m_stamp = now;
        return AppendResult::WriteFailed;
    }
    m_stamp = fieldfile::stamp(path);
    m_records.append(record);
    tally(record, listAsNewEntity);
    return AppendResult::Ok;
}

QByteArray LogStore::fileBytes() const
{
    QByteArray bytes;
    for (const QsoRecord &r : m_records)
        bytes += formatLine(r);
    return bytes;
}

bool LogStore::rewriteLogFile(const QString &path, QString *error)
{
    if (!fieldfile::writeFileAtomic(path, fileBytes(), error))
        return false;
    m_stamp = fieldfile::stamp(path);
    return true;
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
