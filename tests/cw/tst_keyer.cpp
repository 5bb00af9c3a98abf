#include "cw/keyerthread.h"
#include "cw/morse.h"
#include "fakekeyline.h"
#include "fakes.h"
#include "platform/keyline.h"
#include "platform/portmap.h"

#include <QDir>
#include <QSignalSpy>
#include <QtTest>

class TestKeyer : public QObject {
    Q_OBJECT
private slots:
    void morseUnits_data();
    void morseUnits();
    void everyCharacterIsWellFormed();
    void wordSpace_data();
    void wordSpace();

    void keysUnitsOnTime();
    void changesBetweenCharacters_data();
    void changesBetweenCharacters();
    void speedChangesAtNextElement();
    void logMarkOnceAtItsPlace();
    void failedOpenKeysNothing();
    void closeAndPttTogetherBothHappen();
    void noSpeedKeysNothing_data();
    void noSpeedKeysNothing();
    void lostAdapterReopensOnTheNextMessage();
    void serialPortZeroTimesWithoutKeying();
    void loopMethodCounts_data();
    void loopMethodCounts();

    void portMap_data();
    void portMap();
    void parallelFromKernelList();
    void realLinesFailCleanly_data();
    void realLinesFailCleanly();
};

void TestKeyer::morseUnits_data()
{
    QTest::addColumn<QString>("c");
    QTest::addColumn<QString>("units");
    QTest::newRow("A") << "A" << "10111000";
    QTest::newRow("a folds") << "a" << "10111000";
    QTest::newRow("0") << "0" << "1110111011101110111000";
    QTest::newRow("E") << "E" << "1000";
    QTest::newRow("Q") << "Q" << "1110111010111000";
    QTest::newRow(".") << "." << "10111010111010111000";
    QTest::newRow(",") << "," << "1110111010101110111000";
    QTest::newRow("?") << "?" << "101011101110101000";
    QTest::newRow("/") << "/" << "1110101011101000";
    QTest::newRow("- is BT") << "-" << "1110101010111000";
    QTest::newRow("=") << "=" << "1110101010111000";
    QTest::newRow("[ AR") << "[" << "1011101011101000";
    QTest::newRow("] SK") << "]" << "101010111010111000";
    QTest::newRow("; KN") << ";" << "111010111011101000";
    QTest::newRow("\\ CL") << "\\" << "111010111010101110101000";
    QTest::newRow("space") << " " << "00000000";
    QTest::newRow("log mark") << "!" << "";
    QTest::newRow("percent") << "%" << "";
    QTest::newRow("ampersand") << "&" << "";
    QTest::newRow("accented not folded") << QString(QChar(0xe9)) << "";
}

void TestKeyer::morseUnits()
{
    QFETCH(QString, c);
    QFETCH(QString, units);
    QCOMPARE(morse::units(c.at(0)), units);
}

void TestKeyer::everyCharacterIsWellFormed()
{
    // 26 letters, 10 digits and the 10 signs; each is dots and dashes parted by one unit and
    // closed by three, and the lower-case letter keys as its capital.
    const QString known = morse::knownCharacters();
    QCOMPARE(known.size(), 46);
    QRegularExpression shape(QStringLiteral("^(1|111)(0(1|111))*000$"));
    for (QChar c : known) {
        QVERIFY2(shape.match(morse::units(c)).hasMatch(), qPrintable(QString(c)));
        if (c.isLetter())
            QCOMPARE(morse::units(c.toLower()), morse::units(c));
    }
}

void TestKeyer::wordSpace_data()
{
    QTest::addColumn<int>("space");
    QTest::addColumn<int>("pause");
    QTest::newRow("0") << 0 << 8;
    QTest::newRow("2") << 2 << 10;
    QTest::newRow("-3") << -3 << 5;
    QTest::newRow("-8 floor") << -8 << 0;
    QTest::newRow("-12 below floor") << -12 << 0;
}

void TestKeyer::wordSpace()
{
    QFETCH(int, space);
    QFETCH(int, pause);
    QCOMPARE(morse::unitsWithWordSpace(QLatin1Char(' '), space), QString(pause, QLatin1Char('0')));
    QCOMPARE(morse::unitsWithWordSpace(QLatin1Char('A'), space), QStringLiteral("10111000"));
}

namespace {

struct Rig {
    FakeKeyTiming timing;
    RecordingKeyLines lines{&timing};
    KeyerThread keyer{lines, timing};
    QSignalSpy sending{&keyer, &CwSender::sendingChanged};

