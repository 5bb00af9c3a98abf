#include "fakes.h"
#include "wkemulator.h"
#include "cw/winkeyer.h"

#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

// The wk_ calls against an emulated keyer on a pseudo-terminal pair.
class TestWinKeyer : public QObject {
    Q_OBJECT

    struct Rig {
        TestEnv env;
        FakeClock clock;
        WkEmulator emulator{env.path()};
        WinKeyer keyer{clock, [this](int port) {
                           return port == 5 ? emulator.hostDevice() : QString();
                       }};
        QSignalSpy finished{&keyer, &WinKeyer::openFinished};
        // Opens port 5 and waits for the handshake to finish.
        bool open()
        {
            keyer.wk_open(5);
            return finished.wait(3000) && keyer.isOpen();
        }
        // Opened, with the keyer holding XOFF so nothing is keyed, and "TEST" queued in it.
        bool openHoldingTest()
        {
            if (!open())
                return false;
            keyer.wk_setmode(0);
            emulator.holdXoff(true);
            if (!QTest::qWaitFor([this] { return keyer.xoff(); }, 5000))
                return false;
            for (char c : QByteArray("TEST"))
                keyer.wk_char(quint8(c));
            return true;
        }
    };

#define START(rig) WKEMULATOR_START_OR_SKIP((rig).emulator)

private slots:
    void opensAndReportsTheVersion()
    {
        Rig rig;
        START(rig);
        rig.emulator.setVersion(31);
        QVERIFY(rig.open());
        QCOMPARE(rig.finished.at(0).at(0).toInt(), int(WinKeyer::Success));
        QCOMPARE(rig.finished.at(0).at(1).toInt(), 31);
        QCOMPARE(rig.keyer.version(), 31);
        // Echo test first, then host open.
        QCOMPARE(rig.emulator.received().toHex(), QByteArray("0004550002"));
        QVERIFY(rig.emulator.isHostOpen());

        // A second open does nothing but say so.
        rig.keyer.wk_open(5);
        QCOMPARE(rig.finished.size(), 2);
        QCOMPARE(rig.finished.at(1).at(0).toInt(), int(WinKeyer::AlreadyOpen));
        QCOMPARE(rig.finished.at(1).at(1).toInt(), 31);

        rig.keyer.wk_close();
        QVERIFY(!rig.keyer.isOpen());
        QTRY_VERIFY(!rig.emulator.isHostOpen());
        QVERIFY(rig.emulator.received().endsWith(QByteArray::fromHex("0003")));
    }

    void failuresWithinTheTimeLimit_data()
    {
        QTest::addColumn<int>("port");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<int>("code");
        QTest::newRow("no device for the port") << 3 << false << int(WinKeyer::ComOpenFailed);
        QTest::newRow("port 0") << 0 << false << int(WinKeyer::ComOpenFailed);
        QTest::newRow("nothing answers") << 5 << true << int(WinKeyer::NoEchoResponse);
    }
    void failuresWithinTheTimeLimit()
    {
        QFETCH(int, port);
        QFETCH(bool, silent);
        QFETCH(int, code);
        Rig rig;
        START(rig);
        rig.emulator.setSilent(silent);
        rig.keyer.wk_open(port);
        if (rig.finished.isEmpty()) {
            QVERIFY(rig.keyer.isOpening());
            rig.clock.advanceMs(WinKeyer::kAnswerTimeoutMs - 1);
            QVERIFY(!rig.finished.wait(100));  // not a moment early
            rig.clock.advanceMs(1);
            QVERIFY(rig.finished.wait(1000));
        }
        QCOMPARE(rig.finished.at(0).at(0).toInt(), code);
        QCOMPARE(rig.finished.at(0).at(1).toInt(), 0);
        QVERIFY(!rig.keyer.isOpen());
        QVERIFY(!rig.keyer.isOpening());
        QCOMPARE(WinKeyer::openCodeText(code).isEmpty(), false);
    }

    void waitsForTheSharedPortToBeFreed()
    {
        Rig rig;
        START(rig);
        // The CW key line still holds the port when the keyer asks for it.
        auto *line = new QSerialPort(rig.emulator.hostDevice(), &rig.keyer);
        QVERIFY(line->open(QIODevice::ReadWrite));
        rig.keyer.setReleaseSharedPorts([line] { QTimer::singleShot(30, line, [line] { line->close(); }); });
        rig.keyer.wk_open(5);
        QVERIFY(rig.keyer.isOpening());
        QVERIFY(rig.finished.wait(3000));
        QCOMPARE(rig.finished.at(0).at(0).toInt(), int(WinKeyer::Success));

        // Held for good: "Com Open Failed" once the moment is over.
        rig.keyer.wk_close();
        QVERIFY(line->open(QIODevice::ReadWrite));
        rig.keyer.setReleaseSharedPorts({});
        rig.keyer.wk_open(5);
        QVERIFY(!rig.finished.wait(100));
        rig.clock.advanceMs(WinKeyer::kPortBusyMs);
        QVERIFY(rig.finished.wait(1000));
        QCOMPARE(rig.finished.at(1).at(0).toInt(), int(WinKeyer::ComOpenFailed));
    }

