// Real messages through Qt Multimedia into a PulseAudio null sink started for the test, heard
// through the sink's monitor: the transmitter is keyed around every sample that was played.
#include "fakeaudio.h"
#include "fakes.h"
#include "voice/voicekeyer.h"

#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QPointer>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <cmath>

class TestVoicePlayback : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnv> m_env;
    QProcessEnvironment m_pulseEnv;
    bool m_started = false;

    bool runPulse(const QStringList &args, QString *output = nullptr)
    {
        QProcess p;
        p.setProcessEnvironment(m_pulseEnv);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(QStringLiteral("pulseaudio"), args);
        const bool ok = p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit
                        && p.exitCode() == 0;
        if (output)
            *output = QString::fromLocal8Bit(p.readAll());
        return ok;
    }

    QString makeWave(const QString &name, int bits, double seconds = 0.6)
    {
        const QString path = m_env->file(name);
        QProcess sox;
        sox.start(QStringLiteral("sox"), {"-n", "-b", QString::number(bits), "-r", "8000", "-c", "1",
                                          path, "synth", QString::number(seconds), "sine", "600"});
        if (!sox.waitForFinished(20000) || sox.exitCode() != 0)
            return QString();
        return path;
    }

    // A 500 Hz tone, 16-bit mono at 8 kHz, whose loudness grows with its position, so a recording
    // of the sink tells which part of the file was heard: sample i of n has amplitude
    // 500 + 30000 i / n.
    QString makeRampWave(const QString &name, double seconds)
    {
        const int n = int(seconds * 8000);
        QByteArray data;
        data.reserve(n * 2);
        for (int i = 0; i < n; ++i) {
            const qint16 v = qint16((500.0 + 30000.0 * i / n) * std::sin(2 * M_PI * 500.0 * i / 8000.0));
            data.append(char(v & 0xff));
            data.append(char((v >> 8) & 0xff));
        }
        QFile f(m_env->file(name));
        if (!f.open(QIODevice::WriteOnly))
            return QString();
        f.write(wavefile::header16(8000, 1, quint32(data.size())) + data);
        return f.fileName();
    }

    // What the null sink played while `during` ran: the first and last loud sample, as positions
    // in the ramp (seconds into the file) and as the time it sounded.
    struct Heard {
        double fromPos = -1, toPos = -1, seconds = 0;
    };
    Heard record(double rampSeconds, const std::function<void()> &during)
    {
        QProcess parec;
        parec.setProcessEnvironment(m_pulseEnv);
        parec.start(QStringLiteral("parec"), {"-d", "test_null.monitor", "--format=s16le", "--rate=8000",
                                              "--channels=1", "--latency-msec=10"});
        QByteArray raw;
        // The recording runs before the message starts.
        const bool recording = QTest::qWaitFor([&] {
            raw += parec.readAllStandardOutput();
            return raw.size() > 1600;
        }, 5000);
        if (!recording)
            return {};
        QObject::connect(&parec, &QProcess::readyReadStandardOutput, &parec,
                         [&] { raw += parec.readAllStandardOutput(); });
        during();
        QTest::qWait(400);  // the last of it through the monitor
        parec.terminate();
        parec.waitForFinished(3000);
        raw += parec.readAllStandardOutput();
        Heard h;
        const qsizetype n = raw.size() / 2;
        auto at = [&raw](qsizetype i) { return qint16(uchar(raw[2 * i]) | uchar(raw[2 * i + 1]) << 8); };
        qsizetype first = -1, last = -1;
        for (qsizetype i = 0; i < n; ++i) {
            if (qAbs(at(i)) > 300) {
                if (first < 0)
                    first = i;
                last = i;
            }
        }
        if (first < 0)
            return h;
        auto position = [&](qsizetype around) {
            int peak = 0;
            for (qsizetype i = qMax<qsizetype>(0, around - 14); i <= qMin(n - 1, around + 14); ++i)
                peak = qMax(peak, qAbs(int(at(i))));
            return (peak - 500.0) / 30000.0 * rampSeconds;
        };
        h.fromPos = position(first + 14);
        h.toPos = position(last - 14);
        h.seconds = double(last - first + 1) / 8000.0;
        return h;
    }

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty())
            QSKIP("pulseaudio is not installed (scripts/install-deps.sh --tests installs it)");
        if (QStandardPaths::findExecutable(QStringLiteral("parec")).isEmpty())
            QSKIP("parec is not installed (pulseaudio-utils; scripts/install-deps.sh --tests installs it)");
        if (QStandardPaths::findExecutable(QStringLiteral("sox")).isEmpty())
            QSKIP("sox is not installed (scripts/install-deps.sh --tests installs it)");
        m_env = std::make_unique<TestEnv>();
        // The sound server and Qt find each other through the runtime folder, kept in the test's
        // own folder so no real session is touched.
        const QString runtime = m_env->file(QStringLiteral("run"));
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
        m_pulseEnv = QProcessEnvironment::systemEnvironment();
        m_pulseEnv.insert(QStringLiteral("HOME"), m_env->path());
        m_pulseEnv.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        QString out;
        m_started = runPulse({"-D", "--exit-idle-time=-1", "--disallow-exit", "-n",
                              "--load=module-native-protocol-unix",
                              "--load=module-null-sink sink_name=test_null"},
                             &out);
        QVERIFY2(m_started, qPrintable("pulseaudio did not start: " + out));
    }

    void cleanupTestCase()
    {
        if (m_started)
            runPulse({"--kill"});
    }

    // A message on PTT with the real sound server: every sample is heard, PTT is down from before
    // the first to after the last (lead and tail around what the device played), and Esc ends
    // sound and PTT at once.
    void messagePlaysWhole_data()
    {
        QTest::addColumn<int>("escAfterMs");  // to its end when zero
        QTest::newRow("to its end") << 0;
        QTest::newRow("Esc 1.5 s in") << 1500;
    }
    void messagePlaysWhole()
    {
        QFETCH(int, escAfterMs);
        const double length = 2.0;
        QVERIFY(!makeRampWave(QStringLiteral("cq.wav"), length).isEmpty());
        QStringList events;
        AudioSinkPlayer player;
        RecordingPtt ptt(&events);
        VoiceKeyer keyer(player, ptt, m_env->path());
        keyer.settings().port = QStringLiteral("1");
        keyer.settings().files[1] = QStringLiteral("cq.wav");
        keyer.settings().pttLeadMs = 50;
        keyer.settings().pttTailMs = 30;
        QElapsedTimer clock;
        qint64 keyedMs = -1, releasedMs = -1, escMs = -1;
        connect(&keyer, &VoiceKeyer::transmittingChanged, this, [&](bool on) {
            (on ? keyedMs : releasedMs) = clock.elapsed();
        });
        const Heard heard = record(length, [&] {
            clock.start();
            keyer.FKeyPhone(FKey::F2);
            QVERIFY(ptt.rts);
            if (escAfterMs > 0) {
                QTest::qWait(escAfterMs);
                escMs = clock.elapsed();
                QVERIFY(keyer.stopPlayback());
                QVERIFY(!ptt.rts);
            }
            QTRY_VERIFY_WITH_TIMEOUT(!ptt.rts, 15000);
        });
        QVERIFY(!keyer.isPlaying());
        QCOMPARE(events, (QStringList{"closeothers", "open 1", "RTS 1", "RTS 0"}));
        qInfo("keyed at %lld ms, released at %lld ms; heard %.3f s of the file, from %.3f s to %.3f s",
              keyedMs, releasedMs, heard.seconds, heard.fromPos, heard.toPos);
        QVERIFY(heard.seconds > 0);
        // Positions are read from the loudness through the server's resampling: a few ms either way.
        QVERIFY2(heard.fromPos < 0.03, "the first samples were lost");
        if (escAfterMs > 0) {
            // Esc released the transmitter in the same step; the sound stopped with it.
            QVERIFY(releasedMs - escMs < 50);
            QVERIFY2(heard.toPos < (escMs + 50) / 1000.0, qPrintable(QString::number(heard.toPos)));
        } else {
            // Within a few ms on a quiet machine (the figures above); the bounds leave room for a
            // recording that drops a little under load, and still catch a lost last syllable
            // (the tail of a message is ~0.1 s).
            QVERIFY2(qAbs(heard.seconds - length) < 0.03, qPrintable(QString::number(heard.seconds)));
            QVERIFY2(heard.toPos > length - 0.05, qPrintable(QString::number(heard.toPos)));
            // At least lead + sound + tail; what a slow server adds is on top.
            QVERIFY(releasedMs - keyedMs >= 50 + 2000 + 30);
        }
    }

    // "$ 5 9" spoken from the operator's letter recordings: each character a 0.2 s tone, the
    // call W1AW/4 and the report make eight parts, heard as one 1.6 s message between PTT down and up.
    void callSpokenFromLetterRecordings()
    {
        QVERIFY(QDir(m_env->path()).mkpath("letters"));
        for (const char *part : {"W", "1", "A", "stroke", "4", "5", "9"})
            QVERIFY(!makeWave(QStringLiteral("letters/%1.wav").arg(part), 16, 0.2).isEmpty());
        QStringList events;
        AudioSinkPlayer player;
        RecordingPtt ptt(&events);
        VoiceKeyer keyer(player, ptt, m_env->path());
        keyer.setSpokenParts([] { return QStringLiteral("W1AW/4"); }, [] { return QStringLiteral("1234"); });
        keyer.settings().port = QStringLiteral("1");
        keyer.settings().files[2] = QStringLiteral("$ 5 9");
        QElapsedTimer clock;
        qint64 keyedMs = -1, releasedMs = -1;
        connect(&keyer, &VoiceKeyer::transmittingChanged, this, [&](bool on) {
            (on ? keyedMs : releasedMs) = clock.elapsed();
        });
        const Heard heard = record(1.6, [&] {
            clock.start();
            keyer.FKeyPhone(FKey::F3);
            QVERIFY(ptt.rts);
            QTRY_VERIFY_WITH_TIMEOUT(!ptt.rts, 15000);
        });
        QCOMPARE(events, (QStringList{"closeothers", "open 1", "RTS 1", "RTS 0"}));
        qInfo("heard %.3f s; keyed for %lld ms", heard.seconds, releasedMs - keyedMs);
        QVERIFY2(qAbs(heard.seconds - 1.6) < 0.05, qPrintable(QString::number(heard.seconds)));
        QVERIFY(releasedMs - keyedMs >= 50 + 1600 + 30);
    }

    // The next message at once: the first is cut off where it was, the transmitter stays keyed.
    void nextMessageCutsTheFirst()
    {
        const QString a = makeRampWave(QStringLiteral("a.wav"), 1.0);
        QVERIFY(!a.isEmpty());
        AudioSinkPlayer player;
        QVERIFY(player.play(a));
        QVERIFY(player.isPlaying());
        QVERIFY(player.play(a));
        QVERIFY(player.isPlaying());
        QTRY_VERIFY_WITH_TIMEOUT(!player.isPlaying(), 5000);
    }

    // A chosen output that is not there refuses the message before PTT.
    void missingOutputRefusesBeforePtt()
    {
        QVERIFY(!makeRampWave(QStringLiteral("cq.wav"), 0.2).isEmpty());
        QStringList events;
        AudioSinkPlayer player;
        player.setOutput(QStringLiteral("USB Rig Codec"));
        RecordingPtt ptt(&events);
        VoiceKeyer keyer(player, ptt, m_env->path());
        keyer.settings().port = QStringLiteral("1");
        keyer.settings().files[0] = QStringLiteral("cq.wav");
        QSignalSpy failed(&keyer, &VoiceKeyer::playFailed);
        keyer.FKeyPhone(FKey::F1);
        QCOMPARE(failed.size(), 1);
        QVERIFY(failed.first().first().toString().contains("\"USB Rig Codec\" is not connected"));
        QVERIFY(events.isEmpty());
        QVERIFY(!keyer.isPlaying());
    }

    void thirtyTwoBitIsRefusedAtOnce()
    {
        const QString path = makeWave(QStringLiteral("wide.wav"), 32);
        QVERIFY(!path.isEmpty());
        AudioSinkPlayer player;
        QString why;
        QVERIFY(!player.play(path, &why));
        QVERIFY(!player.isPlaying());
        QCOMPARE(why, QString("it is not 8- or 16-bit PCM sound"));
    }
};

QTEST_MAIN(TestVoicePlayback)
#include "tst_voiceplayback.moc"
