#pragma once
// Scripted sound player and recorder, and a keying output that records what it was told.
#include "platform/waveplayer.h"
#include "voice/pttkeying.h"

#include <QFile>
#include <QSet>
#include <QStringList>

// Plays nothing: a test ends the playback with finish(). Files are judged as the real player
// judges them, unless listed in `refuse`; an output named in `missingOutputs` is not there.
class FakeWavePlayer : public WavePlayer {
public:
    QStringList played;   // every path started, in order
    QSet<QString> refuse; // paths load() turns down although the header is fine
    QSet<QString> missingOutputs;
    QString output;
    QStringList *events = nullptr;  // shared log with the keying output, for ordering
    int stops = 0;

    bool load(const QString &path, QString *error = nullptr) override
    {
        QString problem = wavefile::inspect(path).problem;
        if (problem.isEmpty() && refuse.contains(path))
            problem = QStringLiteral("the sound output refused it");
        if (problem.isEmpty() && missingOutputs.contains(output))
            problem = QStringLiteral("the sound output \"%1\" is not connected").arg(output);
        if (!problem.isEmpty()) {
            if (error)
                *error = problem;
            return false;
        }
        m_loaded = path;
        return true;
    }
    void start() override
    {
        m_playing = false;
        if (m_loaded.isEmpty())
            return;
        played << m_loaded;
        if (events)
            events->append(QStringLiteral("play ") + m_loaded.section('/', -1));
        m_playing = true;
    }
    void stop() override
    {
        if (m_playing && events)
            events->append(QStringLiteral("stop"));
        ++stops;
        m_playing = false;
    }
    bool isPlaying() const override { return m_playing; }
    void setOutput(const QString &name) override { output = name; }
    void finish() { m_playing = false; }

private:
    bool m_playing = false;
    QString m_loaded;
};

class FakeWaveRecorder : public WaveRecorder {
public:
    QString path, input;
    bool fail = false;
    bool start(const QString &p, const QString &in, QString *error = nullptr) override
    {
        if (fail) {
            if (error)
                *error = QStringLiteral("no input");
            return false;
        }
        path = p;
        input = in;
        m_on = true;
        // As the real one does: the file is there from the start, a header and what comes.
        QFile file(p);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(wavefile::header16(8000, 1, 2) + QByteArray("new"));
        return true;
    }
    void stop() override { m_on = false; }
    bool isRecording() const override { return m_on; }

private:
    bool m_on = false;
};

// Records every change as text: "open 3", "close", "closeothers", "RTS 1", "DTR 0",
// "out 890 3".
class RecordingPtt : public PttKeying {
public:
    QStringList *events = nullptr;
    QSet<int> badPorts;   // serial ports that fail to open
    bool parallelFails = false;
    bool rts = false, dtr = false;
    int parallelValue = -1;

    explicit RecordingPtt(QStringList *log) : events(log) {}

    bool openSerial(int port, QString *error = nullptr) override
    {
        // The CW keying port and the WinKeyer go first: they may be the same device.
        *events << QStringLiteral("closeothers");
        if (m_open)
            closeSerial();
        if (badPorts.contains(port)) {
            if (error)
                *error = QStringLiteral("no such port");
            return false;
        }
        *events << QStringLiteral("open %1").arg(port);
        m_open = true;
        rts = dtr = false;
        return true;
    }
    bool serialIsOpen() const override { return m_open; }
    void closeSerial() override
    {
        *events << QStringLiteral("close");
        m_open = false;
        rts = dtr = false;
    }
    void setSerialLine(Signal line, bool on) override
    {
        if (!m_open)
            return;
        (line == Signal::Rts ? rts : dtr) = on;
        *events << QStringLiteral("%1 %2").arg(line == Signal::Rts ? "RTS" : "DTR").arg(on ? 1 : 0);
    }
    bool keyParallel(int baseAddress, bool down, QString *error = nullptr) override
    {
        if (parallelFails) {
            if (error)
                *error = QStringLiteral("no parallel port");
            return false;
        }
        parallelValue = down ? 3 : 2;
        *events << QStringLiteral("out %1 %2").arg(baseAddress + 2).arg(parallelValue);
        return true;
    }
    bool keyed() const { return rts || dtr || parallelValue == 3; }

private:
    bool m_open = false;
};