    explicit Rig(KeyLineKind kind = KeyLineKind::SerialRts, int port = 1, int wordSpace = 0)
    {
        KeyerSettings s;
        s.line = kind;
        s.port = port;
        s.wordSpace = wordSpace;
        keyer.setSettings(s);
        keyer.setSpeed(20);
    }
    bool finish()
    {
        return QTest::qWaitFor([this] {
            return !keyer.isSending() && !sending.isEmpty() && !sending.last().at(0).toBool();
        });
    }
};

}  // namespace

void TestKeyer::keysUnitsOnTime()
{
    Rig rig(KeyLineKind::SerialRts, 1, 0);
    rig.keyer.send(QStringLiteral("a b"));
    QVERIFY(rig.keyer.isSending());
    QVERIFY(rig.finish());
    QCOMPARE(rig.lines.log->units(),
             QStringLiteral("10111000") + QStringLiteral("00000000") + QStringLiteral("111010101000"));
    // At 20 WPM every unit is 60 ms after the one before, on one unbroken timeline.
    const auto events = rig.lines.log->events;
    for (int i = 1; i < events.size(); ++i)
        QCOMPARE(events[i].ns - events[i - 1].ns, qint64(60000000));
    QCOMPARE(rig.sending.count(), 2);
    QVERIFY(!rig.lines.log->events.last().down);
}

void TestKeyer::changesBetweenCharacters_data()
{
    // What happens at the third wait of "AB" (inside the A), and what the line then keys.
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("keyed");
    QTest::newRow("function key replaces") << "send E" << "10111000" "1000";
    QTest::newRow("Esc empties") << "stop" << "10111000";
    QTest::newRow("typed text appends") << "append T" << "10111000" "111010101000" "111000";
    QTest::newRow("backspace takes back") << "backspace" << "10111000";
}

void TestKeyer::changesBetweenCharacters()
{
    QFETCH(QString, action);
    QFETCH(QString, keyed);
    Rig rig;
    rig.timing.onWait = [&rig, action](int wait) {
        if (wait != 3)
            return;
        if (action == QLatin1String("send E"))
            rig.keyer.send(QStringLiteral("E"));
        else if (action == QLatin1String("stop"))
            rig.keyer.stop();
        else if (action == QLatin1String("append T"))
            rig.keyer.append(QStringLiteral("T"));
        else
            QVERIFY(rig.keyer.backspace());
    };
    rig.keyer.send(QStringLiteral("AB"));
    QVERIFY(rig.finish());
    QCOMPARE(rig.lines.log->units(), keyed);
    QVERIFY(!rig.lines.log->events.last().down);
    QVERIFY(!rig.keyer.backspace());
}

void TestKeyer::speedChangesAtNextElement()
{
    Rig rig;
    rig.timing.onWait = [&rig](int wait) {
        if (wait == 2)
            rig.keyer.setSpeed(40);
    };
    rig.keyer.send(QStringLiteral("T"));  // 111000
    QVERIFY(rig.finish());
    const auto e = rig.lines.log->events;
    QCOMPARE(e.size(), 6);
    QCOMPARE(e[1].ns - e[0].ns, qint64(60000000));
    QCOMPARE(e[2].ns - e[1].ns, qint64(60000000));
    QCOMPARE(e[3].ns - e[2].ns, qint64(30000000));
    QCOMPARE(rig.keyer.speed(), 40);
}

void TestKeyer::logMarkOnceAtItsPlace()
{
    Rig rig;
    QStringList order;
    connect(&rig.keyer, &CwSender::charKeyed, this,
            [&order](QChar c, const QString &) { order << QString(c); });
    connect(&rig.keyer, &CwSender::logMarkReached, this, [&order] { order << QStringLiteral("LOG"); });
    rig.keyer.send(QStringLiteral("TU!E"));
    QVERIFY(rig.finish());
    QCOMPARE(order, QStringList({"T", "U", "LOG", "!", "E"}));
    // The mark keys nothing: T, U and E only.
    QCOMPARE(rig.lines.log->units(), QStringLiteral("111000" "1010111000" "1000"));
}

