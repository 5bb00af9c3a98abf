#include "mainwindowharness.h"
#include "wkemulator.h"
#include "cw/cwcontrol.h"
#include "cw/frmwinkey.h"
#include "cw/winkeyer.h"
#include "cw/winkeysender.h"
#include "shell/wkwiring.h"

#include <QKeyEvent>
#include <QLabel>
#include <QSignalSpy>

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
        Form1 &form = h.start();

        WinKeyWiring wiring(form, h.clock, h.dialogs, h.env.file("Documents/Korvex Software/Vardel"));
        CwControl control(wiring.sender(), nullptr);
        control.portMap().setSerialDevice(5, emulator.hostDevice());
        control.settings().keyingInterface = 5;
        control.settings().speed = "12";  // slow enough to press Esc in the middle
        control.settings().messages[0] = "CQ TEST DE K1XYZ";
        CwHost host;
        host.mode = [] { return QStringLiteral("CW"); };
        host.call = [&h] { return h.field("txtCall")->text(); };
        control.setHost(host);
        // Before the shell's own Esc, as the CW keys are.
        form.keys().add(KeyDispatcher::kCommands - 1,
                        [&control](QObject *, QKeyEvent *key) { return control.handleKey(key); });
        wiring.attach(control, nullptr, nullptr);
        QCOMPARE(&control.sender(), static_cast<CwSender *>(&wiring.sender()));

        h.type("txtCall", "W1AW");
        h.key(Qt::Key_F1);  // the keyer is closed: opened first, then fed
        QTRY_VERIFY(wiring.keyer().isOpen());
        QCOMPARE(wiring.window().lblOpenStatus->text(), QString("WK Success!"));
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
        QVERIFY(!control.sender().isSending());
        QVERIFY(emulator.keyed().size() < 16);
        QCOMPARE(h.field("txtCall")->text(), QString("W1AW"));

        h.key(Qt::Key_Escape);  // idle: clears the entry line as usual
        QCOMPARE(h.field("txtCall")->text(), QString());
        QCOMPARE(emulator.clears(), 1);

        // A whole message at full speed arrives byte for byte.
        control.settings().speed = "99";
        control.applySettings();
        QTRY_COMPARE(emulator.speed(), 99);
        emulator.clearRecord();
        const QByteArray before = emulator.keyed();
        h.key(Qt::Key_F1);
        QTRY_COMPARE(emulator.keyed().mid(before.size()), QByteArray("CQ TEST DE K1XYZ"));
        QCOMPARE(emulator.received(), QByteArray::fromHex("0a") + "CQ TEST DE K1XYZ");
    }
};

QTEST_MAIN(TestWinKeyShell)
#include "tst_winkeyshell.moc"
