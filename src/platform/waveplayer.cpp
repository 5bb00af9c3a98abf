#include "platform/waveplayer.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QAudioSource>
#include <QBuffer>
#include <QFile>
#include <QMediaDevices>
#include <QTimer>
#include <QtEndian>

#include <memory>

namespace {
// Enough of a file to find the format and data chunks behind the usual extra chunks.
constexpr qint64 kHeadBytes = 64 * 1024;
// The longest message taken whole into memory: an hour of 16-bit stereo at 48 kHz is 660 MB,
// so this is far beyond any contest message and still bounded.
constexpr qint64 kMaxSampleBytes = 256 * 1024 * 1024;
// A sound server that never plays at all (stopped, hung) ends the message this long after its
// own length, so the transmitter is not held for good.
constexpr qint64 kStallSlackMs = 10000;

// Byte by byte: callers have checked the bounds, and a sanitizer build cannot see that through a
// memcpy from constData().
quint16 le16(const QByteArray &b, qsizetype at) { return quint16(uchar(b[at]) | uchar(b[at + 1]) << 8); }
quint32 le32(const QByteArray &b, qsizetype at) { return quint32(le16(b, at)) | quint32(le16(b, at + 2)) << 16; }

QAudioDevice findDevice(const QList<QAudioDevice> &devices, const QAudioDevice &fallback,
                        const QString &name)
{
    if (name.isEmpty())
        return fallback;
    for (const QAudioDevice &d : devices)
        if (d.description() == name)
            return d;
    return {};
}

QString deviceProblem(const QAudioDevice &device, const QString &name, const char *kind)
{
    if (!device.isNull())
        return QString();
    if (name.isEmpty())
        return QStringLiteral("there is no sound %1 (is the sound server running?)").arg(QLatin1String(kind));
    return QStringLiteral("the sound %1 \"%2\" is not connected").arg(QLatin1String(kind), name);
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

Info inspectBytes(const QByteArray &head, qint64 fileSize)
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
            // What the file holds decides: a size of 0 or 0xFFFFFFFF (a recorder that never went
            // back to write it) or one past the end of a cut-off file counts for what is there.
            qint64 bytes = size;
            if (fileSize >= 0) {
                const qint64 there = qMax<qint64>(0, fileSize - body);
                if (size == 0 || size == 0xFFFFFFFFu || bytes > there)
                    bytes = there;
            }
            const int frame = channels * (bits / 8);
            bytes -= bytes % frame;
            if (bytes <= 0) {
                info.problem = QStringLiteral("it holds no sound");
                return info;
            }
            info.sampleRate = int(byteRate / quint32(frame));
            info.channels = channels;
            info.bits = bits;
            info.dataOffset = body;
            info.dataBytes = bytes;
            info.durationMs = bytes * 1000 / byteRate;
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
    return inspectBytes(file.read(kHeadBytes), file.size());
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

QString audioOutputProblem(const QString &name)
{
    return deviceProblem(findDevice(QMediaDevices::audioOutputs(), QMediaDevices::defaultAudioOutput(), name),
                         name, "output");
}

QString audioInputProblem(const QString &name)
{
    return deviceProblem(findDevice(QMediaDevices::audioInputs(), QMediaDevices::defaultAudioInput(), name),
                         name, "input");
}

AudioSinkPlayer::AudioSinkPlayer(QObject *parent) : QObject(parent)
{
    m_watch = new QTimer(this);
    m_watch->setInterval(kWatchMs);
    m_watch->setTimerType(Qt::PreciseTimer);
    connect(m_watch, &QTimer::timeout, this, &AudioSinkPlayer::watch);
}

AudioSinkPlayer::~AudioSinkPlayer() { stop(); }

bool AudioSinkPlayer::load(const QString &path, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    const wavefile::Info info = wavefile::inspect(path);
    if (!info.problem.isEmpty())
        return fail(info.problem);
    if (info.dataBytes > kMaxSampleBytes)
        return fail(QStringLiteral("it is too long to be a message"));
    const QAudioDevice device =
        findDevice(QMediaDevices::audioOutputs(), QMediaDevices::defaultAudioOutput(), m_output);
    if (const QString problem = deviceProblem(device, m_output, "output"); !problem.isEmpty())
        return fail(problem);
    QAudioFormat format;
    format.setSampleRate(info.sampleRate);
    format.setChannelCount(info.channels);
    format.setSampleFormat(info.bits == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
    if (!device.isFormatSupported(format))
        return fail(QStringLiteral("the sound output cannot play %1 Hz, %2 channel(s), %3-bit sound")
                        .arg(info.sampleRate).arg(info.channels).arg(info.bits));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(info.dataOffset))
        return fail(QStringLiteral("the file cannot be read"));
    QByteArray samples = file.read(info.dataBytes);
    samples.truncate(samples.size() - samples.size() % format.bytesPerFrame());
    if (samples.isEmpty())
        return fail(QStringLiteral("it holds no sound"));
    m_samples = std::move(samples);
    m_format = format;
    m_device = device;
    m_durationUs = format.durationForBytes(int(m_samples.size()));
    return true;
}

void AudioSinkPlayer::start()
{
    stop();
    if (m_samples.isEmpty())
        return;
    m_buffer = new QBuffer(this);
    m_buffer->setData(m_samples);
    m_buffer->open(QIODevice::ReadOnly);
    m_sink = new QAudioSink(m_device, m_format, this);
    // A stopped or failed sink (the device went away mid-message) ends the message too.
    connect(m_sink, &QAudioSink::stateChanged, this, [this](QAudio::State state) {
        if (state == QAudio::StoppedState && m_sink && m_sink->error() != QAudio::NoError)
            QTimer::singleShot(0, this, &AudioSinkPlayer::stop);
    });
    m_sinceStart.start();
    m_sink->start(m_buffer);
    m_watch->start();
}

void AudioSinkPlayer::watch()
{
    if (!m_sink)
        return;
    // Done once the device has played the last sample: its processed position, which waits for
    // a late sound server instead of running on a clock started here.
    const bool played = m_buffer->atEnd() && m_sink->processedUSecs() >= m_durationUs;
    const bool stalled = m_sinceStart.elapsed() > m_durationUs / 1000 + kStallSlackMs;
    if (played || stalled)
        stop();
}

void AudioSinkPlayer::stop()
{
    m_watch->stop();
    if (m_sink) {
        m_sink->disconnect(this);
        m_sink->stop();
        m_sink->deleteLater();
        m_sink = nullptr;
    }
    if (m_buffer) {
        m_buffer->deleteLater();
        m_buffer = nullptr;
    }
}

AudioSourceRecorder::AudioSourceRecorder(QObject *parent) : QObject(parent) {}

AudioSourceRecorder::~AudioSourceRecorder() { stop(); }

bool AudioSourceRecorder::start(const QString &path, const QString &input, QString *error)
{
    stop();
    const QAudioDevice device =
        findDevice(QMediaDevices::audioInputs(), QMediaDevices::defaultAudioInput(), input);
    if (const QString problem = deviceProblem(device, input, "input"); !problem.isEmpty()) {
        if (error)
            *error = problem;
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
