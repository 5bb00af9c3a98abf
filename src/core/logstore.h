#pragma once
#include "core/fieldfile.h"
#include "core/qsorecord.h"
#include "core/statetable.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <array>

// The whole log in memory, numbered 1..count in entry order, and its file "log.txt".
// The file is the only persistent copy: appends are flushed before they count, rewrites replace
// the file atomically, and a load only replaces the memory when the whole file was read.
class LogStore {
public:
    static constexpr int kCapacity = 11000;
    static constexpr int kDxCapacity = 1000;

    enum class LoadResult { Ok, Missing, Damaged };
    enum class AppendResult { Ok, Full, WriteFailed };

    LoadResult load(const QString &path, QString *error = nullptr);
    // Parses file bytes without touching this store; used by load and by restore checks.
    static bool parse(const QByteArray &bytes, QList<QsoRecord> &records, QString *error);

    // `listAsNewEntity`: whether a qth of 3+ characters joins the DX list now (the entry line adds
    // only what it showed as "New"; the next load counts every name).
    // When the file is no longer the one this store last read or wrote (deleted, replaced,
    // cut short, changed), the whole log is first written again from memory, the file found
    // there kept beside it, and `notice` says so; appending alone would leave a file that lacks
    // the contacts held here.
    AppendResult appendQso(const QString &path, const QsoRecord &record, QString *error = nullptr,
                           bool listAsNewEntity = true, QString *notice = nullptr);
    bool rewriteLogFile(const QString &path, QString *error = nullptr);
    // The records as file bytes, one line each.
    QByteArray fileBytes() const;

    void clear();
    void removeRecord(int n);                        // 1-based; later records move up
    void replaceRecord(int n, const QsoRecord &record);

    int count() const { return int(m_records.size()); }
    const QsoRecord &record(int n) const { return m_records.at(n - 1); }
    const QList<QsoRecord> &records() const { return m_records; }
    float pointsTotal() const { return m_pointsTotal; }
    const QStringList &dxEntities() const { return m_dxEntities; }
    bool stateWorked(int entry) const { return m_workedStates.at(entry - 1); }
    int recordsAtStart() const { return m_recordsAtStart; }
    void setRecordsAtStart(int n)
    {
        m_recordsAtStart = n;
        m_startCounted = true;
    }
    bool showAll() const { return m_showAll; }
    void setShowAll(bool all) { m_showAll = all; }

    // Record numbers shown in "Recent Contacts", newest first.
    QList<int> listedRecordNumbers() const;
    // Records whose qth equals `abbr` ignoring case.
    int countQth(const QString &abbr) const;

    static QByteArray formatLine(const QsoRecord &record);

private:
    void tally(const QsoRecord &record, bool listAsNewEntity = true);
    void resetTallies();
    bool rewriteFromMemoryBefore(const QString &path, QString *error, QString *notice);

    fieldfile::FileStamp m_stamp;  // the file as this store last read or wrote it

    QList<QsoRecord> m_records;
    float m_pointsTotal = 0;
    QStringList m_dxEntities;
    std::array<bool, statetable::kCount> m_workedStates{};
    int m_recordsAtStart = 0;
    bool m_startCounted = false;
    bool m_showAll = false;
};
