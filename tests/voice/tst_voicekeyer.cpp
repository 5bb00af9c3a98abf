// The voice keyer with a scripted player and a recording keying output: what is keyed, in which
// order, for how long, and what happens when a message cannot be played.
#include "fakeaudio.h"
#include "fakes.h"
#include "platform/speech.h"
#include "voice/spokenmessage.h"
#include "voice/voicekeyer.h"

#include <QDir>
#include <QSignalSpy>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <QtEndian>

namespace {
QByteArray wave(int bits = 16, quint32 dataBytes = 800)
{
    QByteArray h = wavefile::header16(8000, 1, dataBytes);
    if (bits != 16) {
        qToLittleEndian<quint16>(quint16(bits), h.data() + 34);
        qToLittleEndian<quint16>(quint16(bits / 8), h.data() + 32);
        qToLittleEndian<quint32>(quint32(8000 * bits / 8), h.data() + 28);
    }
    return h + QByteArray(int(dataBytes), '\0');
}
}  // namespace

class TestVoiceKeyer : public QObject {
    Q_OBJECT

    struct Rig {
        TestEnv env;
        QStringList events;
        FakeWavePlayer player;
        RecordingPtt ptt{&events};
        VoiceKeyer keyer{player, ptt, env.path()};
        Rig()
        {
            // No lead or tail unless a test asks for them: the keying order without timers.
            keyer.settings().pttLeadMs = 0;
            keyer.settings().pttTailMs = 0;
            player.events = &events;
            for (int i = 1; i <= 9; ++i) {
                env.write(QStringLiteral("f%1.wav").arg(i), wave());
                keyer.settings().files[size_t(i - 1)] = QStringLiteral("f%1.wav").arg(i);
            }
        }
        // The message ends and the next end-of-playback check runs.
        void endMessage()
        {
            player.finish();
            keyer.Timer1_Timer();
        }
    };

private slots:
    void keysAroundTheMessage_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("rts") << "3" << 0 << "&H378"
                             << QStringList{"closeothers", "open 3", "RTS 1", "play f2.wav", "RTS 0"};
        QTest::newRow("dtr") << "3" << 1 << "&H378"
                             << QStringList{"closeothers", "open 3", "DTR 1", "play f2.wav", "DTR 0"};
        QTest::newRow("parallel hex") << "0" << 2 << "&H378"
                                      << QStringList{"out 890 3", "play f2.wav", "out 890 2"};
        QTest::newRow("parallel decimal") << "0" << 2 << "632"
                                          << QStringList{"out 634 3", "play f2.wav", "out 634 2"};
        // A serial port with "Parallel" raises RTS as well.
        QTest::newRow("parallel and port")
            << "2" << 2 << "&h378"
            << QStringList{"closeothers", "open 2", "RTS 1", "out 890 3", "play f2.wav", "RTS 0",
                           "out 890 2"};
        QTest::newRow("port 0 rts: nothing keyed") << "0" << 0 << "&H378" << QStringList{"play f2.wav"};
        QTest::newRow("port not a number") << "x" << 1 << "&H378" << QStringList{"play f2.wav"};
    }
    void keysAroundTheMessage()
    {
        QFETCH(QString, port);
        QFETCH(int, line);
        QFETCH(QString, address);
        QFETCH(QStringList, expected);
        Rig r;
        r.keyer.settings().port = port;
        r.keyer.settings().line = line;
        r.keyer.settings().parallelAddress = address;
        r.keyer.FKeyPhone(FKey::F2);
        QVERIFY(r.keyer.Timer1()->isActive());
        QCOMPARE(r.keyer.Timer1()->interval(), VoiceKeyer::kPollMs);
        // Still playing: the check leaves the transmitter keyed.
        r.keyer.Timer1_Timer();
        QCOMPARE(r.events, expected.mid(0, expected.indexOf("play f2.wav") + 1));
        r.endMessage();
        QCOMPARE(r.events, expected);
        QVERIFY(!r.ptt.keyed());
        QVERIFY(!r.keyer.Timer1()->isActive());
        // The port stays open for the next message.
        r.events.clear();
        r.keyer.FKeyPhone(FKey::F2);
        QVERIFY(!r.events.contains("closeothers"));
    }

    void onlyF1ToF9()
    {
        Rig r;
        for (FKey key : {FKey::F10, FKey::F11})
            r.keyer.FKeyPhone(key);
        QVERIFY(r.player.played.isEmpty());
        QVERIFY(r.events.isEmpty());
        r.keyer.FKeyPhone(FKey::F9);
        QCOMPARE(r.player.played.size(), 1);
        QVERIFY(r.player.played.first().endsWith("/f9.wav"));
    }

    void f1RepeatsAfterTheLoopInterval()
    {
        Rig r;
        r.keyer.settings().port = "1";
        r.keyer.settings().loop = "3";
        QVERIFY(r.keyer.applyLoop());
        r.keyer.FKeyPhone(FKey::F1);
        QVERIFY(r.keyer.phoneRepeat());
        // The wait starts only once the transmitter is released.
        QVERIFY(!r.keyer.tmrRepeat()->isActive());
        r.endMessage();
        QVERIFY(!r.ptt.keyed());
        QVERIFY(r.keyer.tmrRepeat()->isActive());
        QCOMPARE(r.keyer.tmrRepeat()->interval(), 3000);
        r.keyer.tmrRepeat_Timer();
        QVERIFY(r.ptt.rts);
        QCOMPARE(r.player.played.size(), 2);
        // Any key ends the loop; the message playing now still ends normally.
        r.keyer.cancelRepeat();
        QVERIFY(!r.keyer.phoneRepeat());
        r.endMessage();
        QVERIFY(!r.ptt.keyed());
        QVERIFY(!r.keyer.tmrRepeat()->isActive());
        // F2 never repeats.
        r.keyer.FKeyPhone(FKey::F2);
        QVERIFY(!r.keyer.phoneRepeat());
    }

    void loopBox_data()
    {
        QTest::addColumn<QString>("loop");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("interval");
        QTest::newRow("zero") << "0" << true << 0;
        QTest::newRow("fraction") << "2.5" << true << 2500;
        QTest::newRow("just under a minute") << "59.9" << true << 59900;
        QTest::newRow("a minute") << "60" << false << 0;
        QTest::newRow("letters") << "ab" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
    }
    void loopBox()
    {
        QFETCH(QString, loop);
        QFETCH(bool, valid);
        QFETCH(int, interval);
        Rig r;
        r.keyer.settings().loop = loop;
        QCOMPARE(r.keyer.applyLoop(), valid);
        QCOMPARE(r.keyer.tmrRepeat()->interval(), interval);
        if (!valid)
            QCOMPARE(r.keyer.settings().loop, QString("0"));
        r.keyer.FKeyPhone(FKey::F1);
        QCOMPARE(r.keyer.phoneRepeat(), interval > 0);
    }

    // Esc ends sound and transmitter in the same step, in the lead, the sound or the tail.
    void escEndsItAtOnce_data()
    {
        QTest::addColumn<int>("phase");  // 0 lead, 1 sound, 2 tail
        QTest::newRow("in the lead") << 0;
        QTest::newRow("while it sounds") << 1;
        QTest::newRow("in the tail") << 2;
    }
    void escEndsItAtOnce()
    {
        QFETCH(int, phase);
        Rig r;
        r.keyer.settings().port = "1";
        r.keyer.settings().pttLeadMs = 60000 / 60;
        r.keyer.settings().pttTailMs = 1000;
        QVERIFY(!r.keyer.stopPlayback());
        r.keyer.FKeyPhone(FKey::F1);
        QVERIFY(r.ptt.rts);
        if (phase >= 1)
            QTRY_VERIFY(r.player.isPlaying());
        if (phase == 2)
            r.endMessage();
        QVERIFY(r.keyer.isPlaying());
        QVERIFY(r.keyer.stopPlayback());
        QVERIFY(!r.keyer.isPlaying());
        QVERIFY(!r.player.isPlaying());
        QVERIFY(!r.ptt.rts);
        QTest::qWait(50);
        QCOMPARE(r.player.played.size(), phase >= 1 ? 1 : 0);  // a lead cut short plays nothing
    }

    // PTT goes down, the sound starts after the lead, PTT comes up the tail after the last
    // sample; the next message at once keeps the transmitter keyed and needs no lead.
    void leadAndTail()
    {
        Rig r;
        r.keyer.settings().port = "1";
        r.keyer.settings().pttLeadMs = 40;
        r.keyer.settings().pttTailMs = 40;
        QElapsedTimer t;
        t.start();
        r.keyer.FKeyPhone(FKey::F1);
        QCOMPARE(r.events, (QStringList{"closeothers", "open 1", "RTS 1"}));
        QTRY_COMPARE(r.events.size(), 4);
        QVERIFY(t.elapsed() >= 40);
        QCOMPARE(r.events.last(), QString("play f1.wav"));
        r.endMessage();
        QVERIFY(r.ptt.rts);  // the tail
        t.restart();
        QTRY_VERIFY(!r.ptt.rts);
        QVERIFY(t.elapsed() >= 40);
        r.events.clear();
        r.keyer.FKeyPhone(FKey::F1);
        QTRY_VERIFY(r.player.isPlaying());
        r.keyer.FKeyPhone(FKey::F2);  // at once, while F1 sounds
        QCOMPARE(r.events, (QStringList{"RTS 1", "play f1.wav", "stop", "play f2.wav"}));
    }

    void emptyBoxStopsWithoutKeying()
    {
        Rig r;
        r.keyer.settings().port = "1";
        r.keyer.settings().files[3] = "  ";
        r.keyer.FKeyPhone(FKey::F4);
        QVERIFY(r.events.isEmpty());
        // While F1 plays, the empty F4 cuts it off and releases the transmitter.
        r.keyer.FKeyPhone(FKey::F1);
        r.keyer.FKeyPhone(FKey::F4);
        QVERIFY(!r.keyer.isPlaying());
        QVERIFY(!r.ptt.keyed());
    }

    void unplayableMessagesNeverLeaveTheTransmitterKeyed_data()
    {
        QTest::addColumn<QByteArray>("bytes");   // empty: no file at all
        QTest::addColumn<bool>("refused");       // the sound output turns it down
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << QByteArray() << false << "the file does not exist";
        QTest::newRow("not a wave") << QByteArray("hello, world") << false << "it is not a WAV file";
        QTest::newRow("32-bit") << wave(32) << false << "it is not 8- or 16-bit PCM sound";
        QTest::newRow("cut short") << wave().left(30) << false << "its WAV header is damaged";
        QTest::newRow("output refuses") << wave() << true << "the sound output refused it";
        QTest::newRow("header only") << wave().left(44) << false << "it holds no sound";
    }

    // The length is what the file holds, whatever its header promises.
    void lengthIsWhatTheFileHolds_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("durationMs");
        const QByteArray second(16000, '\x10');  // 1 s at 8 kHz, 16-bit mono
        QTest::newRow("as promised") << wavefile::header16(8000, 1, 16000) + second << qint64(1000);
        QTest::newRow("cut off: 2 s promised, 0.2 s there")
            << wavefile::header16(8000, 1, 32000) + second.left(3200) << qint64(200);
        QTest::newRow("streaming size 0xFFFFFFFF")
            << wavefile::header16(8000, 1, 0xFFFFFFFFu) + second << qint64(1000);
        QTest::newRow("size 0 over 1 s of sound") << wavefile::header16(8000, 1, 0) + second << qint64(1000);
        QTest::newRow("odd byte at the end") << wavefile::header16(8000, 1, 16001) + second + "x"
                                             << qint64(1000);
    }
    void lengthIsWhatTheFileHolds()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, durationMs);
        TestEnv env;
        env.write("m.wav", bytes);
        const wavefile::Info info = wavefile::inspect(env.file("m.wav"));
        QCOMPARE(info.problem, QString());
        QCOMPARE(info.durationMs, durationMs);
        QCOMPARE(info.dataBytes % 2, 0);
        QCOMPARE(info.dataOffset, 44);
    }
    void unplayableMessagesNeverLeaveTheTransmitterKeyed()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, refused);
        QFETCH(QString, reason);
        Rig r;
        r.keyer.settings().port = "1";
        r.keyer.settings().loop = "5";
        r.keyer.applyLoop();
        QFile::remove(r.env.file("f1.wav"));
        if (!bytes.isEmpty())
            r.env.write("f1.wav", bytes);
        if (refused)
            r.player.refuse << r.env.file("f1.wav");
        QSignalSpy failed(&r.keyer, &VoiceKeyer::playFailed);
        r.keyer.FKeyPhone(FKey::F1);
        QCOMPARE(failed.size(), 1);
        QCOMPARE(failed.first().first().toString(),
                 QStringLiteral("The wave file for F1 (%1) cannot be played: %2.")
                     .arg(r.env.file("f1.wav"), reason));
        QVERIFY(!r.ptt.keyed());
        QVERIFY(!r.keyer.transmitting());
        QVERIFY(!r.keyer.Timer1()->isActive());
        // The loop ends rather than failing again every few seconds.
        QVERIFY(!r.keyer.phoneRepeat());
        QVERIFY(!r.keyer.tmrRepeat()->isActive());
        // A file judged bad before keying never reaches the line at all.
        if (!refused)
            QVERIFY(!r.events.contains("RTS 1"));
    }

    void parallelThatCannotBeKeyedPlaysNothing_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("deviceFails");
        QTest::addColumn<QString>("message");
        QTest::newRow("bad address") << "&HXYZ" << false
                                     << "The transmitter cannot be keyed: the parallel port address "
                                        "\"&HXYZ\" is not valid.";
        QTest::newRow("no device") << "&H378" << true
                                   << "The transmitter cannot be keyed: no parallel port.";
    }
    void parallelThatCannotBeKeyedPlaysNothing()
    {
        QFETCH(QString, address);
        QFETCH(bool, deviceFails);
        QFETCH(QString, message);
        Rig r;
        r.keyer.settings().port = "4";
        r.keyer.settings().line = PhoneSettings::Parallel;
        r.keyer.settings().parallelAddress = address;
        r.ptt.parallelFails = deviceFails;
        QSignalSpy failed(&r.keyer, &VoiceKeyer::playFailed);
        r.keyer.FKeyPhone(FKey::F1);
        QCOMPARE(failed.size(), 1);
        QCOMPARE(failed.first().first().toString(), message);
        QVERIFY(r.player.played.isEmpty());
        QVERIFY(!r.ptt.keyed());
    }

    void invalidPortPlaysWithoutKeying()
    {
        Rig r;
        r.keyer.settings().port = "7";
        r.ptt.badPorts << 7;
        QSignalSpy portFailed(&r.keyer, &VoiceKeyer::portFailed);
        r.keyer.FKeyPhone(FKey::F1);
        QCOMPARE(portFailed.size(), 1);
        QCOMPARE(r.player.played.size(), 1);
        QVERIFY(!r.ptt.keyed());
        QVERIFY(!r.keyer.transmitting());
    }

    void releasesTheLineThatWasKeyed()
    {
        // The operator changes the keying line while a message plays: the line that went down
        // is the one that comes up.
        Rig r;
        r.keyer.settings().port = "1";
        r.keyer.FKeyPhone(FKey::F1);
        QVERIFY(r.ptt.rts);
        r.keyer.settings().line = PhoneSettings::Dtr;
        r.endMessage();
        QVERIFY(!r.ptt.keyed());
        r.keyer.settings().line = PhoneSettings::Parallel;
        r.keyer.FKeyPhone(FKey::F1);
        r.keyer.settings().parallelAddress = "&H278";
        r.keyer.settings().port = "0";
        r.endMessage();
        QCOMPARE(r.events.mid(r.events.size() - 2), (QStringList{"RTS 0", "out 890 2"}));
        QVERIFY(!r.ptt.keyed());
    }

    void destructionReleases()
    {
        TestEnv env;
        env.write("a.wav", wave());
        QStringList events;
        FakeWavePlayer player;
        RecordingPtt ptt(&events);
        {
            VoiceKeyer keyer(player, ptt, env.path());
            keyer.settings().port = "1";
            keyer.settings().files[0] = "a.wav";
            keyer.FKeyPhone(FKey::F1);
            QVERIFY(ptt.rts);
        }
        QVERIFY(!ptt.rts);
        QVERIFY(!player.isPlaying());
    }

    // "$" is the call and "#" the own number, spelt; other words as written.
    void spokenMessageParts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("phonetic");
        QTest::addColumn<QStringList>("parts");
        QTest::newRow("call and report") << "$ 59" << false
                                         << QStringList{"W", "1", "A", "W", "stroke", "4", "59"};
        QTest::newRow("phonetic") << "QRZ $" << true
                                  << QStringList{"QRZ", "Whiskey", "1", "Alfa", "Whiskey", "stroke", "4"};
        QTest::newRow("own number") << "TU #" << false << QStringList{"TU", "1", "2", "3", "4"};
        QTest::newRow("glued to words") << "CQ$TEST" << false
                                        << QStringList{"CQ", "W", "1", "A", "W", "stroke", "4", "TEST"};
    }
    void spokenMessageParts()
    {
        QFETCH(QString, text);
        QFETCH(bool, phonetic);
        QFETCH(QStringList, parts);
        QVERIFY(spokenmessage::isSpoken(text));
        QCOMPARE(spokenmessage::parts(text, "w1aw/4", "1234", phonetic), parts);
        QVERIFY(!spokenmessage::isSpoken("cq.wav"));
    }

    // A spoken message with a part not recorded and no synthesiser is refused before PTT; with
    // every part recorded it is sent like a recording.
    void spokenMessageFromRecordingsOrRefused()
    {
        Rig r;
        r.keyer.setSpokenParts([] { return QStringLiteral("K1A"); }, [] { return QString(); });
        r.keyer.settings().files[3] = "$";
        QSignalSpy failed(&r.keyer, &VoiceKeyer::playFailed);
        r.keyer.FKeyPhone(FKey::F4);
        QCOMPARE(failed.size(), 1);
        QVERIFY(failed[0][0].toString().contains("K.wav"));
        QVERIFY(!r.ptt.keyed());
        QVERIFY(QDir(r.env.path()).mkpath("letters"));
        for (const char *c : {"k", "1", "A"})
            r.env.write(QStringLiteral("letters/%1.wav").arg(c), wave());
        r.keyer.FKeyPhone(FKey::F4);
        QCOMPARE(failed.size(), 1);
        QVERIFY(r.ptt.keyed() || r.keyer.isPlaying());
        const wavefile::Info info = wavefile::inspect(r.player.played.isEmpty() ? QString() : r.player.played.last());
        QVERIFY2(info.problem.isEmpty(), qPrintable(info.problem));
        QCOMPARE(info.dataBytes, 3 * wavefile::inspect(r.env.file("letters/A.wav")).dataBytes);
    }

    // Without the recordings the synthesiser speaks the message; an Esc while it is being written
    // drops it before anything is keyed.
    void spokenMessageSynthesised()
    {
        EspeakSynth speech;
        if (!speech.available())
            QSKIP("espeak-ng is not installed (scripts/install-deps.sh installs it)");
        Rig r;
        r.keyer.settings().port = "1";
        r.keyer.setSpokenParts([] { return QStringLiteral("W1AW"); }, [] { return QString(); });
        r.keyer.setSpeech(&speech, r.env.file("spoken"));
        r.keyer.settings().files[4] = "QRZ $";
        r.keyer.FKeyPhone(FKey::F5);
        QVERIFY(r.keyer.stopPlayback() || !r.keyer.isPlaying());
        QTest::qWait(1500);  // the synthesiser has long finished: nothing follows the Esc
        QVERIFY(r.player.played.isEmpty());
        QVERIFY(!r.ptt.rts);

        r.keyer.FKeyPhone(FKey::F5);
        QTRY_COMPARE_WITH_TIMEOUT(r.player.played.size(), 1, 10000);
        QVERIFY(r.ptt.rts);
        const wavefile::Info info = wavefile::inspect(r.player.played.first());
        QVERIFY2(info.problem.isEmpty(), qPrintable(info.problem));
        QVERIFY(info.durationMs > 1000);  // "QRZ, W, 1, A, W" takes well over a second
    }

    void absoluteAndRelativePaths()
    {
        Rig r;
        r.keyer.settings().files[1] = r.env.file("f3.wav");
        r.keyer.FKeyPhone(FKey::F2);
        QCOMPARE(r.player.played.value(0), r.env.file("f3.wav"));
        QCOMPARE(r.keyer.messagePath(0), r.env.file("f1.wav"));
        QCOMPARE(r.keyer.messagePath(9), QString());
    }
};

QTEST_MAIN(TestVoiceKeyer)
#include "tst_voicekeyer.moc"