// The external keyer takes a port: the key line closes and PTT is let go of in one breath,
// while a character is being keyed. Both requests reach the line thread.
void TestKeyer::closeAndPttTogetherBothHappen()
{
    Rig rig(KeyLineKind::SerialRts, 1);
    rig.keyer.setPtt(KeyLineKind::SerialDtr, 2, true);
    QTRY_COMPARE(rig.lines.log->openLines, 1);
    std::atomic<bool> asked{false};
    rig.timing.onWait = [&rig, &asked](int) {
        if (!asked.exchange(true)) {
            rig.keyer.closeLine();
            rig.keyer.setPtt(KeyLineKind::None, 0, false);
        }
    };
    rig.keyer.send(QStringLiteral("E"));
    QVERIFY(rig.finish());
    QVERIFY(asked.load());
    QTRY_COMPARE(rig.lines.log->openLines, 0);
}

void TestKeyer::noSpeedKeysNothing_data()
{
    QTest::addColumn<int>("wpm");
    QTest::newRow("zero") << 0;
    QTest::newRow("negative") << -1;
}
void TestKeyer::noSpeedKeysNothing()
{
    QFETCH(int, wpm);
    Rig rig(KeyLineKind::SerialRts, 1);
    rig.keyer.setSpeed(wpm);
    rig.keyer.send(QStringLiteral("EE"));
    QVERIFY(rig.finish());
    QVERIFY2(!rig.lines.log->units().contains(u'1'), qPrintable(rig.lines.log->units()));
}

void TestKeyer::failedOpenKeysNothing()
{
    Rig rig;
    rig.lines.failOpen = true;
    QSignalSpy failed(&rig.keyer, &KeyerThread::lineFailed);
    rig.keyer.send(QStringLiteral("CQ CQ"));
    QVERIFY(rig.finish());
    QCOMPARE(failed.count(), 1);
    // The message names the device the port opens (port 1: the first serial port).
    QVERIFY(failed.first().at(0).toString().contains(QLatin1String("/dev/ttyS0")));
    QVERIFY(rig.lines.log->events.isEmpty());
    QCOMPARE(rig.lines.log->openLines, 0);
    QCOMPARE(rig.keyer.unsent(), QString());

    // The operator corrects the port: the next message keys.
    rig.lines.failOpen = false;
    QSignalSpy opened(&rig.keyer, &KeyerThread::lineOpened);
    rig.keyer.openLine();
    QVERIFY(opened.wait());
    rig.keyer.send(QStringLiteral("E"));
    QVERIFY(rig.finish());
    QCOMPARE(rig.lines.log->units(), QStringLiteral("1000"));
}

// An adapter pulled out while keying: said once, the rest dropped, and the next message opens
// the device again by itself (no trip through the setup window).
void TestKeyer::lostAdapterReopensOnTheNextMessage()
{
    Rig rig;
    QSignalSpy lost(&rig.keyer, &KeyerThread::lineLost);
    QSignalSpy failed(&rig.keyer, &KeyerThread::lineFailed);
    rig.keyer.send(QStringLiteral("E"));
    QVERIFY(rig.finish());
    rig.lines.log->unplugged = true;
    rig.sending.clear();
    rig.keyer.send(QStringLiteral("CQ CQ"));
    QVERIFY(rig.finish());
    QCOMPARE(lost.count(), 1);
    QVERIFY(lost.first().at(0).toString().contains(QLatin1String("Input/output error")));
    QCOMPARE(rig.keyer.unsent(), QString());
    QCOMPARE(rig.lines.log->openLines, 0);

    rig.lines.log->unplugged = false;
    rig.lines.log->clear();
    rig.sending.clear();
    rig.keyer.send(QStringLiteral("E"));
    QVERIFY(rig.finish());
    QCOMPARE(rig.lines.log->units(), QStringLiteral("1000"));
    QCOMPARE(rig.lines.log->opened.size(), 2);
    QCOMPARE(lost.count(), 1);
    QCOMPARE(failed.count(), 0);
}

void TestKeyer::serialPortZeroTimesWithoutKeying()
{
    Rig rig(KeyLineKind::SerialDtr, 0);
    QSignalSpy failed(&rig.keyer, &KeyerThread::lineFailed);
    rig.keyer.send(QStringLiteral("E"));
    QVERIFY(rig.finish());
    QCOMPARE(rig.timing.waits.load(), 4);
    QCOMPARE(rig.lines.created.load(), 0);
    QCOMPARE(failed.count(), 0);
}

