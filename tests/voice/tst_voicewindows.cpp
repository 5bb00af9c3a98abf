// The voice keyer's windows and settings file, the navigation prompts, and PTT sharing its port
// with CW keying through the keyer thread.
#include "cw/keyerthread.h"
#include "fakeaudio.h"
#include "fakekeyline.h"
#include "fakes.h"
#include "platform/speech.h"
#include "platform/waveplayer.h"
#include "voice/announcer.h"
#include "voice/blindfrm.h"
#include "voice/keyerptt.h"
#include "voice/phonefrm.h"
#include "voice/voicekeyer.h"

#include <QComboBox>
#include <QMutex>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {
QByteArray wave() { return wavefile::header16(8000, 1, 80) + QByteArray(80, '\0'); }

// Lines named by the device the port map gives, as the real ones are, so the keyer thread can
// tell that CW and PTT want the same port.
struct SharedPortLog {
    QMutex mutex;
    int openLines = 0;
    QStringList events;  // "open /dev/ttyS0", "close /dev/ttyS0", "down", "up"
    QStringList snapshot()
    {
        QMutexLocker lock(&mutex);
        return events;
    }
};
class MappedLine : public KeyLine {
public:
    MappedLine(SharedPortLog &log, PortMap map) : m_log(log), m_map(std::move(map)) {}
    ~MappedLine() override { close(); }
    bool open(int port) override
    {
        m_device = m_map.serialDevice(port);
        QMutexLocker lock(&m_log.mutex);
        m_log.events << "open " + m_device;
        ++m_log.openLines;
        m_open = true;
        return true;
    }
    void close() override
    {
        if (!m_open)
            return;
        m_open = false;
        QMutexLocker lock(&m_log.mutex);
        m_log.events << "close " + m_device;
        --m_log.openLines;
    }
    bool isOpen() const override { return m_open; }
    void setKey(bool down) override
    {
        QMutexLocker lock(&m_log.mutex);
        m_log.events << (down ? "down" : "up");
    }
    QString errorText() const override { return {}; }
    QString device() const override { return m_device; }

private:
    SharedPortLog &m_log;
    PortMap m_map;
    QString m_device;
    bool m_open = false;
};
class MappedLines : public KeyLineFactory {
public:
    SharedPortLog log;
    std::unique_ptr<KeyLine> create(KeyLineKind kind, const PortMap &map) override
    {
        return kind == KeyLineKind::None ? nullptr : std::make_unique<MappedLine>(log, map);
    }
};

const QByteArray kWave2 =
    "\"cq.wav\"\r\n\"call.wav\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"/home/op/tu.wav\"\r\n"
    "\"3\"\r\n1\r\n\"2.5\"\r\n\"&H278\"\r\n";
}  // namespace

class TestVoiceWindows : public QObject {
    Q_OBJECT

    struct Rig {
        TestEnv env;
        QStringList events;
        FakeWavePlayer player;
        FakeWaveRecorder recorder;
        RecordingPtt ptt{&events};
        FakeDialogs dialogs;
        FakeSettingsStore settings;
        VoiceKeyer keyer{player, ptt, env.path()};
        std::unique_ptr<PhoneFrm> frm;
        void open() { frm = std::make_unique<PhoneFrm>(keyer, player, recorder, dialogs, settings, env.path()); }
        QLineEdit *box(const QString &name) { return frm->findChild<QLineEdit *>(name); }
    };

private slots:
    void wave2RoundTrip()
    {
        Rig r;
        r.env.write("wave2.txt", kWave2);
        r.open();
        QVERIFY(r.frm->loadSettings());
        QVERIFY(r.dialogs.shown.isEmpty());
        QCOMPARE(r.box("Text1")->text(), QString("cq.wav"));
        QCOMPARE(r.box("Text9")->text(), QString("/home/op/tu.wav"));
        QCOMPARE(r.box("Text10")->text(), QString("3"));
        QVERIFY(r.frm->findChild<QRadioButton *>("Option2")->isChecked());
        QCOMPARE(r.box("txtPHLoop")->text(), QString("2.5"));
        QCOMPARE(r.keyer.tmrRepeat()->interval(), 2500);
        QCOMPARE(r.box("Text11")->text(), QString("&H278"));
        // Done writes back the same bytes, blanks around names trimmed.
        r.box("Text2")->setText("  call.wav ");
        r.frm->Command1_Click();
        QCOMPARE(r.env.read("wave2.txt"), kWave2);
    }

