#pragma once
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QTimer;
class SpeechSynth;
class WavePlayer;

// Speaks the navigation prompts ("Call", "Name", "Dupe", ...) from the operator's recordings
// "<name>.wav" in the working directory, on the operator's own sound output. A new prompt cuts
// off the one playing, except "Dupe", which is heard to its end with the next prompt after it; a
// missing recording is spoken by the speech synthesiser when there is one (on the same output,
// never on the air), and is silence otherwise. While the transmitter is keyed on the prompts' own output, a
// prompt is dropped: it would go on the air. Nothing here waits: a prompt that must follow
// another is queued and started by a 40 ms check once the first has finished.
//
// Thread contract: GUI thread only.
class Announcer : public QObject {
    Q_OBJECT
public:
    static constexpr int kPollMs = 40;

    Announcer(WavePlayer &player, const QString &workingDir, QObject *parent = nullptr);

    // The files a prompt may be recorded in, the first that exists being played. The 10-10
    // number's prompt has two names ("Vardel.wav", "1010.wav").
    static QStringList fileNames(const QString &prompt);
    // Every prompt the program plays, in the order the operator meets them.
    static QStringList prompts();
    // The recordings of prompts() not found in the working directory.
    QStringList missingFiles() const;

    // Speaks prompts that have no recording: synthesised once into `cacheDir` (all of them at
    // once, so the first prompt is not late) and played like recordings.
    void setSpeech(SpeechSynth *speech, const QString &cacheDir);
    // What a prompt says when it is synthesised.
    static QString spokenText(const QString &prompt);
    // The file a prompt is played from now: the recording, else the synthesised one (empty
    // when neither exists yet).
    QString playablePath(const QString &prompt) const;

    // Asked before every prompt: true while a prompt would reach the transmitter.
    void setOnAir(std::function<bool()> onAir) { m_onAir = std::move(onAir); }

    // Plays `prompt` now, dropping anything playing or queued (but a "Dupe" being heard).
    void say(const QString &prompt);
    // Plays `first`, then `then` once `first` has finished.
    void sayThen(const QString &first, const QString &then);
    QString promptPath(const QString &prompt) const;
    QStringList queued() const { return m_queue; }

    void pollTick();  // the 40 ms check, public so tests can step it
    QTimer *pollTimer() const { return m_poll; }

private:
    void start(const QString &prompt);

    WavePlayer &m_player;
    std::function<bool()> m_onAir;
    QString m_current;  // the prompt started last
    QString m_workingDir;
    QStringList m_queue;
    QTimer *m_poll = nullptr;
    SpeechSynth *m_speech = nullptr;
    QString m_cacheDir;
    QStringList m_synthesising;  // prompts being written by the synthesiser
};
