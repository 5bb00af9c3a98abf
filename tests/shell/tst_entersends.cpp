// Enter Sends Message on the real main window: each Enter sends the step's message through the
// keyer of the mode (the program's keyer thread on a recording line, the voice keyer's player)
// and the last step logs through the logging step.
#include "mainwindowharness.h"
#include "wkemulator.h"
#include "platform/portmap.h"
#include "core/entersends.h"
#include "cw/cwsender.h"
#include "platform/waveplayer.h"

#include <QMenu>
#include <QSignalSpy>

namespace {
// F1 CQ, F2 his call and the exchange, F3 TU (no log mark), F4 my call, F6 worked before;
// RTS on port 0 keys in real time without opening a port, at 99 WPM.
void writeCw(MainWindowHarness &h)
{
    const QStringList m = {"CQ", "$ ANN CT", "TU", "K1XYZ", "", "B4", "", "", ""};
    QByteArray cw;
    for (const QString &t : m)
        cw += "\"" + t.toLatin1() + "\"\r\n";
    cw += "\"0\"\r\n\"99\"\r\n\"\"\r\n\"\"\r\n\"0\"\r\n1\r\n\"&H378\"\r\n0\r\n\"0\"\r\n";
    h.env.write("CW.txt", cw);
    h.settings.values[entersends::kCwKeysKey] = "1,2,3,6,4,2";
    h.settings.values[entersends::kSwitchKey] = "1";
}

// What the keyer thread keys for one Enter.
QString sent(MainWindowHarness &h, const std::function<void()> &press)
{
    QString keyed;
    bool lastKeyed = false;  // the character after which nothing was left to send has arrived
    QObject::connect(&h.keyer, &CwSender::charKeyed, &h.keyer, [&](QChar c, const QString &unsent) {
        keyed += c;
        lastKeyed = unsent.isEmpty();
    });
    press();
    // The keyer says it has stopped before the news of its last character comes across.
    if (!QTest::qWaitFor([&] { return !h.keyer.isSending() && (keyed.isEmpty() || lastKeyed); }, 10000))
        keyed += QStringLiteral(" (still sending)");
    h.keyer.disconnect(&h.keyer);
    return keyed;
}
}  // namespace

class TestEnterSends : public QObject {
    Q_OBJECT

private slots:
    void runAndSearchAndPounceOnCw_data()
    {
        QTest::addColumn<bool>("sp");
        QTest::addColumn<QString>("call");      // typed before Enter
        QTest::addColumn<QString>("exchange");  // name qth number, blank-separated ("" none)
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("keyed");
        QTest::addColumn<int>("logged");
        QTest::addColumn<QString>("focus");
        QTest::newRow("run: nothing typed sends CQ") << false << "" << "" << "Run  Enter: CQ (F1)" << "CQ" << 1 << "txtCall";
        QTest::newRow("run: a call sends his call and the exchange")
            << false << "w2abc" << "" << "Run  Enter: call + exchange (F2)" << "W2ABC ANN CT" << 1 << "txtRSTR";
        QTest::newRow("run: the exchange complete sends TU and logs")
            << false << "w2abc" << "BOB NY 12" << "Run  Enter: TU + log (F3)" << "TU" << 2 << "txtCall";
        QTest::newRow("run: a dupe sends worked before and logs nothing")
            << false << "w1aw" << "" << "Run  Enter: worked before (F6)" << "B4" << 1 << "txtCall";
        QTest::newRow("s&p: a call sends mine")
            << true << "w2abc" << "" << "S&P  Enter: my call (F4)" << "K1XYZ" << 1 << "txtRSTR";
        QTest::newRow("s&p: the exchange complete sends mine without his call and logs")
            << true << "w2abc" << "BOB NY 12" << "S&P  Enter: exchange + log (F2)" << "ANN CT" << 2 << "txtCall";
    }
    void runAndSearchAndPounceOnCw()
    {
        QFETCH(bool, sp);
        QFETCH(QString, call);
        QFETCH(QString, exchange);
        QFETCH(QString, caption);
        QFETCH(QString, keyed);
        QFETCH(int, logged);
        QFETCH(QString, focus);
        MainWindowHarness h;
        h.writePreferences("K1XYZ");
        h.writeLog({MainWindowHarness::rec("W1AW")});
        writeCw(h);
        Form1 &form = h.start();
        QVERIFY(form.findChild<QAction *>("mnuEnterSends")->isChecked());
        if (sp)
            h.key(Qt::Key_Insert);
        h.type("txtCall", call);
        if (!exchange.isEmpty()) {
            for (const QString &part : exchange.split(' ')) {
                h.key(Qt::Key_Space);
                QTest::keyClicks(QApplication::focusWidget(), part);
            }
        }
        if (call == "w1aw")
            h.field("txtCall")->setFocus();  // Enter from the call field, before the dupe check
        QCOMPARE(h.label("lblEnterNext"), caption);
        QCOMPARE(sent(h, [&h] { h.key(Qt::Key_Return); }), keyed);
        QCOMPARE(form.logStore().count(), logged);
        QCOMPARE(h.focusName(), focus);
    }