    void unpluggedKeyerCountsAsClosed()
    {
        Rig rig;
        START(rig);
        QVERIFY(rig.open());
        rig.keyer.wk_char('E');
        QSignalSpy closed(&rig.keyer, &WinKeyer::closed);
        rig.emulator.unplug();
        rig.keyer.wk_char('T');  // writing to the vanished device must not bring us down
        QVERIFY(closed.wait(3000));
        QVERIFY(!rig.keyer.isOpen());
        QCOMPARE(rig.keyer.wk_getstatus(), 0);
    }

    void openCodeTexts()
    {
        const QStringList texts{"WK Success!", "No Echo Response", "Echo Mismatch",
                                "No Open Response", "Com Open Failed", "Get Com ST Failed",
                                "Set Com ST Failed", "", "WK Already Open", "WK Not Open", ""};
        for (int code = 0; code < texts.size(); ++code)
            QCOMPARE(WinKeyer::openCodeText(code), texts[code]);
    }

    void charactersCountUntilEchoed()
    {
        Rig rig;
        START(rig);
        QVERIFY(rig.open());
        rig.keyer.wk_setmode(0);
        rig.keyer.wk_wpm(99);
        QTRY_COMPARE(rig.emulator.speed(), 99);
        QCOMPARE(rig.emulator.mode(), 0x04);  // serial echo always on
        for (char c : QByteArray("CQ"))
            rig.keyer.wk_char(quint8(c));
        rig.keyer.wk_char(13);  // never reaches the keyer
        QCOMPARE(rig.keyer.wk_getstatus(), 2);
        QTRY_COMPARE(rig.emulator.keyed(), QByteArray("CQ"));
        QTRY_COMPARE(rig.keyer.wk_getstatus(), 0);
        QVERIFY(!rig.emulator.received().contains('\r'));
    }

    void xoffHoldsTheStatusAtFive()
    {
        Rig rig;
        START(rig);
        QVERIFY(rig.open());
        rig.emulator.holdXoff(true);
        QTRY_VERIFY(rig.keyer.xoff());
        QCOMPARE(rig.keyer.wk_getstatus(), WinKeyer::kBusyStatus);
        rig.emulator.holdXoff(false);
        QTRY_VERIFY(!rig.keyer.xoff());
        QCOMPARE(rig.keyer.wk_getstatus(), 0);
    }

    void clearAndBackspace()
    {
        Rig rig;
        START(rig);
        QVERIFY(rig.openHoldingTest());
        rig.keyer.wk_backspace();
        QCOMPARE(rig.keyer.pending(), 3);
        QTRY_COMPARE(rig.emulator.buffered(), QByteArray("TES"));
        rig.keyer.wk_clearbuf();
        QCOMPARE(rig.keyer.wk_getstatus(), 0);
        QTRY_COMPARE(rig.emulator.clears(), 1);
        QCOMPARE(rig.emulator.buffered(), QByteArray());
    }

    // Line noise is no echo and makes no room in the keyer; an echo whose forerunners were
    // lost still counts them as keyed.
    void noiseIsNotAnEcho()
    {
        Rig rig;
        START(rig);
        QSignalSpy echoes(&rig.keyer, &WinKeyer::echoed);
        QVERIFY(rig.openHoldingTest());
        rig.emulator.sendRaw(QByteArray("xqz\x01\x7f", 5));
        QTest::qWait(150);
        QCOMPARE(rig.keyer.pending(), 4);
        QCOMPARE(echoes.size(), 0);
        rig.emulator.sendRaw("s");
        QTRY_COMPARE(rig.keyer.pending(), 1);
        QCOMPARE(echoes.size(), 1);
    }

    void settingsBytes()
    {
        Rig rig;
        START(rig);
        QVERIFY(rig.open());
        rig.emulator.clearRecord();
        rig.keyer.wk_wpm(25);
        rig.keyer.wk_weight(55);
        rig.keyer.wk_ptt_leadtail(2, 4);
        rig.keyer.wk_ditdah_ratio(32);
        rig.keyer.wk_pincfg(5);
        rig.keyer.wk_setmode(16);
        QTRY_COMPARE(rig.emulator.received().toHex(), QByteArray("0219033704020417200905") + "0e14");
    }

    void statusPollSettlesAnUnechoedCount()
    {
        Rig rig;
        START(rig);
        QVERIFY(rig.open());
        rig.keyer.wk_wpm(99);
        rig.keyer.wk_char('E');  // mode never set: the keyer echoes nothing
        QTRY_COMPARE(rig.emulator.keyed(), QByteArray("E"));
        QCOMPARE(rig.keyer.wk_getstatus(), 1);
        rig.clock.advanceMs(WinKeyer::kStatusPollMs);
        QTRY_COMPARE(rig.keyer.wk_getstatus(), 0);
        QVERIFY(rig.emulator.received().endsWith(QByteArray::fromHex("15")));
    }

    void speedPot()
    {
        Rig rig;
        START(rig);
        QVERIFY(rig.open());
        QSignalSpy pot(&rig.keyer, &WinKeyer::speedPotChanged);
        rig.emulator.moveSpeedPot(20);
        QVERIFY(pot.wait(2000));
        QCOMPARE(rig.keyer.speedPot(), 20);
        QCOMPARE(rig.keyer.wk_getstatus(), 0);  // not taken for an echo
    }
};

QTEST_GUILESS_MAIN(TestWinKeyer)
#include "tst_winkeyer.moc"
