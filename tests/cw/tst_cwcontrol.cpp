#include "cw/codepractice.h"
#include "cw/cwcontrol.h"
#include "cw/cwfrm.h"
#include "cw/cwsettings.h"
#include "cw/keyerthread.h"
#include "cw/morse.h"
#include "fakekeyline.h"
#include "fakes.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSemaphore>
#include <QSignalSpy>
#include <QtTest>

namespace {

// The CW side of a main window: a keyer on a recording line, the control and a host that
// records what the main window would show.
struct Station {
    FakeKeyTiming timing;
    RecordingKeyLines lines{&timing};
    KeyerThread keyer{lines, timing};
    CwControl control{keyer, &keyer};
    QString mode = QStringLiteral("CW");
    QString call;
    QString status;
    QColor colour;
    int logged = 0;
    bool refuse = false;  // the entry line refuses the contact
    int setupShown = 0;
    QSemaphore gate;
    std::atomic<bool> holdAtFirstWait{false};

    Station()
    {
        CwHost host;
        host.mode = [this] { return mode; };
        host.call = [this] { return call; };
        host.setStatus = [this](const QString &t) { status = t; };
        host.setStatusColour = [this](const QColor &c) { colour = c; };
        host.logContact = [this] {
            if (refuse) {
                status = QStringLiteral("Need Name!");
                return false;
            }
            ++logged;
            return true;
        };
        host.showSetup = [this] { ++setupShown; };
        control.setHost(host);
        CwSettings &s = control.settings();
        s.keyingInterface = KeyingInterface::Rts;
        s.port = QStringLiteral("1");
        s.speed = QStringLiteral("20");
        s.messages[0] = QStringLiteral("CQ TEST");
        s.messages[1] = QStringLiteral("$ 5NN");
        s.messages[2] = QStringLiteral("TU $!");
        s.messages[9] = QStringLiteral("AGN");
        control.applySettings();
        timing.onWait = [this](int wait) {
            if (wait == 1 && holdAtFirstWait.load())
                gate.acquire();
        };
    }
    ~Station() { gate.release(100); }
    bool key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString &text = QString())
    {
        QKeyEvent e(QEvent::KeyPress, k, mods, text);
        return control.handleKey(&e);
    }
    bool idle()
    {
        return QTest::qWaitFor([this] { return !keyer.isSending(); });
    }
    static QString keyed(const QString &text)
    {
        QString u;
        for (QChar c : text)
            u += morse::units(c);
        return u;
    }
};

}  // namespace

class TestCwControl : public QObject {
    Q_OBJECT
private slots:
    void settingsFile();
    void shortSettingsFileKeepsDefaults();
    void hugeNumbersInTheFile();
    void wildcards_data();
    void wildcards();
    void functionKeys_data();
    void functionKeys();
    void repeatUntilAnyKey();
    void logMarkNeedsACall_data();
    void logMarkNeedsACall();
    void refusedLogMarkStaysSaid();
    void keyboardCw();
    void escAndCloseWhileSending();
    void speedKeys();
    void practiceGroups();
    void practiceSendEchoes();
    void loopCountedWhenTheWindowLoads();
    void setupWindowSavesAndWarns();
};

