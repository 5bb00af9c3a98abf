#include "core/callhistory.h"

#include "core/appfolders.h"
#include "core/fieldfile.h"
#include "core/logstore.h"

#include <QDir>
#include <QFileInfo>


namespace {
// A full log is well under a megabyte; anything far larger is not one of ours.
constexpr qint64 kLargestLog = 4 * 1024 * 1024;

int columnOf(const QStringList &header, std::initializer_list<const char *> names)
{
    for (const char *n : names) {
        const int at = int(header.indexOf(QString::fromLatin1(n)));
        if (at >= 0)
            return at;
    }
    return -1;
}

QString column(const QStringList &row, int at)
{
    return at >= 0 && at < row.size() ? row.at(at) : QString();
}

// Every log file is read by the log store's own parser, so a file the logger would refuse as
// damaged gives no history and each call reads the same here as in the log.
void addLogFile(CallHistory &history, const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > kLargestLog)
        return;
    QByteArray bytes;
    if (!fieldfile::readFile(path, bytes))
        return;
    QList<QsoRecord> records;
    if (!LogStore::parse(bytes, records, nullptr))
        return;
    history.addLog(records, info.fileName());
}

void addLogFolder(CallHistory &history, const QString &folder, const QStringList &patterns)
{
    if (folder.isEmpty())
        return;
    const QFileInfoList files = QDir(folder).entryInfoList(patterns, QDir::Files, QDir::Name);
    for (const QFileInfo &f : files)
        addLogFile(history, f.filePath());
}
}  // namespace

void CallHistory::addLog(const QList<QsoRecord> &records, const QString &source)
{
    for (const QsoRecord &r : records) {
        const QString call = r.call.trimmed().toUpper();
        if (call.isEmpty())
            continue;
        auto it = m_logEntries.find(call);
        if (it != m_logEntries.end()) {
            // "date time"; compared in parts, since most records lose and need no new string.
            const QStringView when(it->when);
            const qsizetype blank = when.indexOf(u' ');
            int order = when.left(blank).compare(r.date);
            if (order == 0)
                order = when.mid(blank + 1).compare(r.time);
            if (order > 0)
                continue;
        }
        Entry e{r.name, r.qth, r.memberNumber, source, r.date + u' ' + r.time};
        if (it == m_logEntries.end())
            m_logEntries.insert(call, std::move(e));
        else
            *it = std::move(e);
    }
}

bool CallHistory::addHistoryFile(const QString &path, QString *error)
{
    QByteArray bytes;
    if (!fieldfile::readFile(path, bytes, error))
        return false;
    const QString name = QFileInfo(path).fileName();
    const QStringList lines = fieldfile::decode1252(bytes).split(u'\n');
    QStringList header;
    int callAt = -1, nameAt = -1, qthAt = -1, numberAt = -1;
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        QStringList row = line.split(u',');
        for (QString &f : row)
            f = f.trimmed();
        if (header.isEmpty()) {
            if (row.first().compare(u"!!Order!!", Qt::CaseInsensitive) != 0)
                continue;  // rows before the column names cannot be read
            for (const QString &f : row)
                header.append(f.toLower());
            callAt = columnOf(header, {"call"});
            nameAt = columnOf(header, {"name"});
            qthAt = columnOf(header, {"state", "loc1", "sect", "country", "cntry"});
            numberAt = columnOf(header, {"exch1", "1010", "10-10", "number", "tenten"});
            if (callAt < 0) {
                if (error)
                    *error = QStringLiteral("%1 names no Call column.").arg(name);
                return false;
            }
            continue;
        }
        // Data rows leave out the "!!Order!!" column, so they start one column earlier.
        row.prepend(QString());
        const QString call = column(row, callAt).toUpper();
        if (call.isEmpty())
            continue;
        m_fileEntries.insert(call, {column(row, nameAt), column(row, qthAt), column(row, numberAt), name, {}});
    }
    if (header.isEmpty()) {
        if (error)
            *error = QStringLiteral("%1 has no \"!!Order!!\" line naming its columns.").arg(name);
        return false;
    }
    return true;
}

std::optional<CallHistory::Entry> CallHistory::lookup(const QString &call) const
{
    const QString key = call.trimmed().toUpper();
    if (auto it = m_logEntries.constFind(key); it != m_logEntries.cend())
        return *it;
    if (auto it = m_fileEntries.constFind(key); it != m_fileEntries.cend())
        return *it;
    return std::nullopt;
}

CallHistory CallHistory::build(const AppFolders &folders, const QString &historyFile, QString *problems)
{
    CallHistory history;
    const QStringList logs{QStringLiteral("*.log")};  // name filters ignore case
    addLogFile(history, folders.workFile(QStringLiteral("log.txt")));
    addLogFolder(history, folders.workingDir, logs);
    addLogFolder(history, folders.backupFolder(), logs + QStringList{QStringLiteral("*.txt")});
    if (!historyFile.isEmpty()) {
        QString error;
        if (!history.addHistoryFile(historyFile, &error) && problems)
            *problems = error;
    }
    return history;
}

QString callHistoryStatus(const CallHistory::Entry &entry)
{
    if (entry.when.isEmpty())
        return QStringLiteral("Call history: %1").arg(entry.source);
    return QStringLiteral("Call history: %1, contact of %2").arg(entry.source, entry.when.trimmed());
}
