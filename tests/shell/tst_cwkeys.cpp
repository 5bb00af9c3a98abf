#include "cw/cwsender.h"
#include "mainwindowharness.h"
#include "shell/mainwindow.h"

#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QtTest>

// The CW keys on the real main window. The interface is RTS with port 0, so the real keyer
// times the units without opening any port.
class TestCwKeys : public QObject {
    Q_OBJECT
private slots:
    void messageLogsAtItsMark();
    void menuAndKeysStayWithTheLogger();
    void closeRefusedOnceWhileSending();
    void keyboardBannerStaysAfterALog();

private:
    // W1AW BOB CT typed as an operator does, fields left by Space.
    static void typeExchange(MainWindowHarness &h)
    {
        h.type("txtCall", "w1aw");
        h.key(Qt::Key_Space);
        QTest::keyClicks(QApplication::focusWidget(), "BOB");
        h.key(Qt::Key_Space);
        QTest::keyClicks(QApplication::focusWidget(), "CT");
    }
    static void writeCw(MainWindowHarness &h, const QByteArray &f2)
    {
        h.env.write("CW.txt", "\"CQ CQ CQ CQ CQ\"\r\n\"" + f2 + "\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n"
                              "\"0\"\r\n\"99\"\r\n\"AGN\"\r\n\"\"\r\n\"0\"\r\n1\r\n\"&H378\"\r\n0\r\n\"0\"\r\n");
    }
};

void TestCwKeys::messageLogsAtItsMark()
{
    MainWindowHarness h;
    h.writePreferences();
    writeCw(h, "TU $!");
    Form1 &w = h.start();
    typeExchange(h);
    h.key(Qt::Key_Space);
    QTest::keyClicks(QApplication::focusWidget(), "99");
    h.key(Qt::Key_F2);
    QCOMPARE(w.logStore().count(), 0);  // logged when the keyer reaches the mark, not before
    QTRY_COMPARE_WITH_TIMEOUT(w.logStore().count(), 1, 10000);
    QCOMPARE(w.logStore().record(1).call, QStringLiteral("W1AW"));
    QVERIFY(h.env.read("log.txt").startsWith("\"W1AW\""));
}

void TestCwKeys::menuAndKeysStayWithTheLogger()
{
    MainWindowHarness h;
    h.writePreferences();
    writeCw(h, "");
    Form1 &w = h.start();
    auto *transmit = w.findChild<QMenu *>("mnuTransmit");
    QVERIFY(transmit);
    QVERIFY(w.findChild<QAction *>("mnuCWsetup"));
    QVERIFY(w.findChild<QAction *>("mnuCodePractice"));

    // F10 sends its message in CW and is kept from the menu bar in phone; Alt alone opens
    // nothing: the next letter still goes into the call.
    h.key(Qt::Key_F10);
    QVERIFY(!w.menuBar()->activeAction());
    w.mnuSSB_Click();
    h.key(Qt::Key_F10);
    h.key(Qt::Key_Alt);
    QVERIFY(!w.menuBar()->activeAction());
    h.type("txtCall", "k");
    QCOMPARE(h.field("txtCall")->text(), QStringLiteral("K"));

    // Ctrl+C opens the setup window and types nothing.
    w.mnuCW_Click();
    h.field("txtCall")->setFocus();
    QTest::keyClick(h.field("txtCall"), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(h.field("txtCall")->text(), QStringLiteral("K"));
    auto *setup = w.findChild<QDialog *>("CWFrm");
    QVERIFY(setup && setup->isVisible());
    QCOMPARE(setup->windowTitle(), QStringLiteral("CW String Selections"));
    setup->hide();

    // Up shows the new speed in the status line.
    h.field("txtCall")->setFocus();
    h.key(Qt::Key_Down);
    QCOMPARE(h.label("lblDialog"), QStringLiteral("98 WPM"));
}

void TestCwKeys::closeRefusedOnceWhileSending()
{
    MainWindowHarness h;
    h.writePreferences();
    writeCw(h, "");
    Form1 &w = h.start();
    CwSender *sender = &h.keyer;  // the program's one keyer thread
    QVERIFY(sender);
    QCOMPARE(sender->speed(), 99);
    QSignalSpy keyed(sender, &CwSender::charKeyed);
    h.key(Qt::Key_F1);
    QVERIFY(sender->isSending());
    QVERIFY(keyed.wait());  // the keyer is on the second character now
    QCOMPARE(h.label("lblTX"), QStringLiteral("TX CW"));
    QVERIFY(!w.close());  // stops the message after the current character
    QVERIFY(w.isVisible());
    QTRY_VERIFY2(!sender->isSending(), qPrintable(QStringLiteral("speed %1 unsent %2").arg(sender->speed()).arg(sender->unsent())));
    QTRY_VERIFY(h.label("lblTX").isEmpty());
    QVERIFY(w.close());
}

// Keyboard CW stays on when a contact is logged: so does the banner that says every key is sent.
void TestCwKeys::keyboardBannerStaysAfterALog()
{
    MainWindowHarness h;
    h.writePreferences();
    writeCw(h, "TU!");
    Form1 &w = h.start();
    typeExchange(h);
    h.key(Qt::Key_F12);
    const QString banner = h.label("lblDialog");
    QVERIFY(banner.startsWith("Keyboard CW mode is ON!"));
    h.key(Qt::Key_F2);  // TU, and the mark logs the contact
    QTRY_COMPARE_WITH_TIMEOUT(w.logStore().count(), 1, 10000);
    QCOMPARE(h.label("lblDialog"), banner);
    h.key(Qt::Key_F12);
    QVERIFY(!h.label("lblDialog").startsWith("Keyboard CW"));
}

QTEST_MAIN(TestCwKeys)
#include "tst_cwkeys.moc"