void TestCwControl::settingsFile()
{
    TestEnv env;
    env.write(QStringLiteral("cw.txt"),
              "\"CQ TEST\"\r\n\"$ 5NN\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n"
              "\"3\"\r\n\"25\"\r\n\"AGN\"\r\n\"QRZ\"\r\n\"-2\"\r\n2\r\n\"&H278\"\r\n1\r\n\"4.5\"\r\n");
    CwSettings s;
    QVERIFY(s.load(env.path()));  // written as CW.txt elsewhere; found in either spelling
    QCOMPARE(s.messages[0], QStringLiteral("CQ TEST"));
    QCOMPARE(s.messages[8], QStringLiteral("VVV DE "));
    QCOMPARE(s.messageForKey(FKey::F10), QStringLiteral("AGN"));
    QCOMPARE(s.messageForKey(FKey::F11), QStringLiteral("QRZ"));
    QCOMPARE(s.keyingInterface, KeyingInterface::Dtr);
    QCOMPARE(s.speedWpm(), 25);
    QCOMPARE(s.repeatSeconds(), 4.5);
    QVERIFY(s.showText);
    const KeyerSettings k = s.keyerSettings(PortMap());
    QCOMPARE(k.line, KeyLineKind::SerialDtr);
    QCOMPARE(k.port, 3);
    QCOMPARE(k.wordSpace, -2);

    // Written back it reads the same, under the one spelling.
    QVERIFY(s.save(env.path()));
    const QByteArray bytes = env.read(QStringLiteral("cw.txt"));
    QVERIFY(bytes.startsWith("\"CQ TEST\"\r\n\"$ 5NN\"\r\n"));
    QVERIFY(bytes.endsWith("\"&H278\"\r\n1\r\n\"4.5\"\r\n"));
    CwSettings again;
    QVERIFY(again.load(env.path()));
    QCOMPARE(again.messages, s.messages);

    FakeSettingsStore store;
    s.timingMethod = QStringLiteral("Sleep");
    s.loopsPer60ms = 123456;
    s.saveStore(store);
    QCOMPARE(store.values.value(QStringLiteral("UserCWSelection")), QStringLiteral("Sleep"));
    again.loadStore(store);
    QCOMPARE(again.loopsPer60ms, 123456.0);
    store.values[QStringLiteral("UserCWSelection")] = QStringLiteral("Bogus");
    again.loadStore(store);
    QCOMPARE(again.timingMethod, QStringLiteral("Timer"));
}

// Numbers far past any setting (a damaged or hand-edited CW.txt) read as out of range, never
// as whatever an undefined cast gives.
void TestCwControl::hugeNumbersInTheFile()
{
    CwSettings s;
    s.speed = QStringLiteral("2e11");
    s.port = QStringLiteral("1e300");
    s.wordSpace = QStringLiteral("-1e300");
    QCOMPARE(s.speedWpm(), 1000000000);
    QCOMPARE(s.portNumber(), 1000000000);
    QCOMPARE(s.keyerSettings(PortMap()).wordSpace, -8);
    TestEnv env;
    QByteArray file;
    for (int i = 0; i < 9; ++i)
        file += "\"\"\r\n";
    file += "\"1\"\r\n\"2e11\"\r\n\"\"\r\n\"\"\r\n\"0\"\r\n1e300\r\n\"&H378\"\r\n-2e11\r\n\"0\"\r\n";
    env.write("CW.txt", file);
    CwSettings back;
    QVERIFY(back.load(env.path()));
    QCOMPARE(back.keyingInterface, KeyingInterface::None);
    QCOMPARE(back.speedWpm(), 1000000000);
    QVERIFY(back.showText);
}

void TestCwControl::shortSettingsFileKeepsDefaults()
{
    TestEnv env;
    env.write(QStringLiteral("CW.txt"), "\"CQ\"\r\n\"TU\"\r\n");
    CwSettings s;
    QVERIFY(!s.load(env.path()));
    QCOMPARE(s.messages[1], QStringLiteral("TU"));
    QCOMPARE(s.speed, QStringLiteral("13"));
    QCOMPARE(s.parallelAddress, QStringLiteral("&H378"));
    QCOMPARE(s.keyingInterface, KeyingInterface::None);
}

void TestCwControl::wildcards_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("sent");
    QTest::newRow("call trimmed") << "$ 5NN" << "k1abc " << "k1abc 5NN";
    QTest::newRow("every call") << "$ $" << "K1ABC" << "K1ABC K1ABC";
    QTest::newRow("report") << "UR *" << "" << "UR 5NN";
    QTest::newRow("no number") << "NR #!" << "K1ABC" << "NR !";
}

void TestCwControl::wildcards()
{
    QFETCH(QString, message);
    QFETCH(QString, call);
    QFETCH(QString, sent);
    Station st;
    st.call = call;
    QCOMPARE(st.control.expandMessage(message), sent);
}

void TestCwControl::functionKeys_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("interface");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QString>("keyed");
    QTest::newRow("F2 with call") << "CW" << 1 << int(Qt::Key_F2) << true << "K1ABC 5NN";
    QTest::newRow("F10 sends its own message") << "CW" << 1 << int(Qt::Key_F10) << true << "AGN";
    QTest::newRow("digital sends too") << "DG" << 1 << int(Qt::Key_F1) << true << "CQ TEST";
    QTest::newRow("phone keeps F10 from the menu") << "PH" << 1 << int(Qt::Key_F10) << true << "";
    QTest::newRow("phone leaves F2 to the voice keyer") << "PH" << 1 << int(Qt::Key_F2) << false << "";
    QTest::newRow("no interface") << "CW" << 0 << int(Qt::Key_F1) << false << "";
    QTest::newRow("empty message") << "CW" << 1 << int(Qt::Key_F5) << true << "";
}

