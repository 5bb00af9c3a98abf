// Check partial, call history and rig control as the operator meets them in the main window.
#include "mainwindowharness.h"
#include "reports/reportcontext.h"
#include "bandmap/bandmaprow.h"
#include "bandmap/bandmaps.h"
#include "bandmap/spotpanel.h"
#include "platform/childprocess.h"
#include "rig/riglink.h"
#include "shell/bandmapwiring.h"
#include "spotting/packetspotfrm.h"
#include "spotting/spotstore.h"
#include "rigctldpeer.h"
#include "shell/callhistorywiring.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

class TestExtras : public QObject {
    Q_OBJECT

private slots:
    void checkPartialLine();
    void prefillSelectedByMouse_data();
    void prefillSelectedByMouse();
    void portableCallUsesTheBaseCall();
    void callHistoryPrefill_data();
    void callHistoryPrefill();
    void rigInTheMainWindow();
    void spotsAndSpotLastUseTheRig();
    void rigOffTheBandAndDataModes();
    void rigctldStartedFromOptions();
    void rigctldFailureSaysWhy();
    void rigctldEndsWithTheLogger();
};

namespace {
// The main window with rig control on a real rigctld (Hamlib's dummy rig), following its mode.
struct RiggedWindow {
    RigctldPeer rigctld;
    RigLink link;
    MainWindowHarness h;
    bool start()
    {
        if (!rigctld.start())
            return false;
        h.rig = &link;
        h.settings.values["RigControl"] = QString("127.0.0.1:%1").arg(rigctld.port());
        h.settings.values["FollowRigMode"] = "1";
        h.writePreferences();
        h.start(false);
        return true;
    }
};
}  // namespace

void TestExtras::checkPartialLine()
{
    MainWindowHarness h;
    h.settings.values["CheckPartial"] = "1";
    h.writePreferences();
    h.writeLog({MainWindowHarness::rec("W1XYZ")});
    h.env.write("Documents/Korvex Software/Shared/MASTER.SCP", "# test list\r\nW1XYZ\r\nK1XYA\r\nN2ABC\r\n");
    h.start();
    QLabel *line = h.find<QLabel>("lblCheckPartial");
    h.type("txtCall", "1");
    QCOMPARE(line->text(), QString());
    QTest::keyClicks(h.field("txtCall"), "XY");
    QCOMPARE(line->text(), QString("K1XYA (W1XYZ)"));
    QVERIFY(line->isVisible());

    // A contact logged now is marked from the next call on.
    h.field("txtCall")->clear();
    h.logContact("K1XYA", "AL", "NY", "5");
    QCOMPARE(h.window->logStore().count(), 2);
    h.type("txtCall", "XY");
    QCOMPARE(line->text(), QString("(K1XYA) (W1XYZ)"));

    // Switched off: the line goes, and the choice is kept.
    h.window->findChild<QAction *>("mnuCheckPartial")->trigger();
    QCOMPARE(h.settings.values["CheckPartial"], QString("0"));
    QTest::keyClick(h.field("txtCall"), Qt::Key_Backspace);
    QVERIFY(!line->isVisible());
    QCOMPARE(line->text(), QString());
}

void TestExtras::callHistoryPrefill_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("typedName");  // typed before the call
    QTest::addColumn<bool>("historyOn");
    QTest::addColumn<QStringList>("fields");  // name, ST/Cntry, 10-10 # after Space
    QTest::addColumn<QString>("status");

    QTest::newRow("filled from the backup log")
        << "K1ABC" << "" << true << QStringList{"JOE", "MA", "55"}
        << "Call history: 202501010000.log, contact of 2025/08/02 10:00:00";
    QTest::newRow("typed name kept") << "K1ABC" << "JOSEPH" << true << QStringList{"JOSEPH", "MA", "55"}
                                     << "Call history: 202501010000.log, contact of 2025/08/02 10:00:00";
    QTest::newRow("prefix country replaced by the province sent")
        << "VE3XX" << "" << true << QStringList{"PAT", "ON", "None"}
        << "Call history: calls.txt";
    QTest::newRow("unknown call") << "W9ZZZ" << "" << true << QStringList{"", "", ""} << " ";
    QTest::newRow("switched off") << "K1ABC" << "" << false << QStringList{"", "", ""} << " ";
}

