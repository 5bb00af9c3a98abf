#pragma once
#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// Super check partial: the known calls (one a line in a MASTER.SCP file, "#" lines are comments)
// that contain what the operator has typed so far, anywhere in the call.
//
// Matching runs on every key, so the calls are indexed by their two- and three-character pieces
// at load: a lookup only looks at the calls that share the rarest piece of the typed text.
// Thread contract: plain data; load on one thread, then read from any.
class SuperCheckPartial {
public:
    static constexpr const char *kFileName = "MASTER.SCP";
    static constexpr int kMinimumTyped = 2;

    struct Match {
        QString call;
        bool worked = false;  // already in the log
    };

    // Replaces the list with the calls of `path`. False (with a message) when it cannot be read
    // or holds no call; the list is then empty.
    bool load(const QString &path, QString *error = nullptr);
    void loadCalls(const QStringList &calls);

    int count() const { return int(m_calls.size()); }
    bool isEmpty() const { return m_calls.empty(); }

    // Calls holding `typed` (case ignored; under two characters matches nothing), in file
    // order after sorting, at most `limit` of them. `worked` holds the calls in the log, upper
    // case.
    QList<Match> matches(const QString &typed, int limit, const QSet<QString> &worked = {}) const;

    // The line shown under the entry line: calls separated by blanks, worked ones in brackets.
    static QString formatLine(const QList<Match> &matches);

private:
    void addCall(QByteArray call);
    void index();
    static int code(char c);
    static int pieceKey(const char *p, int length);

    std::vector<QByteArray> m_calls;  // upper case, sorted, no repeats
    // Call numbers by piece, flattened: the calls holding piece k are
    // m_postings[m_offsets[k] .. m_offsets[k + 1]).
    std::vector<uint32_t> m_offsets2, m_postings2;
    std::vector<uint32_t> m_offsets3, m_postings3;
};

// The MASTER.SCP to use: one the operator dropped into the shared folder (or the product data
// folder, or the working directory) wins over the one the system's hamradio-files package
// ships. Empty when there is none.
struct AppFolders;
QString locateMasterScp(const AppFolders &folders);
