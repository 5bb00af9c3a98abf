#pragma once
// Starts the main window in a temporary working directory with scripted dialogs and clock.
#include "fakes.h"
#include "fakeaudio.h"
#include "fakekeyline.h"
#include "core/logstore.h"
#include "cw/keyerthread.h"
#include "shell/mainwindow.h"
#include "core/preferences.h"
#include "ui/sharedpreferences.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <memory>

struct MainWindowHarness {
    TestEnv env;
    FakeClock clock;
    FakeDialogs dialogs;
    FakeSettingsStore settings;
    SharedPreferences shared;
    // The program's one keyer thread, on recording lines (what opens is in keyLines.log) and
    // real time, so a keyed message takes as long as on the air.
    MonotonicTiming keyTiming;
    RecordingKeyLines keyLines{&keyTiming};
    KeyerThread keyer{keyLines, keyTiming};
    // Scripted sound: a test ends a message with messagePlayer.finish().
    FakeWavePlayer messagePlayer;
    FakeWavePlayer promptPlayer;
    FakeWaveRecorder recorder;
    QStringList startedIn;  // folders File > Open Contest Folder started the program in
    RigLink *rig = nullptr;
    ChildProcess *rigctld = nullptr;
    std::unique_ptr<Form1> window;

    MainWindowHarness()
    {
        // Local 12:00, UTC 17:00: offset 5 as in the preferences below, so no offset prompt.
        clock.set(QDateTime(QDate(2026, 12, 5), QTime(12, 0, 0)), 5);
        // Check partial and call history are on for operators; the main-window tests describe
        // the window without them unless they switch them on.
        settings.values["CheckPartial"] = "0";
        settings.values["CallHistory"] = "0";
        env.write("arrlpre2.txt",
                  "\"4X\",\"Israel\",\"AS\",-35,31.5,20,39,-2\r\n"
                  "\"JA\",\"Japan\",\"AS\",-139.75,35.7,25,45,-9\r\n"
                  "\"K\",\"USA\",\"NA\",91.9,37.5,5,8,5\r\n"
                  "\"KH6\",\"Hawaii\",\"OC\",157,21,31,61,10\r\n"
                  "\"KL7\",\"Alaska\",\"NA\",150,61,1,1,9\r\n"
                  "\"VE\",\"Canada\",\"NA\",80,45,5,9,5\r\n"
                  "\"W\",\"USA\",\"NA\",91.9,37.5,5,8,5\r\n");
    }

    // CW.txt with the function-key texts from F1 on, the speed and the keying interface (5: the
    // external keyer), port 0 and everything else as the setup window writes it.
    void writeCwFile(const QStringList &messages, int wpm, int interface)
    {
        QByteArray cw;
        for (int i = 0; i < 9; ++i)
            cw += "\"" + messages.value(i).toLatin1() + "\"\r\n";
        cw += "\"0\"\r\n\"" + QByteArray::number(wpm) + "\"\r\n\"\"\r\n\"\"\r\n\"0\"\r\n"
              + QByteArray::number(interface) + "\r\n\"&H378\"\r\n0\r\n\"0\"\r\n";
        env.write("CW.txt", cw);
    }

    void writePreferences(const QString &call = "K1XYZ", float offset = 5)
    {
        Preferences p;
        p.ownCall = call;
        p.ownState = "CT";
        p.utcOffset = offset;
        p.ownMemberNumber = "1234";
        p.ownCountry = "USA";
        p.ownLongitude = 77;
        p.ownLatitude = 39;
        p.ownFirstName = "ANN";
        p.save(env.file("tntnprf.txt"));
    }

    void writeLog(const QList<QsoRecord> &records)
    {
        QByteArray bytes;
        for (const QsoRecord &r : records)
            bytes += LogStore::formatLine(r);
        env.write("log.txt", bytes);
    }

    static QsoRecord rec(const QString &call, const QString &qth = "CT", const QString &number = "12")
    {
        return {call, "BOB", qth, number, number == "None" ? "1" : "2", "2026/12/05", "16:00:00", "CW"};
    }

    // Answers the station setup with Done whenever it opens modally.
    static void acceptModalDialogs()
    {
        QTimer::singleShot(0, [] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                if (auto *done = modal->findChild<QWidget *>("Command1"))
                    QTest::mouseClick(done, Qt::LeftButton);
                else
                    modal->close();
            }
        });
    }

    // Starts the program: `continueLog` answers the open-existing-log question.
    Form1 &start(bool continueLog = true)
    {
        Form1Services s;
        s.folders.workingDir = env.path();
        s.folders.makerFolder = env.file("Documents/Korvex Software");
        s.folders.productDataFolder = s.folders.makerFolder + "/Vardel";
        s.folders.sharedFolder = s.folders.makerFolder + "/Shared";
        QDir().mkpath(s.folders.backupFolder());
        QDir().mkpath(s.folders.sharedFolder);
        shared.load(s.folders.sharedFolder + "/SharedUserPreferences.xml");
        s.dialogs = &dialogs;
        s.clock = &clock;
        s.settings = &settings;
        s.shared = &shared;
        s.rig = rig;
        s.rigctld = rigctld;
        s.keyer = &keyer;
        s.messagePlayer = &messagePlayer;
        s.promptPlayer = &promptPlayer;
        s.recorder = &recorder;
        s.startInFolder = [this](const QString &folder) {
            startedIn << folder;
            return true;
        };
        window = std::make_unique<Form1>(s);
        window->show();
        QApplication::setActiveWindow(window.get());
        if (!continueLog)
            dialogs.inputAnswers.enqueue("YES");
        dialogs.messageAnswers.enqueue(continueLog ? Dialogs::Answer::Yes : Dialogs::Answer::No);
        acceptModalDialogs();
        window->Form_Load();
        // The modal station setup took the activation; give it back as the window manager would.
        QApplication::setActiveWindow(window.get());
        if (!window->programEnded())
            field("txtCall")->setFocus();
        return *window;
    }

    template <typename T = QLabel>
    T *find(const QString &name) const
    {
        return window->findChild<T *>(name);
    }
    QLineEdit *field(const QString &name) const { return find<QLineEdit>(name); }
    QString label(const QString &name) const { return find<QLabel>(name)->text(); }

    void type(const QString &name, const QString &keys)
    {
        QLineEdit *f = field(name);
        f->setFocus();
        QTest::keyClicks(f, keys);
    }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget *w = QApplication::focusWidget();
        QTest::keyClick(w ? w : window.get(), k, modifiers);
    }
    // The exchange typed the way an operator does: fields separated by Space, then Enter.
    void logContact(const QString &call, const QString &name, const QString &qth, const QString &number)
    {
        type("txtCall", call);
        key(Qt::Key_Space);
        QTest::keyClicks(QApplication::focusWidget(), name);
        key(Qt::Key_Space);
        QTest::keyClicks(QApplication::focusWidget(), qth);
        key(Qt::Key_Space);
        if (!number.isEmpty())
            QTest::keyClicks(QApplication::focusWidget(), number);
        key(Qt::Key_Return);
    }
    QStringList logLines() const
    {
        return QString::fromLatin1(env.read("log.txt")).split("\r\n", Qt::SkipEmptyParts);
    }
    QString focusName() const
    {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }
};
