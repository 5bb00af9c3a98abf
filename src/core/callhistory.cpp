#include "core/callhistory.h"

#include "core/appfolders.h"
#include "core/fieldfile.h"

#include <QDir>
#include <QFileInfo>

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

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

// Reads logs without building records: the history only keeps the newest contact of each call,
// so a call's fields stay byte spans in the file until it wins. Fields split exactly as the log
// reader splits them, and a file it would refuse is skipped whole.
class LogScanner {
public:
    struct Newest {
        std::string_view name, qth, number, date, time;
        int source;
    };

    void addFile(const QString &path)
    {
        const QFileInfo info(path);
        if (!info.isFile() || info.size() > kLargestLog)
            return;
        QByteArray bytes;
        if (!fieldfile::readFile(path, bytes))
            return;
        std::vector<std::array<std::string_view, 8>> records;
        if (!split(std::string_view(bytes.constData(), size_t(bytes.size())), records))
            return;
        const int source = int(m_sources.size());
        m_sources.push_back(info.fileName());
        m_files.push_back(std::move(bytes));  // the spans point into it
        for (const auto &f : records) {
            std::string call(f[0]);
            for (char &c : call)
                c = (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
            if (call.empty())
                continue;
            auto [it, added] = m_newest.try_emplace(std::move(call));
            if (!added) {
                const int order = it->second.date == f[5] ? it->second.time.compare(f[6])
                                                          : it->second.date.compare(f[5]);
                if (order > 0)
                    continue;
            }
            it->second = {f[1], f[2], f[3], f[5], f[6], source};
        }
    }

    size_t size() const { return m_newest.size(); }

    template <typename Add>
    void forEach(Add add) const
    {
        auto text = [](std::string_view v) {
            return fieldfile::decode1252(QByteArray(v.data(), qsizetype(v.size())));
        };
        for (const auto &[call, n] : m_newest)
            add(QString::fromLatin1(call.data(), qsizetype(call.size())),
                CallHistory::Entry{text(n.name), text(n.qth), text(n.number), m_sources[size_t(n.source)],
                                   text(n.date) + u' ' + text(n.time)});
    }

private:
    static bool blank(char c) { return c == ' ' || c == '\t'; }
    static bool lineEnd(char c) { return c == '\r' || c == '\n'; }

    static bool split(std::string_view t, std::vector<std::array<std::string_view, 8>> &records)
    {
        size_t pos = 0;
        auto atEnd = [&] {
            for (size_t i = pos; i < t.size(); ++i)
                if (!blank(t[i]) && !lineEnd(t[i]) && t[i] != '\x1a')
                    return false;
            return true;
        };
        auto next = [&](std::string_view &field) {
            while (pos < t.size() && (blank(t[pos]) || lineEnd(t[pos])))
                ++pos;
            if (atEnd())
                return false;
            if (t[pos] == '"') {
                const size_t close = t.find('"', pos + 1);
                if (close == std::string_view::npos)
                    return false;
                field = t.substr(pos + 1, close - pos - 1);
                pos = close + 1;
                while (pos < t.size() && blank(t[pos]))
                    ++pos;
                if (pos < t.size() && t[pos] != ',' && !lineEnd(t[pos]))
                    return false;
            } else {
                const size_t start = pos;
                while (pos < t.size() && t[pos] != ',' && !lineEnd(t[pos]))
                    ++pos;
                size_t from = start, to = pos;
                while (from < to && blank(t[from]))
                    ++from;
                while (to > from && blank(t[to - 1]))
                    --to;
                field = t.substr(from, to - from);
            }
            if (pos < t.size() && t[pos] == ',')
                ++pos;
            else if (pos < t.size() && t[pos] == '\r')
                pos += (pos + 1 < t.size() && t[pos + 1] == '\n') ? 2 : 1;
            else if (pos < t.size() && t[pos] == '\n')
                ++pos;
            return true;
        };
        while (!atEnd()) {
            std::array<std::string_view, 8> f;
            for (std::string_view &field : f) {
                if (!next(field))
                    return false;
            }
            double points = 0;
            if (!fieldfile::parseNumber(QString::fromLatin1(f[4].data(), qsizetype(f[4].size())), points))
                return false;
            records.push_back(f);
        }
        return true;
    }

    std::vector<QByteArray> m_files;
    std::vector<QString> m_sources;
    std::unordered_map<std::string, Newest> m_newest;
};

void addLogFolder(LogScanner &scanner, const QString &folder, const QStringList &patterns)
{
    if (folder.isEmpty())
        return;
    const QFileInfoList files = QDir(folder).entryInfoList(patterns, QDir::Files, QDir::Name);
    for (const QFileInfo &f : files)
        scanner.addFile(f.filePath());
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
    LogScanner scanner;
    const QStringList logs{QStringLiteral("*.log")};  // name filters ignore case
    scanner.addFile(folders.workFile(QStringLiteral("log.txt")));
    addLogFolder(scanner, folders.workingDir, logs);
    addLogFolder(scanner, folders.backupFolder(), logs + QStringList{QStringLiteral("*.txt")});
    history.m_logEntries.reserve(qsizetype(scanner.size()));
    scanner.forEach([&history](const QString &call, CallHistory::Entry entry) {
        history.m_logEntries.insert(call, std::move(entry));
    });
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