void TestKeyer::loopMethodCounts_data()
{
    QTest::addColumn<double>("loops");
    QTest::newRow("calibrated") << 600000.0;
    // No count yet: the keyer counts one itself rather than key at no length at all.
    QTest::newRow("no count") << 0.0;
}
void TestKeyer::loopMethodCounts()
{
    QFETCH(double, loops);
    Rig rig;
    KeyerSettings s = rig.keyer.settings();
    s.method = KeyTiming::Method::Loop;
    s.loopsPer60ms = loops;
    rig.keyer.setSettings(s);
    rig.keyer.send(QStringLiteral("E"));
    QVERIFY(rig.finish());
    QCOMPARE(rig.timing.lastMethod.load(), KeyTiming::Method::Loop);
    // 600000 loops per 60 ms at 20 WPM: one 60 ms unit each.
    const auto e = rig.lines.log->events;
    QCOMPARE(e[1].ns - e[0].ns, qint64(60000000));
}

void TestKeyer::portMap_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("device");
    QTest::newRow("default first") << "" << 1 << "/dev/ttyS0";
    QTest::newRow("default fifth") << "" << 5 << "/dev/ttyS4";
    QTest::newRow("none") << "" << 0 << "";
    QTest::newRow("override") << "5=/dev/ttyUSB0" << 5 << "/dev/ttyUSB0";
    QTest::newRow("others default") << "5=/dev/ttyUSB0" << 4 << "/dev/ttyS3";
    QTest::newRow("by-id") << "2=/dev/serial/by-id/usb-FTDI_A1-if00-port0;7=/dev/pts/3" << 2
                           << "/dev/serial/by-id/usb-FTDI_A1-if00-port0";
    QTest::newRow("damaged entry skipped") << "x=/dev/a;7=/dev/pts/3" << 7 << "/dev/pts/3";
}

void TestKeyer::portMap()
{
    QFETCH(QString, stored);
    QFETCH(int, port);
    QFETCH(QString, device);
    FakeSettingsStore store;
    store.setValue(QString::fromLatin1(PortMap::kSerialKey), stored);
    PortMap map;
    map.load(store);
    QCOMPARE(map.serialDevice(port), device);

    // What is saved loads back the same.
    FakeSettingsStore again;
    map.save(again);
    PortMap copy;
    copy.load(again);
    QCOMPARE(copy.serialOverrides(), map.serialOverrides());
}

void TestKeyer::parallelFromKernelList()
{
    TestEnv env;
    QDir(env.path()).mkpath(QStringLiteral("parport/parport1"));
    env.write(QStringLiteral("parport/parport1/base-addr"), "888\t1912\n");
    PortMap map;
    map.setParportInfoRoot(env.file(QStringLiteral("parport")));
    int address = 0;
    QVERIFY(parsePortAddress(QStringLiteral("&H378"), address));
    QCOMPARE(address, 888);
    QCOMPARE(map.parallelDevice(address), QStringLiteral("/dev/parport1"));
    QCOMPARE(map.parallelDevice(0x278), QStringLiteral("/dev/parport1"));  // usual assignment
    QCOMPARE(map.parallelDevice(0x123), QString());
    map.setParallelDevice(888, QStringLiteral("/dev/parport3"));
    QCOMPARE(map.parallelDevice(888), QStringLiteral("/dev/parport3"));
    QVERIFY(!parsePortAddress(QStringLiteral("&HXYZ"), address));
    QVERIFY(parsePortAddress(QStringLiteral("632"), address));
    QCOMPARE(address, 632);
}

void TestKeyer::realLinesFailCleanly_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("device");
    QTest::newRow("serial missing") << int(KeyLineKind::SerialRts) << "nodevice";
    QTest::newRow("parallel missing") << int(KeyLineKind::Parallel) << "nodevice";
    QTest::newRow("parallel not a port") << int(KeyLineKind::Parallel) << "plainfile";
}

void TestKeyer::realLinesFailCleanly()
{
    QFETCH(int, kind);
    QFETCH(QString, device);
    TestEnv env;
    env.write(QStringLiteral("plainfile"), "x");
    PortMap map;
    map.setSerialDevice(3, env.file(device));
    map.setParallelDevice(3, env.file(device));
    RealKeyLines factory;
    auto line = factory.create(KeyLineKind(kind), map);
    QVERIFY(!line->open(3));
    QVERIFY(!line->isOpen());
    QVERIFY(line->errorText().startsWith(env.file(device)));
    line->setKey(true);  // ignored while closed
    QVERIFY(!line->isOpen());
}

QTEST_GUILESS_MAIN(TestKeyer)
#include "tst_keyer.moc"