    // Phone: the same steps play the recorded messages.
    void phoneUsesTheVoiceKeyer()
    {
        MainWindowHarness h;
        h.writePreferences("K1XYZ");
        h.settings.values[entersends::kSwitchKey] = "1";
        const QByteArray wave = wavefile::header16(8000, 1, 80) + QByteArray(80, '\0');
        QByteArray wave2;
        for (int i = 1; i <= 9; ++i) {
            h.env.write(QStringLiteral("f%1.wav").arg(i), wave);
            wave2 += QStringLiteral("\"f%1.wav\"\r\n").arg(i).toLatin1();
        }
        h.env.write("wave2.txt", wave2 + "\"0\"\r\n0\r\n\"0\"\r\n\"&H378\"\r\n");
        Form1 &form = h.start();
        form.mnuSSB_Click();
        h.field("txtCall")->setFocus();
        auto played = [&h] { return h.messagePlayer.played.isEmpty() ? QString() : h.messagePlayer.played.last().section('/', -1); };
        h.key(Qt::Key_Return);
        QTRY_COMPARE(played(), QString("f1.wav"));
        h.key(Qt::Key_Escape);  // stops it as for a function key
        QVERIFY(!h.messagePlayer.isPlaying());
        h.type("txtCall", "w2abc");
        h.key(Qt::Key_Return);
        QTRY_COMPARE(played(), QString("f2.wav"));
        QCOMPARE(h.focusName(), QString("txtRSTR"));
        QTest::keyClicks(QApplication::focusWidget(), "BOB");
        h.key(Qt::Key_Space);
        QTest::keyClicks(QApplication::focusWidget(), "NY");
        QCOMPARE(h.label("lblEnterNext"), QString("Run  Enter: TU + log (F3)"));
        h.key(Qt::Key_Return);
        QTRY_COMPARE(played(), QString("f3.wav"));
        QCOMPARE(form.logStore().count(), 1);
        QCOMPARE(form.logStore().record(1).call, QString("W2ABC"));
    }

    // The external keyer sends the step's message the same way.
    void externalKeyerToo()
    {
        MainWindowHarness h;
        h.writePreferences("K1XYZ");
        WkEmulator emulator(h.env.path());
        WKEMULATOR_START_OR_SKIP(emulator);
        h.writeCwFile({"CQ TEST", "$ ANN CT"}, 30, 5);
        h.settings.values[PortMap::kSerialKey] = "5=" + emulator.hostDevice();
        h.settings.values[entersends::kSwitchKey] = "1";
        h.start();
        h.key(Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(emulator.received().contains("CQ TEST"), 10000);
        h.type("txtCall", "w2abc");
        h.key(Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(emulator.received().contains("W2ABC ANN CT"), 10000);
        QCOMPARE(h.focusName(), QString("txtRSTR"));
    }

    // Off (the default), Enter is the logging step alone and nothing is sent.
    void offByDefault()
    {
        MainWindowHarness h;
        h.writePreferences("K1XYZ");
        writeCw(h);
        h.settings.values[entersends::kSwitchKey] = "0";
        Form1 &form = h.start();
        QVERIFY(!h.find("lblEnterNext")->isVisible());
        QCOMPARE(sent(h, [&h] { h.logContact("W2ABC", "BOB", "NY", "12"); }), QString());
        QCOMPARE(form.logStore().count(), 1);
    }

    void keysText()
    {
        QCOMPARE(entersends::Keys::fromText("5,6,7,0,8,9").toText(), QString("5,6,7,0,8,9"));
        QCOMPARE(entersends::Keys::fromText("x,12,-1").toText(), entersends::Keys().toText());
    }
};

QTEST_MAIN(TestEnterSends)
#include "tst_entersends.moc"