void TestCwControl::functionKeys()
{
    QFETCH(QString, mode);
    QFETCH(int, interface);
    QFETCH(int, key);
    QFETCH(bool, taken);
    QFETCH(QString, keyed);
    Station st;
    st.mode = mode;
    st.call = QStringLiteral("k1abc");
    st.control.settings().keyingInterface = KeyingInterface(interface);
    st.control.applySettings();
    QCOMPARE(st.key(key), taken);
    QVERIFY(st.idle());
    QCOMPARE(st.lines.log->units(), Station::keyed(keyed));
}

void TestCwControl::repeatUntilAnyKey()
{
    Station st;
    st.control.settings().repeat = QStringLiteral("5");
    st.control.applySettings();
    st.key(Qt::Key_F1);
    QVERIFY(st.control.repeating());
    QTRY_VERIFY(st.control.repeatTimer().isActive());
    QCOMPARE(st.control.repeatTimer().interval(), 5000);
    st.lines.log->clear();
    st.control.tmrRepeat_Timer();  // five seconds later
    QTRY_VERIFY(st.control.repeatTimer().isActive());
    QCOMPARE(st.lines.log->units(), Station::keyed(QStringLiteral("CQ TEST")));

    // Any key ends the loop, even one that is no CW key.
    st.key(Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QVERIFY(!st.control.repeating());
    QVERIFY(!st.control.repeatTimer().isActive());
}

void TestCwControl::logMarkNeedsACall_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<int>("logged");
    QTest::newRow("with call") << "K1ABC" << 1;
    QTest::newRow("empty call") << "" << 0;
}

void TestCwControl::logMarkNeedsACall()
{
    QFETCH(QString, call);
    QFETCH(int, logged);
    Station st;
    st.call = call;
    st.key(Qt::Key_F3);
    QVERIFY(st.idle());
    QTRY_COMPARE(st.logged, logged);
    QTest::qWait(0);
    QCOMPARE(st.logged, logged);
}

// A "!" the entry line refuses leaves its reason in the status line: the text keyed after it
// and the end of the message do not write over it. The next message may.
void TestCwControl::refusedLogMarkStaysSaid()
{
    Station st;
    st.call = QStringLiteral("K1ABC");
    st.refuse = true;
    st.control.settings().showText = true;
    st.control.settings().messages[2] = QStringLiteral("TU $! QRZ");
    st.key(Qt::Key_F3);
    QVERIFY(st.idle());
    QTRY_COMPARE(st.status, QStringLiteral("Need Name!"));
    QTest::qWait(20);
    QCOMPARE(st.status, QStringLiteral("Need Name!"));
    QCOMPARE(st.logged, 0);
    st.key(Qt::Key_F10);
    QVERIFY(st.idle());
    QTRY_COMPARE(st.status, QString());
}

