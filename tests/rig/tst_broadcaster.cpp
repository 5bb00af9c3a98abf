#include "rig/broadcaster.h"

#include <QTest>
#include <QUdpSocket>
#include <QXmlStreamReader>

class TestBroadcaster : public QObject {
    Q_OBJECT

    static QString rootOf(const QByteArray &xml)
    {
        QXmlStreamReader x(xml);
        while (!x.atEnd())
            if (x.readNext() == QXmlStreamReader::StartElement)
                return x.name().toString();
        return {};
    }

private slots:
    void targets_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("count");
        QTest::newRow("off") << "" << true << 0;
        QTest::newRow("default port") << "127.0.0.1" << true << 1;
        QTest::newRow("two, commas and blanks") << "127.0.0.1:12060, 192.168.1.255:12061" << true << 2;
        QTest::newRow("localhost") << "localhost:9000" << true << 1;
        QTest::newRow("IPv6") << "::1" << true << 1;
        QTest::newRow("port out of range") << "127.0.0.1:70000" << false << 0;
        QTest::newRow("a name, not an address") << "logger.local:12060" << false << 0;
    }
    void targets()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, count);
        Broadcaster b;
        QString error;
        QCOMPARE(b.setTargets(text, &error), ok);
        QCOMPARE(b.targets().size(), count);
        QCOMPARE(error.isEmpty(), ok);
    }

    // RadioInfo goes out on each change and again every 10 s while the rig stays connected;
    // nothing once it is gone.
    void radioInfoWhileConnected()
    {
        QUdpSocket listener;
        QVERIFY(listener.bind(QHostAddress::LocalHost, 0));
        Broadcaster b;
        QVERIFY(b.setTargets(QStringLiteral("127.0.0.1:%1").arg(listener.localPort())));
        b.setStation({"K1XYZ", "10-10", "1234"});
        b.setRadio(true, 28025000, "CW");
        QTRY_VERIFY(listener.hasPendingDatagrams());
        QByteArray datagram(int(listener.pendingDatagramSize()), Qt::Uninitialized);
        listener.readDatagram(datagram.data(), datagram.size());
        QCOMPARE(rootOf(datagram), QString("RadioInfo"));
        QVERIFY(datagram.contains("<Freq>2802500</Freq>"));
        QVERIFY(datagram.contains("<Mode>CW</Mode>"));
        b.setRadio(true, 28025000, "CW");  // no change: no datagram, the 10 s one stays due
        QTest::qWait(50);
        QVERIFY(!listener.hasPendingDatagrams());
        b.setRadio(false, 0, QString());
        b.setRadio(false, 0, QString());
        QTest::qWait(50);
        QVERIFY(!listener.hasPendingDatagrams());
    }
};

QTEST_GUILESS_MAIN(TestBroadcaster)
#include "tst_broadcaster.moc"