// A click into a pre-filled field selects it whole as Tab does: typing replaces the proposal
// instead of landing inside it.
void TestExtras::prefillSelectedByMouse_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("name") << "txtRSTR" << "carl" << "CARL";
    QTest::newRow("state") << "txtCntry" << "or" << "OR";
}
void TestExtras::prefillSelectedByMouse()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    MainWindowHarness h;
    h.settings.values["CallHistory"] = "1";
    h.env.write("calls.txt", "!!Order!!,Call,Name,State,Exch1\r\nN5BBB,CHUCK,WA,7\r\n");
    h.settings.values["CallHistoryFile"] = h.env.file("calls.txt");
    h.writePreferences();
    h.start(false);
    QTRY_VERIFY(h.window->findChild<CallHistoryWiring *>("CallHistoryWiring")->ready());
    h.type("txtCall", "n5bbb");
    QLineEdit *target = h.field(field);
    // The click lands in the middle of the call field's neighbour, then moves the focus.
    QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(target->width() / 2, target->height() / 2));
    QCoreApplication::processEvents();
    QCOMPARE(h.focusName(), field);
    QTest::keyClicks(target, typed);
    QCOMPARE(target->text(), expected);
}

// A portable call is known by its base call.
void TestExtras::portableCallUsesTheBaseCall()
{
    MainWindowHarness h;
    h.settings.values["CallHistory"] = "1";
    h.env.write("calls.txt", "!!Order!!,Call,Name,State,Exch1\r\nW2ABC,JIM,NJ,77\r\n");
    h.settings.values["CallHistoryFile"] = h.env.file("calls.txt");
    h.writePreferences();
    h.start(false);
    QTRY_VERIFY(h.window->findChild<CallHistoryWiring *>("CallHistoryWiring")->ready());
    h.type("txtCall", "w2abc/4");
    h.key(Qt::Key_Space);
    QCOMPARE(h.field("txtRSTR")->text(), QString("JIM"));
    QCOMPARE(h.field("txtRSTS")->text(), QString("77"));
}

void TestExtras::callHistoryPrefill()
{
    QFETCH(QString, call);
    QFETCH(QString, typedName);
    QFETCH(bool, historyOn);
    QFETCH(QStringList, fields);
    QFETCH(QString, status);
    MainWindowHarness h;
    h.settings.values["CallHistory"] = historyOn ? "1" : "0";
    h.env.write("calls.txt", "!!Order!!,Call,Name,State,Exch1\r\nVE3XX,PAT,ON,None\r\nK1ABC,OLD,NH,1\r\n");
    h.settings.values["CallHistoryFile"] = h.env.file("calls.txt");
    h.writePreferences();
    QsoRecord old = MainWindowHarness::rec("K1ABC", "MA", "55");
    old.name = "JOE";
    old.date = "2025/08/02";
    old.time = "10:00:00";
    QDir().mkpath(h.env.file("Documents/Korvex Software/Vardel/BACKUP"));
    h.env.write("Documents/Korvex Software/Vardel/BACKUP/202501010000.log", LogStore::formatLine(old));
    h.start(false);
    auto *extras = h.window->findChild<CallHistoryWiring *>("CallHistoryWiring");
    if (historyOn)
        QTRY_VERIFY(extras->ready());
    if (!typedName.isEmpty())
        h.type("txtRSTR", typedName);
    h.type("txtCall", call);
    h.key(Qt::Key_Space);
    QCOMPARE((QStringList{h.field("txtRSTR")->text(), h.field("txtCntry")->text(), h.field("txtRSTS")->text()}),
             fields);
    QCOMPARE(h.label("lblDialog"), status);
    if (!fields.first().isEmpty() && typedName.isEmpty()) {
        // Pre-filled text is selected: typing replaces it.
        QCOMPARE(h.field("txtRSTR")->selectedText(), fields.first());
        QTest::keyClicks(h.field("txtRSTR"), "AL");
        QCOMPARE(h.field("txtRSTR")->text(), QString("AL"));
    }
}

