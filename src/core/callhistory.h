#pragma once
#include "core/qsorecord.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

struct AppFolders;

// 10-10 call history: what each call sent last time (name, state or country, 10-10 number),
// from the operator's earlier logs and from a call-history file.
//
// The newest contact with a call wins among the logs; a call-history file only answers for
// calls no log knows, since the operator's own logs are first-hand.
// Thread contract: plain data; build on any thread, then hand over by value.
class CallHistory {
public:
    struct Entry {
        QString name;
        QString qth;
        QString memberNumber;  // empty when unknown; "None" is kept as sent
        QString source;        // file name the data came from
        QString when;          // "yyyy/mm/dd hh:mm:ss" of the contact; empty from a history file
    };

    // Adds the contacts of one log; `source` is how the status line names it.
    void addLog(const QList<QsoRecord> &records, const QString &source);
    // Adds a comma-separated call-history file whose "!!Order!!,Call,Name,..." line names the
    // columns. Name, state (State, Loc1, Sect, Country) and 10-10 number (Exch1, 1010, 10-10,
    // Number) are taken from the columns that are there. False (with a message) when the file
    // cannot be read or names no Call column.
    bool addHistoryFile(const QString &path, QString *error = nullptr);

    std::optional<Entry> lookup(const QString &call) const;
    int count() const { return int(m_logEntries.size() + m_fileEntries.size()); }

    // Every readable log of the working folder (*.txt, *.log), its BACKUP folder and the archive
    // folder, then `historyFile` when given. Files that are not logs are skipped. `problems`
    // collects what could not be used from the history file.
    static CallHistory build(const AppFolders &folders, const QString &historyFile,
                             QString *problems = nullptr);

private:
    QHash<QString, Entry> m_logEntries;
    QHash<QString, Entry> m_fileEntries;
};

// What the status line says after a pre-fill.
QString callHistoryStatus(const CallHistory::Entry &entry);
