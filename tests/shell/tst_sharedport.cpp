// CW keying, voice PTT and the external keyer on one physical port of the real main window:
// whichever of them opens it, the others have let go of it first.
#include "mainwindowharness.h"
#include "wkemulator.h"
#include "cw/cwfrm.h"
#include "cw/winkeyer.h"
#include "platform/portmap.h"

#include <QRadioButton>

namespace {
// Half a second of silence: 8 kHz, 16-bit mono PCM.
QByteArray silentWave()
{
    const quint32 data = 8000;
    QByteArray w;
    auto u32 = [&w](quint32 v) {
        for (int i = 0; i < 4; ++i)
            w.append(char((v >> (8 * i)) & 0xff));
    };
    auto u16 = [&w](quint16 v) {
        w.append(char(v & 0xff));
        w.append(char(v >> 8));
    };
    w += "RIFF";
    u32(36 + data);
    w += "WAVEfmt ";
    u32(16);
    u16(1);
    u16(1);
    u32(8000);
    u32(16000);
    u16(2);
    u16(16);
    w += "data";
    u32(data);
    w += QByteArray(int(data), '\0');
    return w;
}
}  // namespace

class TestSharedPort : public QObject {
    Q_OBJECT

private slots:
    void oneOwnerAtATime()
    {
        MainWindowHarness h;
        h.writePreferences("K1XYZ");
        WkEmulator emulator(h.env.path());
        WKEMULATOR_START_OR_SKIP(emulator);
        const QString device = emulator.hostDevice();
        // Port 5 is the one cable: CW on its RTS, PTT on its DTR, or the external keyer.
        h.settings.values[PortMap::kSerialKey] = "5=" + device;
        QByteArray cw = "\"E\"\r\n";
        for (int i = 2; i <= 9; ++i)
            cw += "\"\"\r\n";
        cw += "\"5\"\r\n\"40\"\r\n\"\"\r\n\"\"\r\n\"0\"\r\n1\r\n\"&H378\"\r\n0\r\n\"0\"\r\n";
        h.env.write("CW.txt", cw);
        h.env.write("cq.wav", silentWave());
        h.env.write("wave2.txt", "\"cq.wav\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n"
                                 "\"5\"\r\n1\r\n\"0\"\r\n\"&H378\"\r\n");
        Form1 &form = h.start();
        auto *winKeyer = form.findChild<WinKeyer *>();
        auto *setup = form.findChild<CWFrm *>("CWFrm");
        QVERIFY(winKeyer && setup);
        KeyLineLog &lines = *h.keyLines.log;
        auto openLines = [&lines] {
            QMutexLocker lock(&lines.mutex);
            return lines.openLines;
        };
        auto opens = [&lines] {
            QMutexLocker lock(&lines.mutex);
            return lines.opened.size();
        };
        auto cwMessage = [&] {
            form.mnuCW_Click();
            h.field("txtCall")->setFocus();
            h.key(Qt::Key_F1);
        };
        // A voice message: Esc only once PTT is down on the keyer thread (an on and an off that
        // reach the thread together key nothing at all, rightly).
        auto voiceMessage = [&] {
            form.mnuSSB_Click();
            h.field("txtCall")->setFocus();
            h.key(Qt::Key_F1);
        };
        // The CW setup window as the operator uses it: opened, an interface clicked, Done.
        auto chooseInterface = [&](const char *option) {
            setup->showSettings();
            setup->show();
            setup->findChild<QRadioButton *>(option)->click();
            setup->cmdDone_Click();
        };

        // CW keys the line on the port.
        cwMessage();
        QTRY_VERIFY(!lines.units().isEmpty());
        QTRY_VERIFY(!h.keyer.isSending());
        QCOMPARE(openLines(), 1);
        QCOMPARE(lines.opened.value(0), device);
        QVERIFY(!winKeyer->isOpen());

        // PTT on the same port: the keyer thread closes the key line and opens the PTT line. The
        // window shows what is on the air while it is.
        voiceMessage();
        QCOMPARE(h.label("lblTX"), QString("TX cq.wav"));
        QVERIFY(h.find("lblTX")->isVisible());
        QTRY_COMPARE(opens(), 2);
        h.key(Qt::Key_Escape);
        QVERIFY(!h.find("lblTX")->isVisible());
        QCOMPARE(lines.opened.value(1), device);
        QTRY_COMPARE(openLines(), 1);
        QVERIFY(!winKeyer->isOpen());

        // The external keyer on it: the PTT line is let go of. The keyer thread closes it on its
        // own thread a moment later; a real port stays locked until then and the keyer's open
        // tries again meanwhile.
        chooseInterface("Option5");
        cwMessage();
        QTRY_VERIFY(winKeyer->isOpen());
        QTRY_COMPARE(openLines(), 0);
        QTRY_VERIFY(!emulator.received().isEmpty());

        // PTT again: the external keyer is closed first.
        voiceMessage();
        QTRY_COMPARE(opens(), 3);
        h.key(Qt::Key_Escape);
        QVERIFY(!winKeyer->isOpen());
        QTRY_COMPARE(openLines(), 1);

        // Back to keying the line: the PTT line goes, the key line opens; the keyer stays shut.
        chooseInterface("Option1");
        lines.clear();
        cwMessage();
        QTRY_VERIFY(!lines.units().isEmpty());
        QTRY_VERIFY(!h.keyer.isSending());
        QCOMPARE(opens(), 4);
        QCOMPARE(openLines(), 1);
        QVERIFY(!winKeyer->isOpen());
    }
};

QTEST_MAIN(TestSharedPort)
#include "tst_sharedport.moc"
