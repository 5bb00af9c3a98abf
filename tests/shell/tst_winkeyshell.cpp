#include "mainwindowharness.h"
#include "wkemulator.h"
#include "cw/cwfrm.h"
#include "cw/frmwinkey.h"
#include "cw/winkeyer.h"
#include "platform/portmap.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

// The main window keys the external keyer: F1 sends the CQ message to it, Esc clears it.
class TestWinKeyShell : public QObject {
    Q_OBJECT

private slots:
    void f1SendsTheCqMessageAndEscClearsIt()
    {
        MainWindowHarness h;
        h.writePreferences("K1XYZ");
        WkEmulator emulator(h.env.path());
        WKEMULATOR_START_OR_SKIP(emulator);
        // CW.txt: F1 "CQ TEST DE K1XYZ", speed 12 (slow enough to press Esc in the middle),
        // interface 5; the keyer's port 5 is the emulator.
        h.writeCwFile({"CQ TEST DE K1XYZ"}, 12, 5);
        h.settings.values[PortMap::kSerialKey] = "5=" + emulator.hostDevice();
        Form1 &form = h.start();
        auto *keyer = form.findChild<WinKeyer *>();
        auto *window = form.findChild<frmWinKey *>();
        QVERIFY(keyer && window);

        h.type("txtCall", "W1AW");
        h.key(Qt::Key_F1);  // the keyer is closed: opened first, then fed
        QTRY_VERIFY(keyer->isOpen());
        QCOMPARE(window->lblOpenStatus->text(), QString("WK Success!"));
        QTRY_COMPARE(emulator.speed(), 12);
        QTRY_VERIFY(emulator.keyed().size() >= 1);

        // The message's bytes reached the keyer in order, after the handshake and the settings.
        const QByteArray received = emulator.received();
        const qsizetype text = received.indexOf("CQ");
        QVERIFY(text > 0);
        QVERIFY(received.indexOf(QByteArray::fromHex("0e04")) < text);  // settings first
        QVERIFY(QByteArray("CQ TEST DE K1XYZ").startsWith(received.mid(text)));

        h.key(Qt::Key_Escape);  // sending: stops it, the entry line stays
        QTRY_COMPARE(emulator.clears(), 1);
        QCOMPARE(emulator.buffered(), QByteArray());
        QVERIFY(emulator.keyed().size() < 16);
        QCOMPARE(h.field("txtCall")->text(), QString("W1AW"));

        h.key(Qt::Key_Escape);  // idle: clears the entry line as usual
        QCOMPARE(h.field("txtCall")->text(), QString());
        QCOMPARE(emulator.clears(), 1);

        // Up to full speed; a whole message arrives byte for byte.
        for (int i = 12; i < 99; ++i)
            h.key(Qt::Key_Up);
        QCOMPARE(h.label("lblDialog"), QString("99 WPM"));
        QTRY_COMPARE(emulator.speed(), 99);
        emulator.clearRecord();
        const QByteArray before = emulator.keyed();
        h.key(Qt::Key_F1);
        QTRY_COMPARE(emulator.keyed().mid(before.size()), QByteArray("CQ TEST DE K1XYZ"));
        // A function key does not empty the keyer's buffer: only Esc did, once.
        QCOMPARE(emulator.received(), QByteArray("CQ TEST DE K1XYZ"));
    }

    // "Configure Winkey" in the CW window opens WinKey Setup showing the stored settings.
    void setupOpensWithTheStoredSettings()
    {
        MainWindowHarness h;
        h.writePreferences("K1XYZ");
        h.writeCwFile({"CQ"}, 23, 0);  // WinKey not chosen yet: the window was never loaded
        Form1 &form = h.start();
        auto *setup = form.findChild<CWFrm *>();
        QVERIFY(setup);
        QStringList shown;
        QTimer::singleShot(0, this, [&] {
            auto *window = qobject_cast<frmWinKey *>(QApplication::activeModalWidget());
            if (!window)
                return;
            for (const char *name : {"txtWeight", "txtLeadIn", "txtTail", "txtRatio", "txtWKWPM", "txtWKComPort"})
                shown << window->findChild<QLineEdit *>(name)->text();
            window->close();
        });
        setup->findChild<QPushButton *>("cmdConfWinkey")->click();
        QCOMPARE(shown.size(), 6);
        QVERIFY2(!shown.contains(QString()), qPrintable(shown.join(u',')));
        QCOMPARE(shown[4], QString("23"));
    }

    // "!" logs when the keyer has keyed what comes before it, never goes to the keyer itself,
    // and an Esc before then leaves the contact in the entry line; a second function key during
    // a message does not cut the character on the air.
    void logPointWaitsForTheKeyer()
    {
        MainWindowHarness h;
        h.writePreferences("K1XYZ");
        WkEmulator emulator(h.env.path());
        WKEMULATOR_START_OR_SKIP(emulator);
        h.writeCwFile({"CQ TEST", "$ 5NN", "TU $!"}, 40, 5);
        h.settings.values[PortMap::kSerialKey] = "5=" + emulator.hostDevice();
        Form1 &form = h.start();
        auto *keyer = form.findChild<WinKeyer *>();
        auto fill = [&](const QString &call) {
            h.type("txtCall", call);
            h.type("txtRSTR", "BOB");
            h.type("txtCntry", "CT");
            h.type("txtRSTS", "12");
        };

        fill("W1AW");
        h.key(Qt::Key_F3);
        QTRY_VERIFY(keyer->isOpen());
        QTRY_VERIFY(!emulator.keyed().isEmpty());
        QCOMPARE(form.logStore().count(), 0);  // "TU W1AW" is still on the air
        QTRY_COMPARE_WITH_TIMEOUT(form.logStore().count(), 1, 10000);
        QCOMPARE(emulator.keyed(), QByteArray("TU W1AW"));
        QCOMPARE(form.logStore().record(1).call, QString("W1AW"));
        QVERIFY(!emulator.received().contains('!'));

        fill("W2XYZ");
        h.key(Qt::Key_F3);
        QTRY_VERIFY(emulator.keyed().size() > 8);
        h.key(Qt::Key_Escape);
        QTRY_COMPARE(keyer->pending(), 0);
        QTest::qWait(200);
        QCOMPARE(form.logStore().count(), 1);
        QCOMPARE(h.field("txtCall")->text(), QString("W2XYZ"));

        const int clears = emulator.clears();
        h.key(Qt::Key_F1);
        QTRY_VERIFY(emulator.keyed().endsWith("C"));
        h.key(Qt::Key_F2);
        QTRY_VERIFY_WITH_TIMEOUT(emulator.keyed().endsWith("W2XYZ 5NN"), 10000);
        QCOMPARE(emulator.clears(), clears);

        // A speed set for the keyer itself stays when the CW window's Done leaves its own
        // speed box as it was.
        keyer->wk_wpm(30);
        QTRY_COMPARE(emulator.speed(), 30);
        form.findChild<CWFrm *>()->cmdDone_Click();
        QTest::qWait(100);
        QCOMPARE(emulator.speed(), 30);
    }
};

QTEST_MAIN(TestWinKeyShell)
#include "tst_winkeyshell.moc"
