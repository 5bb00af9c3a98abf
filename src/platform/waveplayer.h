#pragma once
#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>

class QAudioSource;
class QFile;
class QSoundEffect;
class QTimer;

// Plays one WAV file at a time on a chosen sound output, without blocking: the sound system
// plays on its own while the caller goes on and asks isPlaying() when it needs to know.
//
// Thread contract: GUI thread only.
class WavePlayer {
public:
    virtual ~WavePlayer() = default;
    // Starts `path`, cutting off anything still playing. A file that cannot be played (missing,
    // unreadable, not 8- or 16-bit PCM) returns false with the reason in `error`, and
    // isPlaying() is false at once.
    virtual bool play(const QString &path, QString *error = nullptr) = 0;
    virtual void stop() = 0;
    virtual bool isPlaying() const = 0;
    // The output by its name as audioOutputNames() lists it; empty or unknown: system default.
    virtual void setOutput(const QString &name) = 0;
};

// Records from a sound input into a 16-bit PCM WAV file.
//
// Thread contract: GUI thread only.
class WaveRecorder {
public:
    virtual ~WaveRecorder() = default;
    // Starts recording into `path` (replacing it) from the input named `input` (empty or
    // unknown: system default). False, with the reason, when the file or the input cannot be
    // opened.
    virtual bool start(const QString &path, const QString &input, QString *error = nullptr) = 0;
    // Ends the recording and completes the file's header.
    virtual void stop() = 0;
    virtual bool isRecording() const = 0;
};

namespace wavefile {
struct Info {
    QString problem;      // empty when the file can be played
    qint64 durationMs = 0;
};
// Whether `path` is a WAV file the players can take: it must exist and hold a RIFF/WAVE header
// with a PCM format chunk of 8 or 16 bits and a data chunk.
Info inspect(const QString &path);
Info inspectBytes(const QByteArray &head);
// The 44-byte header of a 16-bit PCM WAV file holding `dataBytes` bytes of samples.
QByteArray header16(int sampleRate, int channels, quint32 dataBytes);
}  // namespace wavefile

// The names of the sound outputs and inputs the system offers, the default first.
QStringList audioOutputNames();
QStringList audioInputNames();

// Qt Multimedia's sound effect: WAV files straight to the sound server.
class SoundEffectPlayer : public QObject, public WavePlayer {
    Q_OBJECT
public:
    explicit SoundEffectPlayer(QObject *parent = nullptr);
    ~SoundEffectPlayer() override;
    bool play(const QString &path, QString *error = nullptr) override;
    void stop() override;
    bool isPlaying() const override;
    void setOutput(const QString &name) override;

private:
    void discard();
    void finished();
    void loaded();
    QSoundEffect *m_effect = nullptr;
    QTimer *m_overrun = nullptr;  // ends a playback the sound system never reports finished
    QString m_output;
    qint64 m_durationMs = 0;
    QElapsedTimer m_sounding;  // runs from the moment the sound system has the file loaded
    bool m_playing = false;   // from play() until the end, an error or stop
    bool m_started = false;   // the effect has reported playing at least once
};

// Qt Multimedia's audio source writing 16-bit samples into a WAV file.
class AudioSourceRecorder : public QObject, public WaveRecorder {
    Q_OBJECT
public:
    explicit AudioSourceRecorder(QObject *parent = nullptr);
    ~AudioSourceRecorder() override;
    bool start(const QString &path, const QString &input, QString *error = nullptr) override;
    void stop() override;
    bool isRecording() const override;

private:
    QAudioSource *m_source = nullptr;
    QFile *m_file = nullptr;
    int m_rate = 0;
    int m_channels = 0;
};
