#include "cw/wkprotocol.h"

#include <QTest>

using wkproto::Event;

Q_DECLARE_METATYPE(QList<Event>)

class TestWkProtocol : public QObject {
    Q_OBJECT

private slots:
    void commands_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("host open") << wkproto::hostOpen() << QByteArray::fromHex("0002");
        QTest::newRow("host close") << wkproto::hostClose() << QByteArray::fromHex("0003");
        QTest::newRow("echo test") << wkproto::echoTest(0x55) << QByteArray::fromHex("000455");
        QTest::newRow("speed") << wkproto::speed(18) << QByteArray::fromHex("0212");
        QTest::newRow("speed pot") << wkproto::speed(0) << QByteArray::fromHex("0200");
        QTest::newRow("weight") << wkproto::weight(50) << QByteArray::fromHex("0332");
        QTest::newRow("lead-in, tail") << wkproto::leadTail(3, 7) << QByteArray::fromHex("040307");
        QTest::newRow("backspace") << wkproto::backspace() << QByteArray::fromHex("08");
        QTest::newRow("pin config") << wkproto::pinConfig(6) << QByteArray::fromHex("0906");
        QTest::newRow("clear") << wkproto::clearBuffer() << QByteArray::fromHex("0a");
        QTest::newRow("mode") << wkproto::mode(0x14) << QByteArray::fromHex("0e14");
        QTest::newRow("status") << wkproto::statusRequest() << QByteArray::fromHex("15");
        QTest::newRow("ratio") << wkproto::ditDahRatio(67) << QByteArray::fromHex("1743");
        QTest::newRow("letter") << wkproto::character('C') << QByteArray("C");
        QTest::newRow("blank") << wkproto::character(' ') << QByteArray(" ");
        QTest::newRow("Enter is no command") << wkproto::character(13) << QByteArray();
        QTest::newRow("Tab") << wkproto::character(9) << QByteArray();
        QTest::newRow("past ASCII") << wkproto::character(0xE9) << QByteArray();
    }
    void commands()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, expected);
        QCOMPARE(bytes.toHex(), expected.toHex());
    }

    void decode_data()
    {
        QTest::addColumn<bool>("awaiting");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<Event>>("events");
        QTest::newRow("idle status") << false << QByteArray::fromHex("c0")
                                     << QList<Event>{{Event::Status, 0}};
        QTest::newRow("xoff and busy") << false << QByteArray::fromHex("c5")
                                       << QList<Event>{{Event::Status, 0x05}};
        QTest::newRow("pot") << false << QByteArray::fromHex("8f")
                             << QList<Event>{{Event::SpeedPot, 15}};
        QTest::newRow("echoes") << false << QByteArray("CQ")
                                << QList<Event>{{Event::Echo, 'C'}, {Event::Echo, 'Q'}};
        // The version (23) is a plain byte: only the awaited answer makes it one.
        QTest::newRow("version then echo")
            << true << QByteArray::fromHex("17") + "K"
            << QList<Event>{{Event::Answer, 23}, {Event::Echo, 'K'}};
        QTest::newRow("status before the answer")
            << true << QByteArray::fromHex("c41f")
            << QList<Event>{{Event::Status, 0x04}, {Event::Answer, 0x1F}};
    }
    void decode()
    {
        QFETCH(bool, awaiting);
        QFETCH(QByteArray, bytes);
        QFETCH(QList<Event>, events);
        wkproto::Decoder decoder;
        if (awaiting)
            decoder.expectAnswer();
        QCOMPARE(decoder.feed(bytes), events);
        QVERIFY(!decoder.awaitingAnswer());
    }
};

QTEST_GUILESS_MAIN(TestWkProtocol)
#include "tst_wkprotocol.moc"
