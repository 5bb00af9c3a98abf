#include "rig/riglink.h"

#include "rigctldpeer.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>


class TestRigLink : public QObject {
    Q_OBJECT

private slots:
    void loggerMode_data();
    void loggerMode();
    void followsTheRealRig();
    void garbageIsNotARig();
};

void TestRigLink::loggerMode_data()
{
    QTest::addColumn<QString>("rig");
    QTest::addColumn<QString>("logger");
    QTest::newRow("CW") << "CW" << "CW";
    QTest::newRow("CW reverse") << "CWR" << "CW";
    QTest::newRow("USB") << "USB" << "PH";
    QTest::newRow("LSB lower case") << "lsb" << "PH";
    QTest::newRow("FM") << "FM" << "PH";
    QTest::newRow("packet on USB") << "PKTUSB" << "DG";
    QTest::newRow("packet on LSB") << "PKTLSB" << "DG";
    QTest::newRow("RTTY") << "RTTY" << "DG";
    QTest::newRow("PSK reverse") << "PSKR" << "DG";
    QTest::newRow("unknown leaves the logger alone") << "XYZ" << "";
}

void TestRigLink::loggerMode()
{
    QFETCH(QString, rig);
    QFETCH(QString, logger);
    QCOMPARE(RigLink::loggerModeFor(rig), logger);
}

void TestRigLink::followsTheRealRig()
{
    if (!RigctldPeer::available())
        QSKIP(RigctldPeer::missing());
    RigctldPeer rig;
    const quint16 port = rig.port();
    QVERIFY(rig.start());

    RigLink link;
    QSignalSpy connected(&link, &RigLink::connectedChanged);
    QCOMPARE(link.statusText(), QString("Rig: not connected"));
    link.start("127.0.0.1", port);
    // The first try may come before rigctld listens; the quiet retry gets there.
    QTRY_VERIFY_WITH_TIMEOUT(link.frequencyHz() > 0, 10000);
    QVERIFY(link.isConnected());
    QVERIFY(link.statusText().startsWith("Rig: "));
    QVERIFY(link.statusText().contains(" kHz"));

    QVERIFY(link.tune(28400000));
    QTRY_COMPARE(link.frequencyHz(), qint64(28400000));
    QTRY_VERIFY(link.statusText().startsWith("Rig: 28400.00 kHz "));

    QSignalSpy modes(&link, &RigLink::modeChanged);
    QVERIFY(rig.command("M CW 0\n"));
    QTRY_COMPARE(link.mode(), QString("CW"));
    QVERIFY(rig.command("M USB 0\n"));
    QTRY_COMPARE(link.mode(), QString("USB"));
    QCOMPARE(modes.last().first().toString(), QString("USB"));
    QVERIFY(rig.command("F 28018000\n"));
    QTRY_COMPARE(link.frequencyHz(), qint64(28018000));

    // Killed mid-session: not connected, nothing to tune, and back by itself once it returns.
    rig.stop();
    QTRY_COMPARE(link.statusText(), QString("Rig: not connected"));
    QVERIFY(!link.isConnected());
    QCOMPARE(link.frequencyHz(), qint64(0));
    QVERIFY(!link.tune(28400000));
    QCOMPARE(connected.last().first().toBool(), false);
    QVERIFY(rig.start());
    QTRY_VERIFY_WITH_TIMEOUT(link.frequencyHz() > 0, 10000);

    link.stop();
    QCOMPARE(link.statusText(), QString("Rig: not connected"));
    QVERIFY(!link.isActive());
}

void TestRigLink::garbageIsNotARig()
{
    // A peer that sends an endless line is dropped, not buffered for ever.
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    RigLink link;
    link.start("127.0.0.1", server.serverPort());
    QTRY_VERIFY(server.hasPendingConnections());
    QTcpSocket *peer = server.nextPendingConnection();
    QTRY_VERIFY(link.isConnected());
    QSignalSpy connected(&link, &RigLink::connectedChanged);
    peer->write(QByteArray(4096, 'x'));
    QTRY_VERIFY(!link.isConnected());
    QCOMPARE(connected.last().first().toBool(), false);
    QCOMPARE(link.frequencyHz(), qint64(0));
    link.stop();
}

QTEST_GUILESS_MAIN(TestRigLink)
#include "tst_riglink.moc"
