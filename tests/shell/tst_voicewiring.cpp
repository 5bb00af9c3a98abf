// The voice keyer and the navigation prompts on the real main window, driven by keys and menus.
#include "mainwindowharness.h"
#include "platform/waveplayer.h"
#include "voice/blindfrm.h"
#include "voice/phonefrm.h"

#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>

class TestVoiceWiring : public QObject {
    Q_OBJECT

private slots:
    void functionKeysPlayOnlyInPhoneMode_data()
    {
        QTest::addColumn<bool>("phone");
        QTest::newRow("phone") << true;
        QTest::newRow("cw") << false;
    }
    void functionKeysPlayOnlyInPhoneMode()
    {
        QFETCH(bool, phone);
        MainWindowHarness h;
        h.writePreferences();
        h.env.write("wave2.txt", "\"\"\r\n\"gone.wav\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n"
                                 "\"0\"\r\n0\r\n\"0\"\r\n\"&H378\"\r\n");
        h.start();
        if (phone)
            h.window->mnuSSB_Click();
        h.dialogs.shown.clear();
        h.type("txtCall", "k1a");
        h.key(Qt::Key_F2);
        // The missing message is reported in phone mode; in CW the key is not the voice keyer's.
        QCOMPARE(h.dialogs.wasShown("Phone message"), phone);
        // An empty F1 box plays nothing and reports nothing; the key is still taken.
        h.dialogs.shown.clear();
        h.key(Qt::Key_F1);
        QVERIFY(!h.dialogs.wasShown("Phone message"));
        QCOMPARE(h.field("txtCall")->text(), QString("K1A"));
    }

    // Esc while a message is being sent ends it and is used up: the call typed meanwhile stays.
    // Idle, Esc clears the entry line as ever.
    void escEndsTheMessageAndKeepsTheCall()
    {
        MainWindowHarness h;
        h.writePreferences();
        h.env.write("cq.wav", wavefile::header16(8000, 1, 8000) + QByteArray(8000, '\0'));
        h.env.write("wave2.txt", "\"\"\r\n\"cq.wav\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n"
                                 "\"0\"\r\n0\r\n\"0\"\r\n\"&H378\"\r\n");
        h.start();
        h.window->mnuSSB_Click();
        h.type("txtCall", "w2xyz");
        h.key(Qt::Key_F2);
        QTRY_VERIFY(h.messagePlayer.isPlaying());
        h.key(Qt::Key_Escape);
        QVERIFY(!h.messagePlayer.isPlaying());
        QCOMPARE(h.field("txtCall")->text(), QString("W2XYZ"));
        h.key(Qt::Key_Escape);
        QCOMPARE(h.field("txtCall")->text(), QString());
    }

    // Prompts and messages on one sound output: while a message is being sent the prompts are
    // dropped, so they never reach the transmitter; afterwards they play again.
    void promptsStayOffTheAir()
    {
        MainWindowHarness h;
        h.writePreferences();
        for (const char *p : {"Call", "Name"})
            h.env.write(QStringLiteral("%1.wav").arg(p), wavefile::header16(8000, 1, 80) + QByteArray(80, '\0'));
        h.env.write("cq.wav", wavefile::header16(8000, 1, 8000) + QByteArray(8000, '\0'));
        h.env.write("wave2.txt", "\"\"\r\n\"cq.wav\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n"
                                 "\"0\"\r\n0\r\n\"0\"\r\n\"&H378\"\r\n");
        h.start();
        h.window->setVoiceNavigationLevel(2);
        h.window->mnuSSB_Click();
        h.type("txtCall", "w2xyz");
        h.promptPlayer.played.clear();
        h.key(Qt::Key_F2);
        QTRY_VERIFY(h.messagePlayer.isPlaying());
        h.key(Qt::Key_Space);  // on to the name field: its prompt would go out with the message
        QCOMPARE(h.focusName(), QString("txtRSTR"));
        QVERIFY(h.promptPlayer.played.isEmpty());
        h.key(Qt::Key_Escape);
        h.field("txtCall")->setFocus();
        QCOMPARE(h.promptPlayer.played, QStringList{h.env.file("Call.wav")});
    }

    void menusAndCtrlP()
    {
        MainWindowHarness h;
        h.writePreferences();
        h.start();
        QVERIFY(h.window->menuBar()->findChild<QAction *>("mnuPhoneSetup"));
        QVERIFY(h.window->menuBar()->findChild<QAction *>("mnuBlind"));
        auto *phone = h.window->findChild<PhoneFrm *>("PhoneFrm");
        QVERIFY(phone && !phone->isVisible());
        h.type("txtCall", "w1");
        QTest::keyClick(h.field("txtCall"), Qt::Key_P, Qt::ControlModifier);
        QVERIFY(phone->isVisible());
        QCOMPARE(phone->windowTitle(), QString("Phone Wave Selections"));
        QCOMPARE(h.field("txtCall")->text(), QString("W1"));
    }

    void navigationDoneSavesTheLevel()
    {
        MainWindowHarness h;
        h.writePreferences();
        h.start();
        auto *blind = h.window->findChild<BlindFrm *>("BlindFrm");
        QVERIFY(blind);
        h.window->menuBar()->findChild<QAction *>("mnuBlind")->trigger();
        QVERIFY(blind->isVisible());
        blind->findChild<QRadioButton *>("Option3")->click();
        QCOMPARE(h.window->preferences().voiceNavigationLevel, 0);
        blind->Command1_Click();
        QCOMPARE(h.window->preferences().voiceNavigationLevel, 2);
        Preferences saved;
        QVERIFY(saved.load(h.env.file("tntnprf.txt")));
        QCOMPARE(saved.voiceNavigationLevel, 2);
    }
};

QTEST_MAIN(TestVoiceWiring)
#include "tst_voicewiring.moc"