void TestExtras::rigInTheMainWindow()
{
    if (!RigctldPeer::available())
        QSKIP(RigctldPeer::missing());
    RiggedWindow r;
    QVERIFY(r.start());
    RigctldPeer &rigctld = r.rigctld;
    RigLink &link = r.link;
    MainWindowHarness &h = r.h;
    QLabel *rigLine = h.find<QLabel>("lblRig");
    QVERIFY(rigLine->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(rigLine->text().contains(" kHz"), 10000);

    // Tuned from outside (a band-map spot) and turned at the rig.
    QVERIFY(link.tune(28018000));
    QTRY_VERIFY(rigLine->text().startsWith("Rig: 28018.00 kHz"));
    QVERIFY(rigctld.command("M USB 0\n"));
    QTRY_COMPARE(h.window->preferences().currentMode, QString("PH"));
    QVERIFY(rigctld.command("M CW 0\n"));
    QTRY_COMPARE(h.window->preferences().currentMode, QString("CW"));
    QVERIFY(rigctld.command("M PKTUSB 0\n"));
    QTRY_COMPARE(link.mode(), QString("PKTUSB"));
    QTRY_COMPARE(h.window->preferences().currentMode, QString("DG"));

    // The rig goes away: the line says so, and logging goes on without it.
    rigctld.stop();
    QTRY_COMPARE(rigLine->text(), QString("Rig: not connected"));
    h.logContact("W1AW", "HIRAM", "CT", "1");
    QCOMPARE(h.window->logStore().count(), 1);

    // Switched off from the menu.
    h.dialogs.inputAnswers.enqueue("off");
    h.window->findChild<QAction *>("mnuRigControl")->trigger();
    QVERIFY(!rigLine->isVisible());
    QVERIFY(!link.isActive());
    QCOMPARE(h.settings.values["RigControl"], QString());
}

// A rig outside 10 m is said in the status line, and again when a contact is logged there (it is
// logged); a data mode puts the logger in DG when it follows the rig.
void TestExtras::rigOffTheBandAndDataModes()
{
    if (!RigctldPeer::available())
        QSKIP(RigctldPeer::missing());
    RiggedWindow r;
    QVERIFY(r.start());
    RigctldPeer &rigctld = r.rigctld;
    RigLink &link = r.link;
    MainWindowHarness &h = r.h;
    QTRY_VERIFY_WITH_TIMEOUT(link.isConnected(), 10000);
    QVERIFY(rigctld.command("F 28400000\n"));
    QTRY_COMPARE_WITH_TIMEOUT(link.frequencyHz(), qint64(28400000), 10000);
    h.logContact("W1AW", "HIRAM", "CT", "1");
    QVERIFY(!h.label("lblDialog").contains("outside 10 m"));

    QVERIFY(rigctld.command("F 14250000\n"));
    QTRY_COMPARE_WITH_TIMEOUT(h.label("lblDialog"),
                              QString("The rig is on 14.250 MHz, outside 10 m (28.000 to 29.700 MHz)."), 10000);
    h.logContact("K5ABC", "BOB", "TX", "2");
    QCOMPARE(h.window->logStore().count(), 2);
    QCOMPARE(h.label("lblDialog"), QString("Logged, but the rig is on 14.250 MHz, outside 10 m (28.000 to 29.700 MHz)."));

    QVERIFY(rigctld.command("M PKTUSB 0\n"));
    QTRY_COMPARE_WITH_TIMEOUT(h.window->preferences().currentMode, QString("DG"), 10000);
}

void TestExtras::spotsAndSpotLastUseTheRig()
{
    if (!RigctldPeer::available())
        QSKIP(RigctldPeer::missing());
    RigctldPeer rigctld;
    QVERIFY(rigctld.start());
    RigLink link;
    MainWindowHarness h;
    h.rig = &link;
    h.settings.values["RigControl"] = QString("127.0.0.1:%1").arg(rigctld.port());
    h.writePreferences();
    Form1 &form = h.start(false);
    form.bandMaps().PacketResize(false, SpotPanel::Display::BandMap);
    auto *strip = h.find<BandMapRow>("lblDX");
    h.logContact("W1AW", "HIRAM", "CT", "1");

    // Before the rig answers, Spot Last asks for the frequency as it always did.
    form.findChild<QAction *>("mnuDXSpotting")->trigger();
    auto *spotting = form.findChild<PacketSpotfrm *>();
    QVERIFY(spotting);
    auto *sent = spotting->findChild<QLineEdit *>("txtSent");
    if (!link.isConnected()) {
        spotting->Command3_Click();
        QCOMPARE(sent->text(), QString("DX Frequency in kHz W1AW"));
    }
    QTRY_VERIFY_WITH_TIMEOUT(link.frequencyHz() > 0, 10000);

    // A right click on a spot tunes the rig to it, to the tenth of a kHz.
    form.spotStore().BandMapSpots("JA1XYZ", "28425.7", "de W3LPL:  28425.7  JA1XYZ  CQ  1423Z");
    form.spotStore().BandMapSpots("K5ABC", "28500.0", "de W3LPL:  28500.0  K5ABC  CQ  1424Z");
    QTest::mouseClick(strip, Qt::RightButton, {}, strip->spotRect(48).center());
    QTRY_COMPARE(link.frequencyHz(), qint64(28425700));
    QCOMPARE(h.field("txtCall")->text(), QString("JA1XYZ"));

    spotting->Command3_Click();
    QCOMPARE(sent->text(), QString("DX 28425.7 W1AW"));
    spotting->cmdDone_Click();

    // A contact logged while the rig is on the spot keeps its frequency beside the log, and the
    // reports take it from there.
    QApplication::setActiveWindow(&form);
    h.field("txtRSTR")->setFocus();
    h.key(Qt::Key_Escape);  // the picked call leaves the entry line: typed again below
    h.logContact("JA1XYZ", "TARO", "", "7");
    QCOMPARE(h.logLines().size(), 2);
    QVERIFY(h.env.read("logfreq.txt").contains("\"JA1XYZ\""));
    QVERIFY(h.env.read("logfreq.txt").contains(",28425700,"));
    const ReportContext ctx = form.reportContext();
    QCOMPARE(ctx.frequencyOf(form.logStore().record(form.logStore().count())), qint64(28425700));
}

void TestExtras::rigctldStartedFromOptions()
{
    if (!RigctldPeer::available())
        QSKIP(RigctldPeer::missing());
    const quint16 port = RigctldPeer().port();  // a free port, nothing started on it
    RealChildProcess process;
    RigLink link;
    MainWindowHarness h;
    h.rig = &link;
    h.rigctld = &process;
    h.settings.values["RigControl"] = QString("127.0.0.1:%1").arg(port);
    h.settings.values["SerialPortMap"] = "3=" + h.env.file("ttyRig");
    h.writePreferences();
    Form1 &form = h.start(false);
    QVERIFY(!process.isRunning());

    // Refused answers change nothing.
    for (const char *bad : {"1", "x 3", "1 0"}) {
        h.dialogs.inputAnswers.enqueue(bad);
        form.findChild<QAction *>("mnuStartRigctld")->trigger();
        QVERIFY(!process.isRunning());
        QCOMPARE(h.settings.values.value("RigctldStart"), QString());
    }

    QSignalSpy started(&process, &ChildProcess::started);
    h.dialogs.inputAnswers.enqueue("1 3");
    form.findChild<QAction *>("mnuStartRigctld")->trigger();
    QCOMPARE(h.settings.values["RigctldStart"], QString("1 3"));
    QTRY_VERIFY(process.isRunning());
    // The link finds the rigctld it started on its own port.
    QTRY_VERIFY_WITH_TIMEOUT(link.frequencyHz() > 0, 10000);
    QVERIFY(h.find<QLabel>("lblRig")->text().contains(" kHz"));

    QSignalSpy finished(&process, &ChildProcess::finished);
    h.dialogs.inputAnswers.enqueue("off");
    form.findChild<QAction *>("mnuStartRigctld")->trigger();
    QTRY_VERIFY(!process.isRunning());
    QTRY_COMPARE(h.find<QLabel>("lblRig")->text(), QString("Rig: not connected"));
    QCOMPARE(h.settings.values["RigctldStart"], QString());
}

// rigctld that gives up (a model it does not know) is reported in its own words.
void TestExtras::rigctldFailureSaysWhy()
{
    if (!RigctldPeer::available())
        QSKIP(RigctldPeer::missing());
    const quint16 port = RigctldPeer().port();
    RealChildProcess process;
    RigLink link;
    MainWindowHarness h;
    h.rig = &link;
    h.rigctld = &process;
    h.settings.values["RigControl"] = QString("127.0.0.1:%1").arg(port);
    h.settings.values["RigctldStart"] = "999999 1";
    h.writePreferences();
    h.start(false);
    QTRY_VERIFY_WITH_TIMEOUT(h.label("lblDialog").startsWith("rigctld stopped: it ended with code"), 10000);
    QVERIFY2(h.label("lblDialog").contains("999999"), qPrintable(h.label("lblDialog")));
}

void TestExtras::rigctldEndsWithTheLogger()
{
    if (!RigctldPeer::available())
        QSKIP(RigctldPeer::missing());
    const quint16 port = RigctldPeer().port();
    qint64 pid = 0;
    {
        RealChildProcess process;
        QSignalSpy started(&process, &ChildProcess::started);
        process.start(process.findProgram("rigctld"), {"-m", "1", "-T", "127.0.0.1", "-t", QString::number(port)});
        QVERIFY(started.wait(5000));
        pid = process.processId();
        QVERIFY(pid > 0);
        QVERIFY(QFile::exists(QString("/proc/%1").arg(pid)));
    }
    // Gone with its owner, so the serial port is free for the next start.
    QVERIFY(!QFile::exists(QString("/proc/%1/cmdline").arg(pid)));
}

QTEST_MAIN(TestExtras)
#include "tst_extras.moc"
