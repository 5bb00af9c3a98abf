#pragma once
#include <QAudioDevice>
#include <QAudioFormat>
#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>

class QAudioSink;
class QAudioSource;
class QBuffer;
class QFile;
class QTimer;

// Plays one WAV file at a time on a chosen sound output, without blocking: the sound system
// plays on its own while the caller goes on and asks isPlaying() when it needs to know.
//
// Thread contract: GUI thread only.
class WavePlayer {
public:
    virtual ~WavePlayer() = default;
    // Takes `path` and checks that it can be played on the chosen output, so the transmitter is
    // never keyed for a message that cannot sound; nothing plays yet. A file that cannot be
    // played (missing, unreadable, not 8- or 16-bit PCM, no sound in it) or an output that is not
    // there returns false with the reason in `error`.
    virtual bool load(const QString &path, QString *error = nullptr) = 0;
    // Plays what load() took, cutting off anything still playing.
    virtual void start() = 0;
    // load() and start() in one.
    bool play(const QString &path, QString *error = nullptr)
    {
        if (!load(path, error))
            return false;
        start();
        return true;
    }
    virtual void stop() = 0;
    // From start() until the sound device has played the last sample (or stop()).
    virtual bool isPlaying() const = 0;
    // The output by its name as audioOutputNames() lists it; empty: the system default.
    virtual void setOutput(const QString &name) = 0;
};

// Records from a sound input into a 16-bit PCM WAV file.
//
// Thread contract: GUI thread only.
class WaveRecorder {
public:
    virtual ~WaveRecorder() = default;
    // Starts recording into `path` (replacing it) from the input named `input` (empty: the
    // system default). False, with the reason, when the file or the input cannot be opened (an
    // input that is not connected is not replaced by another).
    virtual bool start(const QString &path, const QString &input, QString *error = nullptr) = 0;
    // Ends the recording and completes the file's header.
    virtual void stop() = 0;
    virtual bool isRecording() const = 0;
};

namespace wavefile {
struct Info {
    QString problem;      // empty when the file can be played
    qint64 durationMs = 0;
    int sampleRate = 0;
    int channels = 0;
    int bits = 0;
    qint64 dataOffset = 0;  // where the samples begin in the file
    qint64 dataBytes = 0;   // whole frames of sound the file really holds
};
// Whether `path` is a WAV file the players can take: it must exist and hold a RIFF/WAVE header
// with a PCM format chunk of 8 or 16 bits and a data chunk with sound in it. The length is what
// the file holds: a data size that promises more (a cut-off file, a streaming recorder's 0 or
// 0xFFFFFFFF) counts for what is there.
Info inspect(const QString &path);
// The same from the file's first bytes; `fileSize` (when known) bounds the data.
Info inspectBytes(const QByteArray &head, qint64 fileSize = -1);
// The 44-byte header of a 16-bit PCM WAV file holding `dataBytes` bytes of samples.
QByteArray header16(int sampleRate, int channels, quint32 dataBytes);
}  // namespace wavefile

// The names of the sound outputs and inputs the system offers, the default first.
QStringList audioOutputNames();
QStringList audioInputNames();
// Why a sound output chosen by name cannot be used now ("" when it can): it is not connected,
// or there is no sound output at all. An empty name is the system default.
QString audioOutputProblem(const QString &name);
QString audioInputProblem(const QString &name);

// Qt Multimedia's audio sink fed with the file's samples. The message has ended when the sink's
// played position reaches the last sample, however late the sound server started it, so a
// transmitter keyed around it covers every sample.
class AudioSinkPlayer : public QObject, public WavePlayer {
    Q_OBJECT
public:
    // How often the played position is looked at while a message plays.
    static constexpr int kWatchMs = 5;

    explicit AudioSinkPlayer(QObject *parent = nullptr);
    ~AudioSinkPlayer() override;
    bool load(const QString &path, QString *error = nullptr) override;
    void start() override;
    void stop() override;
    bool isPlaying() const override { return m_sink != nullptr; }
    void setOutput(const QString &name) override { m_output = name; }

private:
    void watch();
    QAudioSink *m_sink = nullptr;
    QBuffer *m_buffer = nullptr;
    QTimer *m_watch = nullptr;
    QString m_output;
    QByteArray m_samples;
    QAudioFormat m_format;
    QAudioDevice m_device;
    qint64 m_durationUs = 0;
    QElapsedTimer m_sinceStart;
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
