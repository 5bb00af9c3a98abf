#include "platform/waveplayer.h"

#include <QAudioDevice>
#include <QAudioSource>
#include <QFile>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>
#include <QtEndian>

#include <memory>

namespace {
// Slack beyond the file's own length before a playback that never loaded is ended.
constexpr int kOverrunSlackMs = 5000;
// How long a finished message's effect is kept for the sound server to drain it.
constexpr int kTailMs = 3000;
// Enough of a file to find the format and data chunks behind the usual extra chunks.
constexpr qint64 kHeadBytes = 64 * 1024;

// Byte by byte: callers have checked the bounds, and a sanitizer build cannot see that through a
// memcpy from constData().
quint16 le16(const QByteArray &b, qsizetype at) { return quint16(uchar(b[at]) | uchar(b[at + 1]) << 8); }
quint32 le32(const QByteArray &b, qsizetype at) { return quint32(le16(b, at)) | quint32(le16(b, at + 2)) << 16; }

QAudioDevice findDevice(const QList<QAudioDevice> &devices, const QAudioDevice &fallback,
                        const QString &name)
{
    for (const QAudioDevice &d : devices)
        if (!name.isEmpty() && d.description() == name)
            return d;
    return fallback;
}

QStringList names(const QList<QAudioDevice> &devices, const QAudioDevice &fallback)
{
    QStringList out;
    if (!fallback.isNull())
        out << fallback.description();
    for (const QAudioDevice &d : devices)
        if (!out.contains(d.description()))
            out << d.description();
    return out;
}
}  // namespace

namespace wavefile {

Info inspectBytes(const QByteArray &head)
{
    Info info;
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE") {
        info.problem = QStringLiteral("it is not a WAV file");
        return info;
    }
    quint16 format = 0, channels = 0, bits = 0;
    quint32 byteRate = 0;
    bool haveFormat = false;
    qsizetype at = 12;
    while (at + 8 <= head.size()) {
        const QByteArray id = head.mid(at, 4);
        const quint32 size = le32(head, at + 4);
        const qsizetype body = at + 8;
        if (id == "fmt ") {
            if (size < 16 || body + 16 > head.size())
                break;
            format = le16(head, body);
            channels = le16(head, body + 2);
            byteRate = le32(head, body + 8);
            bits = le16(head, body + 14);
            // The extensible form names its sample format in a sub-format code.
            if (format == 0xFFFE && size >= 26 && body + 26 <= head.size())
                format = le16(head, body + 24);
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat)
                break;
            if (format != 1 || (bits != 8 && bits != 16) || channels == 0 || byteRate == 0) {
                info.problem = QStringLiteral("it is not 8- or 16-bit PCM sound");
                return info;
            }
            info.durationMs = qint64(size) * 1000 / byteRate;
            return info;
        }
        // Chunks are padded to an even length.
        at = body + qsizetype(size) + (size & 1);
    }
    info.problem = QStringLiteral("its WAV header is damaged");
    return info;
}

Info inspect(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return {QStringLiteral("the file does not exist"), 0};
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("the file cannot be read"), 0};
    return inspectBytes(file.read(kHeadBytes));
}

QByteArray header16(int sampleRate, int channels, quint32 dataBytes)
{
    QByteArray h(44, '\0');
    auto put32 = [&h](int at, quint32 v) { qToLittleEndian<quint32>(v, h.data() + at); };
    auto put16 = [&h](int at, quint16 v) { qToLittleEndian<quint16>(v, h.data() + at); };
    h.replace(0, 4, "RIFF");
    put32(4, 36 + dataBytes);
    h.replace(8, 8, "WAVEfmt ");
    put32(16, 16);
    put16(20, 1);
    put16(22, quint16(channels));
    put32(24, quint32(sampleRate));
    put32(28, quint32(sampleRate * channels * 2));
    put16(32, quint16(channels * 2));
    put16(34, 16);
    h.replace(36, 4, "data");
    put32(40, dataBytes);
    return h;
}

}  // namespace wavefile

QStringList audioOutputNames()
{
    return names(QMediaDevices::audioOutputs(), QMediaDevices::defaultAudioOutput());
}

QStringList audioInputNames()
{
    return names(QMediaDevices::audioInputs(), QMediaDevices::defaultAudioInput());
}

SoundEffectPlayer::SoundEffectPlayer(QObject *parent) : QObject(parent)
{
    m_overrun = new QTimer(this);
    m_overrun->setSingleShot(true);
    m_overrun->setTimerType(Qt::PreciseTimer);
    // At the file's end only the report is due; the effect plays out what the server still
    // holds. A playback that never loaded is cut off.
    connect(m_overrun, &QTimer::timeout, this, [this] {
        if (m_sounding.isValid())
            finished();
        else
            stop();
    });
}

