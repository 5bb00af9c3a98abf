#pragma once
#include "core/qsorecord.h"

#include <QHash>
#include <QList>
#include <QString>

// The frequency (and digital submode) each contact was made on, when a rig or a modem program
// said so. log.txt has no field for it and keeps its form, so the frequencies live beside it in
// "logfreq.txt", one line per contact: "CALL","date","time","mode",hz,"submode". A line names
// its contact by call, date, time and mode, so edits and deletes in the log keep it right; a
// line that names no contact of the log, or was cut short, is dropped and the file written again.
class FrequencyLog {
public:
    static constexpr const char *kFileName = "logfreq.txt";

    struct Entry {
        qint64 hz = 0;
        QString submode;
    };

    // Reads `path` against the log's records. A missing file is an empty one. False (with the
    // reason) only when an existing file cannot be read; a damaged or stale one is mended.
    bool load(const QString &path, const QList<QsoRecord> &log, QString *error = nullptr);
    // Appends one contact's line, flushed to the disk before it returns.
    static bool append(const QString &path, const QsoRecord &record, const Entry &entry, QString *error = nullptr);
    // After an edit or a delete in the log: the contact's line follows it, or goes.
    bool replace(const QString &path, const QsoRecord &before, const QsoRecord &after, QString *error = nullptr);
    bool remove(const QString &path, const QsoRecord &record, QString *error = nullptr);

    Entry entryOf(const QsoRecord &record) const { return m_entries.value(keyOf(record)); }
    int count() const { return int(m_entries.size()); }

    static QString keyOf(const QsoRecord &record);

private:
    bool rewrite(const QString &path, QString *error);
    static QByteArray lineOf(const QString &key, const Entry &entry);

    QHash<QString, Entry> m_entries;
    QList<QString> m_order;  // file order, so a rewrite keeps it
};
