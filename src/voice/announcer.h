#pragma once
#include <QObject>
#include <QString>
#include <QStringList>

class QTimer;
class WavePlayer;

// Speaks the navigation prompts ("Call", "Name", "Dupe", ...) from the operator's recordings
// "<name>.wav" in the working directory, on the operator's own sound output. A new prompt cuts
// off the one playing; a missing recording is silence. Nothing here waits: a prompt that must
// follow another is queued and started by a 40 ms check once the first has finished.
//
// Thread contract: GUI thread only.
class Announcer : public QObject {
    Q_OBJECT
public:
    static constexpr int kPollMs = 40;

    Announcer(WavePlayer &player, const QString &workingDir, QObject *parent = nullptr);

    // Plays `prompt` now, dropping anything playing or queued.
    void say(const QString &prompt);
    // Plays `first`, then `then` once `first` has finished.
    void sayThen(const QString &first, const QString &then);
    QString promptPath(const QString &prompt) const;
    QStringList queued() const { return m_queue; }

    void pollTick();  // the 40 ms check, public so tests can step it
    QTimer *pollTimer() const { return m_poll; }

private:
    WavePlayer &m_player;
    QString m_workingDir;
    QStringList m_queue;
    QTimer *m_poll = nullptr;
};
