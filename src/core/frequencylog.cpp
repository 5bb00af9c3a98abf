#include "core/frequencylog.h"

#include "core/fieldfile.h"

#include <QFileInfo>
#include <QSet>

QString FrequencyLog::keyOf(const QsoRecord &r)
{
    return r.call.trimmed().toUpper() + u'\x1f' + r.date.trimmed() + u'\x1f' + r.time.trimmed() + u'\x1f'
           + r.mode.trimmed().toUpper();
}

QByteArray FrequencyLog::lineOf(const QString &key, const Entry &e)
{
    const QStringList parts = key.split(u'\x1f');
    fieldfile::Writer w;
    for (const QString &p : parts)
        w.text(p);
    w.integer(e.hz).text(e.submode).endLine();
    return w.bytes();
}

bool FrequencyLog::load(const QString &path, const QList<QsoRecord> &log, QString *error)
{
    m_entries.clear();
    m_order.clear();
    if (!QFileInfo::exists(path))
        return true;
    QByteArray bytes;
    if (!fieldfile::readFile(path, bytes, error))
        return false;
    QSet<QString> known;
    for (const QsoRecord &r : log)
        known.insert(keyOf(r));
    fieldfile::Reader reader(bytes);
    bool mended = false;
    while (!reader.atEnd()) {
        QString call, date, time, mode, submode;
        double hz = 0;
        if (!reader.nextText(call) || !reader.nextText(date) || !reader.nextText(time) || !reader.nextText(mode)
            || !reader.nextNumber(hz) || !reader.nextText(submode)) {
            mended = true;  // cut short (a power cut in the middle of a line): the rest is lost
            break;
        }
        const QString key = keyOf({call, {}, {}, {}, {}, date, time, mode});
        if (!known.contains(key) || hz < 0 || hz > 1e12) {
            mended = true;
            continue;
        }
        if (!m_entries.contains(key))
            m_order << key;
        m_entries.insert(key, {qint64(hz), submode});
    }
    return !mended || rewrite(path, error);
}

bool FrequencyLog::append(const QString &path, const QsoRecord &record, const Entry &entry, QString *error)
{
    return fieldfile::appendFlushed(path, lineOf(keyOf(record), entry), error);
}

bool FrequencyLog::rewrite(const QString &path, QString *error)
{
    QByteArray bytes;
    for (const QString &key : std::as_const(m_order))
        bytes += lineOf(key, m_entries.value(key));
    return fieldfile::writeFileAtomic(path, bytes, error);
}

bool FrequencyLog::replace(const QString &path, const QsoRecord &before, const QsoRecord &after, QString *error)
{
    const QString from = keyOf(before), to = keyOf(after);
    if (from == to || !m_entries.contains(from))
        return true;
    const Entry e = m_entries.take(from);
    m_order[m_order.indexOf(from)] = to;
    m_entries.insert(to, e);
    return rewrite(path, error);
}

bool FrequencyLog::remove(const QString &path, const QsoRecord &record, QString *error)
{
    const QString key = keyOf(record);
    if (!m_entries.remove(key))
        return true;
    m_order.removeAll(key);
    return rewrite(path, error);
}
