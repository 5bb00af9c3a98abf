// The voice keyer and the navigation prompts on the real main window, driven by keys and menus.
#include "mainwindowharness.h"
#include "shell/voicewiring.h"
#include "voice/blindfrm.h"
#include "voice/phonefrm.h"

#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>

class TestVoiceWiring : public QObject {
    Q_OBJECT

    static void wire(MainWindowHarness &h)
    {
        Form1Services s;
        s.folders.workingDir = h.env.path();
        s.dialogs = &h.dialogs;
        s.clock = &h.clock;
        s.settings = &h.settings;
        s.shared = &h.shared;
        wireVoice(*h.window, s);
    }

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
        wire(h);
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

    void menusAndCtrlP()
    {
        MainWindowHarness h;
        h.writePreferences();
        h.start();
        wire(h);
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
        wire(h);
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