SoundEffectPlayer::~SoundEffectPlayer() { discard(); }

void SoundEffectPlayer::discard()
{
    m_overrun->stop();
    m_playing = false;
    m_started = false;
    if (m_effect) {
        m_effect->disconnect(this);
        if (m_sounding.isValid() && m_sounding.elapsed() >= m_durationMs) {
            // Past its end only what the server still holds is left: let that play out rather
            // than clip the last syllable of a prompt that is followed at once by the next.
            QTimer::singleShot(kTailMs, m_effect, &QObject::deleteLater);
        } else {
            m_effect->stop();
            m_effect->deleteLater();
        }
        m_effect = nullptr;
    }
    m_sounding.invalidate();
}

void SoundEffectPlayer::finished()
{
    m_overrun->stop();
    m_playing = false;
}

// The sound server reports a message's end late (about 1.8 s on PulseAudio) because it waits
// for its buffers to drain; the transmitter must drop with the last sample instead. Once the
// file is loaded it plays at its own rate, so its end is known from its length.
void SoundEffectPlayer::loaded()
{
    if (!m_playing || m_sounding.isValid())
        return;
    m_sounding.start();
    m_overrun->start(int(qMin<qint64>(m_durationMs, 24 * 3600 * 1000)));
}

bool SoundEffectPlayer::play(const QString &path, QString *error)
{
    discard();
    const wavefile::Info info = wavefile::inspect(path);
    if (!info.problem.isEmpty()) {
        if (error)
            *error = info.problem;
        return false;
    }
    // A fresh effect per message: the output may have changed, and an old one's late signals
    // cannot end the new message.
    m_effect = new QSoundEffect(findDevice(QMediaDevices::audioOutputs(),
                                           QMediaDevices::defaultAudioOutput(), m_output),
                                this);
    connect(m_effect, &QSoundEffect::playingChanged, this, [this] {
        if (m_effect->isPlaying())
            m_started = true;
        else if (m_started)
            finished();
    });
    connect(m_effect, &QSoundEffect::statusChanged, this, [this] {
        if (m_effect->status() == QSoundEffect::Error)
            finished();
        else if (m_effect->status() == QSoundEffect::Ready)
            loaded();
    });
    m_playing = true;
    m_durationMs = info.durationMs;
    m_effect->setSource(QUrl::fromLocalFile(path));
    m_effect->play();
    m_overrun->start(int(qMin<qint64>(info.durationMs + kOverrunSlackMs, 24 * 3600 * 1000)));
    if (m_effect->status() == QSoundEffect::Ready)
        loaded();
    return true;
}

void SoundEffectPlayer::stop() { discard(); }

bool SoundEffectPlayer::isPlaying() const
{
    return m_playing && !(m_sounding.isValid() && m_sounding.elapsed() >= m_durationMs);
}

void SoundEffectPlayer::setOutput(const QString &name) { m_output = name; }

AudioSourceRecorder::AudioSourceRecorder(QObject *parent) : QObject(parent) {}

AudioSourceRecorder::~AudioSourceRecorder() { stop(); }

bool AudioSourceRecorder::start(const QString &path, const QString &input, QString *error)
{
    stop();
    const QAudioDevice device =
        findDevice(QMediaDevices::audioInputs(), QMediaDevices::defaultAudioInput(), input);
    if (device.isNull()) {
        if (error)
            *error = QStringLiteral("no sound input is available");
        return false;
    }
    QAudioFormat format;
    format.setSampleRate(22050);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format)) {
        format = device.preferredFormat();
        format.setSampleFormat(QAudioFormat::Int16);
    }
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error)
            *error = file->errorString();
        return false;
    }
    m_rate = format.sampleRate();
    m_channels = format.channelCount();
    // The sizes are filled in when the recording ends.
    file->write(wavefile::header16(m_rate, m_channels, 0));
    m_file = file.release();
    m_source = new QAudioSource(device, format, this);
    m_source->start(m_file);
    if (m_source->error() != QAudio::NoError) {
        if (error)
            *error = QStringLiteral("the sound input cannot be opened");
        stop();
        return false;
    }
    return true;
}

void AudioSourceRecorder::stop()
{
    if (m_source) {
        m_source->stop();
        delete m_source;
        m_source = nullptr;
    }
    if (m_file) {
        const qint64 data = qMax<qint64>(0, m_file->size() - 44);
        m_file->seek(0);
        m_file->write(wavefile::header16(m_rate, m_channels, quint32(data)));
        m_file->close();
        delete m_file;
        m_file = nullptr;
    }
}

bool AudioSourceRecorder::isRecording() const { return m_source != nullptr; }