void TestCwControl::keyboardCw()
{
    Station st;
    st.call = QStringLiteral("K1ABC");
    QVERIFY(st.key(Qt::Key_F12));
    QVERIFY(st.control.keyboardMode());
    QCOMPARE(st.status, QStringLiteral("Keyboard CW mode is ON!  Press F12 to exit keyboard CW mode."));
    QCOMPARE(st.colour, QColor(255, 255, 192));
    QVERIFY(st.key(Qt::Key_C, Qt::NoModifier, QStringLiteral("c")));
    QVERIFY(st.key(Qt::Key_Q, Qt::NoModifier, QStringLiteral("q")));
    // Enter is keyed as nothing and does not log.
    QVERIFY(st.key(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r")));
    QVERIFY(st.idle());
    QCOMPARE(st.lines.log->units(), Station::keyed(QStringLiteral("CQ")));
    QCOMPARE(st.logged, 0);

    // Backspace takes back the character not yet keyed.
    st.lines.log->clear();
    st.holdAtFirstWait = true;
    st.timing.waits = 0;
    st.key(Qt::Key_T, Qt::NoModifier, QStringLiteral("t"));
    st.key(Qt::Key_E, Qt::NoModifier, QStringLiteral("e"));
    QVERIFY(st.key(Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b")));
    st.holdAtFirstWait = false;
    st.gate.release();
    QVERIFY(st.idle());
    QCOMPARE(st.lines.log->units(), Station::keyed(QStringLiteral("T")));

    // Digital mode keeps the F12 toggle but typed keys go to the entry line.
    st.mode = QStringLiteral("DG");
    QVERIFY(!st.key(Qt::Key_X, Qt::NoModifier, QStringLiteral("x")));
    QVERIFY(st.key(Qt::Key_F12));
    QVERIFY(!st.control.keyboardMode());
    QCOMPARE(st.status, QString());
    QCOMPARE(st.colour, QColor(0, 192, 192));
}

void TestCwControl::escAndCloseWhileSending()
{
    Station st;
    QVERIFY(!st.key(Qt::Key_Escape));  // nothing sent: the entry line is cleared instead
    QVERIFY(st.control.mayClose());

    st.holdAtFirstWait = true;
    st.key(Qt::Key_F1);
    QTRY_COMPARE(st.timing.waits.load(), 1);
    QVERIFY(!st.control.mayClose());  // first attempt only stops the message
    st.holdAtFirstWait = false;
    st.gate.release();
    QVERIFY(st.idle());
    QCOMPARE(st.lines.log->units(), Station::keyed(QStringLiteral("C")));
    QVERIFY(st.control.mayClose());

    st.lines.log->clear();
    st.timing.waits = 0;
    st.call = QStringLiteral("K1ABC");
    st.holdAtFirstWait = true;
    st.key(Qt::Key_F2);
    QTRY_COMPARE(st.timing.waits.load(), 1);
    QVERIFY(st.key(Qt::Key_Escape));
    st.holdAtFirstWait = false;
    st.gate.release();
    QVERIFY(st.idle());
    QCOMPARE(st.lines.log->units(), Station::keyed(QStringLiteral("K")));
}

void TestCwControl::speedKeys()
{
    Station st;
    QSignalSpy speed(&st.control, &CwControl::speedChanged);
    QVERIFY(st.key(Qt::Key_Up));
    QCOMPARE(st.status, QStringLiteral("21 WPM"));
    QVERIFY(st.key(Qt::Key_Down));
    QVERIFY(st.key(Qt::Key_Down));
    QCOMPARE(st.status, QStringLiteral("19 WPM"));
    QCOMPARE(st.keyer.speed(), 19);
    QCOMPARE(st.control.settings().speed, QStringLiteral("19"));
    QCOMPARE(speed.count(), 3);
    QVERIFY(st.key(Qt::Key_W, Qt::ControlModifier, QStringLiteral("\x17")));
    QVERIFY(st.key(Qt::Key_C, Qt::ControlModifier, QStringLiteral("\x03")));
    QCOMPARE(st.setupShown, 1);
}

void TestCwControl::practiceGroups()
{
    static int n = 0;
    n = 0;
    auto cycle = []() -> double { return double((n++) % 26) / 26.0; };
    const QString letters = frmCodePractice::randomGroups(10, 5, true, cycle);
    QCOMPARE(letters.size(), 60);
    QVERIFY(QRegularExpression(QStringLiteral("^([A-Z]{5} ){10}$")).match(letters).hasMatch());
    QVERIFY(letters.startsWith(QStringLiteral("ABCDE FGHIJ")));
    auto top = []() -> double { return 0.9999; };
    QCOMPARE(frmCodePractice::randomGroups(1, 3, false, top), QStringLiteral("--- "));
}

void TestCwControl::practiceSendEchoes()
{
    Station st;
    frmCodePractice practice(st.control);
    practice.findChild<QPlainTextEdit *>(QStringLiteral("Text1"))->setPlainText(QStringLiteral("ab%E"));
    practice.cmdSend_Click();
    QTRY_VERIFY(!practice.sending());
    QCOMPARE(practice.findChild<QPlainTextEdit *>(QStringLiteral("Text2"))->toPlainText(),
             QStringLiteral("ab%E"));
    QCOMPARE(st.lines.log->units(), Station::keyed(QStringLiteral("ABE")));

    // Stop while the first character is on the air: it is finished, and shows under "Text Sent".
    auto *sent = practice.findChild<QPlainTextEdit *>(QStringLiteral("Text2"));
    sent->clear();
    st.lines.log->clear();
    st.holdAtFirstWait = true;
    st.timing.waits = 0;
    practice.findChild<QPlainTextEdit *>(QStringLiteral("Text1"))->setPlainText(QStringLiteral("PARIS PARIS"));
    practice.cmdSend_Click();
    QTRY_VERIFY(st.timing.waits >= 1);
    practice.cmdStop_Click();
    st.holdAtFirstWait = false;
    st.gate.release();
    QVERIFY(st.idle());
    QTRY_VERIFY(!practice.sending());
    QCOMPARE(sent->toPlainText(), QStringLiteral("P"));
    QCOMPARE(st.lines.log->units(), Station::keyed(QStringLiteral("P")));

    auto *groups = practice.findChild<QLineEdit *>(QStringLiteral("Text3"));
    groups->setText(QStringLiteral("x"));
    practice.cmdGenerate_Click();
    QCOMPARE(groups->text(), QStringLiteral("10"));
    QCOMPARE(practice.findChild<QPlainTextEdit *>(QStringLiteral("Text1"))->toPlainText().size(), 60);
}

// "Loop" without a count: the window asks the keyer thread to count as soon as it shows in
// that state, takes the answer into its box, and keys with it.
void TestCwControl::loopCountedWhenTheWindowLoads()
{
    TestEnv env;
    Station st;
    st.timing.loopsPer60ms = 432100;
    FakeDialogs dialogs;
    FakeSettingsStore store;
    st.control.settings().timingMethod = QStringLiteral("Loop");
    st.control.settings().loopsPer60ms = 0;
    CWFrm frm(st.control, dialogs, store, env.path());
    frm.showSettings();
    auto *box = frm.findChild<QLineEdit *>(QStringLiteral("txtLoop"));
    QTRY_COMPARE(box->text(), QStringLiteral("432100"));
    QCOMPARE(st.control.settings().loopsPer60ms, 432100.0);
    // Counted once: showing the window again does not count again.
    st.timing.loopsPer60ms = 1;
    frm.showSettings();
    QTest::qWait(20);
    QCOMPARE(box->text(), QStringLiteral("432100"));
}

void TestCwControl::setupWindowSavesAndWarns()
{
    TestEnv env;
    Station st;
    FakeDialogs dialogs;
    FakeSettingsStore store;
    CWFrm frm(st.control, dialogs, store, env.path());
    // A line that will not open: the operator hears of it once per message.
    st.lines.failOpen = true;
    connect(&st.keyer, &KeyerThread::lineFailed, &frm, [&frm](const QString &e) {
        frm.show();  // already open: no second modal window
        frm.portFailed(e);
    });
    st.key(Qt::Key_F1);
    QVERIFY(st.idle());
    QTRY_VERIFY(dialogs.wasShown(QStringLiteral("Invalid port.")));
    QCOMPARE(dialogs.shown.size(), 1);
    QCOMPARE(dialogs.shown.first().text,
             QStringLiteral("The port you have selected for CW keying is invalid.  Please select another or enter 0 for none."));
    QVERIFY(st.lines.log->events.isEmpty());
    st.lines.failOpen = false;

    frm.showSettings();
    frm.findChild<QLineEdit *>(QStringLiteral("Text4"))->setText(QStringLiteral("73 $"));
    frm.findChild<QLineEdit *>(QStringLiteral("txtPortMap"))->setText(QStringLiteral("1=/dev/ttyUSB0"));
    emit frm.findChild<QLineEdit *>(QStringLiteral("txtPortMap"))->editingFinished();
    QCOMPARE(frm.findChild<QLabel *>(QStringLiteral("lblDevice"))->text(), QStringLiteral("/dev/ttyUSB0"));
    frm.cmdDone_Click();
    CwSettings saved;
    QVERIFY(saved.load(env.path()));
    QCOMPARE(saved.messages[3], QStringLiteral("73 $"));
    QCOMPARE(store.values.value(QStringLiteral("UserCWSelection")), QStringLiteral("Timer"));
    QCOMPARE(store.values.value(QString::fromLatin1(PortMap::kSerialKey)), QStringLiteral("1=/dev/ttyUSB0"));
}

QTEST_MAIN(TestCwControl)
#include "tst_cwcontrol.moc"