    void damagedWave2_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("f1");
        QTest::addColumn<int>("line");
        QTest::newRow("short: read lines kept") << kWave2.left(kWave2.indexOf("\"3\"")) << "cq.wav" << 0;
        QTest::newRow("open quote") << QByteArray("\"cq.wav") << "" << 0;
        // The line value is compared as text: 7 leaves the selection alone.
        QTest::newRow("line 7") << QByteArray(kWave2).replace("\r\n1\r\n", "\r\n7\r\n") << "cq.wav" << -1;
    }
    void damagedWave2()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, f1);
        QFETCH(int, line);
        Rig r;
        r.env.write("wave2.txt", bytes);
        r.open();
        const bool ok = r.frm->loadSettings();
        QCOMPARE(ok, line < 0);
        QCOMPARE(r.dialogs.wasShown("Error opening file"), line >= 0);
        QCOMPARE(r.keyer.settings().files[0], f1);
        QCOMPARE(r.keyer.settings().line, line < 0 ? int(PhoneSettings::Rts) : line);
    }

    void firstStartHasNoFileYet()
    {
        Rig r;
        r.open();
        QVERIFY(r.frm->loadSettings());
        QVERIFY(r.dialogs.shown.isEmpty());
        QCOMPARE(r.box("Text10")->text(), QString("0"));
        QCOMPARE(r.box("Text11")->text(), QString("&H378"));
        QVERIFY(r.frm->findChild<QRadioButton *>("Option1")->isChecked());
    }

    void invalidPortMessage()
    {
        Rig r;
        r.open();
        r.frm->show();
        r.ptt.badPorts << 9;
        r.box("Text10")->setText("9");
        r.frm->Text10_LostFocus();
        QCOMPARE(r.dialogs.titles(), QStringList{"Invalid port."});
        QCOMPARE(r.dialogs.shown.first().text,
                 QString("The port you have selected for Phone keying is invalid.  Please select "
                         "another or enter 0 for none."));
        // Letters in the port box mean no port.
        r.box("Text10")->setText("COM1");
        r.frm->Text10_LostFocus();
        QCOMPARE(r.box("Text10")->text(), QString("0"));
        QCOMPARE(r.dialogs.shown.size(), 1);
    }

    void loopBoxFallsBackToZero()
    {
        Rig r;
        r.open();
        r.box("txtPHLoop")->setText("75");
        r.frm->txtPHLoop_LostFocus();
        QCOMPARE(r.box("txtPHLoop")->text(), QString("0"));
        QCOMPARE(r.keyer.tmrRepeat()->interval(), 0);
    }

    void testButtonShowsStopWhileLooping()
    {
        Rig r;
        r.env.write("cq.wav", wave());
        r.open();
        r.box("Text1")->setText("cq.wav");
        r.box("txtPHLoop")->setText("4");
        r.frm->txtPHLoop_LostFocus();
        r.frm->show();
        r.frm->Command11_Click();
        auto *stop = r.frm->findChild<QPushButton *>("Command12");
        QVERIFY(stop->isVisible());
        QCOMPARE(r.player.played.size(), 1);
        r.frm->Command12_Click();
        QVERIFY(!stop->isVisible());
        QVERIFY(!r.keyer.phoneRepeat());
    }

    void playFailureIsShown()
    {
        Rig r;
        r.open();
        r.box("Text3")->setText("gone.wav");
        r.keyer.FKeyPhone(FKey::F3);
        QCOMPARE(r.dialogs.titles(), QStringList{"Phone message"});
        QVERIFY(r.dialogs.shown.first().text.contains("the file does not exist"));
    }

    void browse()
    {
        Rig r;
        r.open();
        r.dialogs.fileAnswers.enqueue(r.env.file("x.wav"));
        r.frm->browse(4);
        QCOMPARE(r.box("Text5")->text(), r.env.file("x.wav"));
        QCOMPARE(r.keyer.settings().files[4], r.env.file("x.wav"));
        // Cancel changes nothing.
        r.frm->browse(4);
        QCOMPARE(r.box("Text5")->text(), r.env.file("x.wav"));
    }

    // A recording goes into a file of its own and replaces the message's file only when it is
    // stopped and kept: asked first when there is one.
    void recordIntoTheWorkingDirectory_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("existing");
        QTest::addColumn<bool>("replace");  // the answer to the question, when asked
        QTest::newRow("empty box") << "" << "F3.wav" << false << true;
        QTest::newRow("plain name, replaced") << "cq2.WAV" << "cq2.WAV" << true << true;
        QTest::newRow("plain name, kept") << "cq2.WAV" << "cq2.WAV" << true << false;
        QTest::newRow("file elsewhere not replaced") << "/home/op/cq.wav" << "F3.wav" << false << true;
    }
    void recordIntoTheWorkingDirectory()
    {
        QFETCH(QString, box);
        QFETCH(QString, name);
        QFETCH(bool, existing);
        QFETCH(bool, replace);
        Rig r;
        r.settings.values[PhoneFrm::kInputKey] = "Radio";
        r.keyer.settings().port = "1";
        r.open();
        const QByteArray old = wave();
        if (existing)
            r.env.write(name, old);
        r.box("Text3")->setText(box);
        auto *button = r.frm->findChild<QPushButton *>("cmdRecord3");
        r.frm->record(2);
        QVERIFY(r.recorder.isRecording());
        QCOMPARE(r.recorder.path, r.env.file(name + ".recording"));
        QCOMPARE(r.recorder.input, QString("Radio"));
        QCOMPARE(button->text(), QString("Stop"));
        // The prepared message is untouched while the new one is recorded.
        QCOMPARE(QFile::exists(r.env.file(name)), existing);
        if (existing)
            QCOMPARE(r.env.read(name), old);
        r.dialogs.messageAnswers.enqueue(replace ? Dialogs::Answer::Yes : Dialogs::Answer::No);
        r.frm->record(2);
        QVERIFY(!r.recorder.isRecording());
        QCOMPARE(button->text(), QString("Record"));
        QCOMPARE(r.dialogs.wasShown("Record"), existing);
        QVERIFY(!QFile::exists(r.env.file(name + ".recording")));
        QCOMPARE(r.env.read(name).endsWith("new"), replace);
        QCOMPARE(r.box("Text3")->text(), replace ? name : box);
        // Recording never touches the transmitter.
        QVERIFY(r.events.isEmpty());
    }

    void outputChoiceIsKept()
    {
        Rig r;
        r.settings.values[PhoneFrm::kOutputKey] = "USB Audio CODEC";
        r.open();
        auto *box = r.frm->findChild<QComboBox *>("cboOutput");
        // A device not plugged in now stays chosen.
        QCOMPARE(box->currentData().toString(), QString("USB Audio CODEC"));
        QCOMPARE(r.player.output, QString("USB Audio CODEC"));
        QCOMPARE(box->itemData(0).toString(), QString());  // the system default
        box->setCurrentIndex(0);
        emit box->activated(0);
        QCOMPARE(r.settings.values[PhoneFrm::kOutputKey], QString());
        QCOMPARE(r.player.output, QString());
    }

    // The dupe warning is heard to its end, the call field's prompt after it; a prompt while the
    // transmitter is keyed on the prompts' output is dropped; the 10-10 prompt has two names.
    void announcerDupeOnAirAndNames()
    {
        TestEnv env;
        for (const char *p : {"Dupe", "Call", "1010"})
            env.write(QStringLiteral("%1.wav").arg(p), wave());
        FakeWavePlayer player;
        Announcer a(player, env.path());
        bool onAir = false;
        a.setOnAir([&] { return onAir; });
        a.say("Dupe");
        a.say("Call");
        QCOMPARE(player.played, QStringList{env.file("Dupe.wav")});
        player.finish();
        a.pollTick();
        QCOMPARE(player.played.last(), env.file("Call.wav"));

        onAir = true;
        a.say("Call");
        a.say("Dupe");
        QCOMPARE(player.played.size(), 2);
        onAir = false;

        a.say("1010");
        QCOMPARE(player.played.last(), env.file("1010.wav"));
        env.write("Vardel.wav", wave());
        a.say("1010");
        QCOMPARE(player.played.last(), env.file("Vardel.wav"));
        QCOMPARE(a.missingFiles(), (QStringList{"Name.wav", "StCntry.wav", "NavEn.wav", "NavDis.wav"}));
    }

    void announcerQueuesWithoutWaiting()
    {
        TestEnv env;
        for (const char *p : {"NavEn", "Call", "Name"})
            env.write(QStringLiteral("%1.wav").arg(p), wave());
        FakeWavePlayer player;
        Announcer a(player, env.path());
        a.sayThen("NavEn", "Call");
        QCOMPARE(player.played, QStringList{env.file("NavEn.wav")});
        a.pollTick();  // still playing: Call waits
        QCOMPARE(player.played.size(), 1);
        QVERIFY(a.pollTimer()->isActive());
        player.finish();
        a.pollTick();
        QCOMPARE(player.played.last(), env.file("Call.wav"));
        QVERIFY(!a.pollTimer()->isActive());
        // A new prompt cuts off the old one and drops what was queued.
        a.sayThen("NavEn", "Call");
        a.say("Name");
        QVERIFY(a.queued().isEmpty());
        QCOMPARE(player.played.last(), env.file("Name.wav"));
        // A recording the operator has not made is silence.
        a.say("Dupe");
        QVERIFY(!player.isPlaying());
        QCOMPARE(player.played.last(), env.file("Name.wav"));
    }

    // Without the operator's recording a prompt is spoken by the synthesiser on the prompts' own
    // output: a real WAV with sound in it, never while the transmitter is on that output, and a
    // recording made later wins.
    void missingRecordingsAreSpoken()
    {
        EspeakSynth speech;
        if (!speech.available())
            QSKIP("espeak-ng is not installed (scripts/install-deps.sh installs it)");
        TestEnv env;
        FakeWavePlayer player;
        Announcer a(player, env.path());
        bool onAir = false;
        a.setOnAir([&] { return onAir; });
        a.setSpeech(&speech, env.file("Speech"));
        a.say("Call");  // asked for while being written: heard once it is there
        QTRY_COMPARE_WITH_TIMEOUT(player.played, QStringList{env.file("Speech/Call.wav")}, 10000);
        const wavefile::Info info = wavefile::inspect(env.file("Speech/Call.wav"));
        QVERIFY2(info.problem.isEmpty(), qPrintable(info.problem));
        QVERIFY(info.durationMs > 200 && info.durationMs < 3000);
        for (const QString &p : Announcer::prompts())
            QTRY_VERIFY_WITH_TIMEOUT(!a.playablePath(p).isEmpty(), 10000);

        onAir = true;
        a.say("Dupe");
        QCOMPARE(player.played.size(), 1);
        onAir = false;
        env.write("Call.wav", wave());
        a.say("Call");
        QCOMPARE(player.played.last(), env.file("Call.wav"));
    }

    void navigationLevel_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("click");
        QTest::addColumn<QString>("firstPrompt");
        QTest::addColumn<int>("saved");
        QTest::newRow("off") << 2 << "Option1" << "NavDis" << 0;
        QTest::newRow("call only") << 0 << "Option2" << "NavEn" << 1;
        QTest::newRow("all fields") << 1 << "Option3" << "NavEn" << 2;
    }
    void navigationLevel()
    {
        QFETCH(int, stored);
        QFETCH(QString, click);
        QFETCH(QString, firstPrompt);
        QFETCH(int, saved);
        TestEnv env;
        for (const char *p : {"NavEn", "NavDis", "Call"})
            env.write(QStringLiteral("%1.wav").arg(p), wave());
        FakeWavePlayer player;
        Announcer a(player, env.path());
        QList<int> storedLevels;
        FakeSettingsStore settings;
        BlindFrm frm(a, player, settings, env.path(), [&] { return stored; }, [&](int l) { storedLevels << l; });
        frm.showSettings();
        QCOMPARE(player.played.size(), 1);  // the stored level announced on first showing
        player.played.clear();
        frm.findChild<QRadioButton *>(click)->click();
        QCOMPARE(player.played.value(0), env.file(firstPrompt + ".wav"));
        QVERIFY(storedLevels.isEmpty());  // a click alone changes nothing
        frm.Command1_Click();
        QCOMPARE(storedLevels, QList<int>{saved});
        QVERIFY(!frm.isVisible());
    }

    void pttSharesThePortWithCw()
    {
        FakeKeyTiming timing;
        MappedLines lines;
        KeyerThread cw(lines, timing);
        KeyerSettings s;
        s.line = KeyLineKind::SerialRts;
        s.port = 1;
        cw.setSettings(s);
        QSignalSpy opened(&cw, &KeyerThread::lineOpened);
        cw.openLine();
        QVERIFY(opened.wait(5000));
        int winKeyerClosed = 0;
        KeyerPtt ptt(cw, [&] { ++winKeyerClosed; });
        QVERIFY(ptt.openSerial(1));
        QCOMPARE(winKeyerClosed, 1);
        ptt.setSerialLine(PttKeying::Signal::Rts, true);
        // The CW line lets go of the port before the PTT line opens it, then PTT keys.
        const QStringList expected{"open /dev/ttyS0", "close /dev/ttyS0", "open /dev/ttyS0", "down"};
        QTRY_COMPARE(lines.log.snapshot(), expected);
        ptt.setSerialLine(PttKeying::Signal::Rts, false);
        QTRY_COMPARE(lines.log.snapshot().value(4), QString("up"));
        QCOMPARE(lines.log.openLines, 1);
    }

    void pttOpenFailureReachesTheKeyer()
    {
        TestEnv env;
        env.write("a.wav", wave());
        FakeKeyTiming timing;
        RecordingKeyLines lines(&timing);
        lines.failOpen = true;
        KeyerThread cw(lines, timing);
        KeyerPtt ptt(cw);
        FakeWavePlayer player;
        VoiceKeyer keyer(player, ptt, env.path());
        QObject::connect(&ptt, &KeyerPtt::failed, &keyer, &VoiceKeyer::pttFailed);
        QSignalSpy portFailed(&keyer, &VoiceKeyer::portFailed);
        keyer.settings().port = "2";
        keyer.settings().files[0] = "a.wav";
        keyer.FKeyPhone(FKey::F1);
        QTRY_VERIFY(player.isPlaying());  // after the PTT lead
        QTRY_COMPARE(portFailed.size(), 1);
        QVERIFY(!keyer.transmitting());
        QVERIFY(!ptt.serialIsOpen());
    }
};

QTEST_MAIN(TestVoiceWindows)
#include "tst_voicewindows.moc"
