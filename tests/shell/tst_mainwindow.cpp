#include "mainwindowharness.h"
#include "pastecheck.h"

#include "core/entryline.h"

#include <QClipboard>
#include <QHeaderView>
#include <QListWidget>
#include <QMenuBar>

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    // Pasted text meets the rules typed text does; a pasted line break never splits a record.
    void pastedTextLogsOneReadableRecord()
    {
        MainWindowHarness h;
        h.writePreferences();
        h.start();
        pastecheck::everyFieldRefusesUnstorableText(h.window.get());
        for (const char *name : {"txtCall", "txtRSTR", "txtCntry", "txtRSTS", "txtPostConDate", "txtPostConTime"})
            h.field(name)->clear();
        h.field("txtCall")->setFocus();
        QGuiApplication::clipboard()->setText("k1abc");
        h.field("txtCall")->paste();
        QCOMPARE(h.field("txtCall")->text(), QString("K1ABC"));
        QGuiApplication::clipboard()->setText("JOE\nBOB");
        h.field("txtRSTR")->paste();
        QCOMPARE(h.field("txtRSTR")->text(), QString("JOEBOB"));
        h.field("txtCntry")->setText("CT");
        h.field("txtRSTS")->setText("12");
        h.field("txtRSTS")->setFocus();
        h.key(Qt::Key_Return);
        QCOMPARE(h.logLines(),
                 QStringList{"\"K1ABC\",\"JOEBOB\",\"CT\",\"12\",\"2\",\"2026/12/05\",\"17:00:00\",\"CW\""});
        // A typed character outside the code page is refused like the quote.
        h.field("txtRSTR")->setFocus();
        QKeyEvent omega(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(0x3A9)));
        QApplication::sendEvent(h.field("txtRSTR"), &omega);
        QCOMPARE(h.field("txtRSTR")->text(), QString());
    }

    // log.txt deleted while the program runs: the next contact brings every contact back.
    void deletedLogIsWrittenAgainBeforeTheNextContact()
    {
        MainWindowHarness h;
        h.writePreferences();
        h.writeLog({h.rec("W1AW"), h.rec("K2AA"), h.rec("K3AA")});
        h.start();
        QVERIFY(QFile::remove(h.env.file("log.txt")));
        h.logContact("k4aa", "bob", "ct", "12");
        QVERIFY(h.dialogs.wasShown("Log Written Again"));
        QCOMPARE(h.logLines().size(), 4);
        h.window->mnuopen2();
        QCOMPARE(h.window->logStore().count(), 4);
        QVERIFY(!h.window->programEnded());
    }

    // A reload that fails ends the program, but never before the contacts in memory are saved.
    void failedReloadSavesTheContactsFirst()
    {
        MainWindowHarness h;
        h.writePreferences();
        h.writeLog({h.rec("W1AW"), h.rec("K2AA")});
        h.start();
        h.logContact("k4aa", "bob", "ct", "12");
        QVERIFY(QFile::remove(h.env.file("log.txt")));
        QVERIFY(QDir().mkdir(h.env.file("log.txt")));
        h.window->mnuopen2();
        QVERIFY(h.dialogs.wasShown("Contacts Saved"));
        QVERIFY(h.dialogs.wasShown("File Error"));
        QVERIFY(h.window->programEnded());
        const QString backupFolder = h.env.file("Documents/Korvex Software/Vardel/BACKUP");
        const QStringList saved = QDir(backupFolder).entryList({"*.log"}, QDir::Files);
        QCOMPARE(saved.size(), 1);
        LogStore copy;
        QCOMPARE(copy.load(QDir(backupFolder).filePath(saved.first())), LogStore::LoadResult::Ok);
        QCOMPARE(copy.count(), 3);
        QVERIFY(h.dialogs.shown.at(h.dialogs.titles().indexOf("Contacts Saved")).text.contains(saved.first()));
    }

    // A short station file keeps its values and a copy of itself; only the rest is filled in.
    void shortPreferencesKeepTheirValues()
    {
        MainWindowHarness h;
        h.writePreferences("K9ABC");
        QList<QByteArray> lines = h.env.read("tntnprf.txt").split('\n');
        const QByteArray shortFile = lines.mid(0, 13).join('\n') + "\n";
        h.env.write("tntnprf.txt", shortFile);
        h.start();
        QVERIFY(h.dialogs.wasShown("Error opening file"));
        QCOMPARE(h.env.read("tntnprf.txt.damaged"), shortFile);
        QCOMPARE(h.window->preferences().ownCall, QString("K9ABC"));
        QCOMPARE(h.window->preferences().ownFirstName, QString("ANN"));
        Preferences written;
        QVERIFY(written.load(h.env.file("tntnprf.txt")));
        QCOMPARE(written.ownCall, QString("K9ABC"));
        QCOMPARE(written.ownMemberNumber, QString("1234"));
    }

    void recentContactsFollowEachEnter_data()
    {
        QTest::addColumn<bool>("showAll");
        QTest::addColumn<bool>("sortFirst");
        QTest::addColumn<int>("rows");
        QTest::newRow("last 20") << false << false << 20;
        QTest::newRow("all") << true << false << 27;
        QTest::newRow("all, sorted by call") << true << true << 27;
    }

    void recentContactsFollowEachEnter()
    {
        QFETCH(bool, showAll);
        QFETCH(bool, sortFirst);
        QFETCH(int, rows);
        MainWindowHarness h;
        h.writePreferences();
        QList<QsoRecord> records;
        for (int i = 0; i < 25; ++i)
            records.append(MainWindowHarness::rec(QString("K%1ABC").arg(i)));
        h.writeLog(records);
        h.start();
        auto *list = h.find<QTreeWidget>("ListView1");
        if (showAll)
            QTest::mouseClick(h.find<QWidget>("cmdList"), Qt::LeftButton);
        if (sortFirst)
            emit list->header()->sectionClicked(1);
        h.logContact("w1aw", "hiram", "ct", "1");
        h.logContact("w2aw", "bob", "ny", "2");
        QCOMPARE(list->topLevelItemCount(), rows);
        QCOMPARE(list->topLevelItem(0)->text(1), QString("W2AW"));
        QCOMPARE(list->topLevelItem(1)->text(0), QString("26"));
        // The list matches a rebuild row for row.
        QStringList shown;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            shown << list->topLevelItem(i)->text(0) + list->topLevelItem(i)->text(1);
        h.window->refreshLogList();
        QStringList rebuilt;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            rebuilt << list->topLevelItem(i)->text(0) + list->topLevelItem(i)->text(1);
        QCOMPARE(shown, rebuilt);
    }

    void firstStartWritesDefaultsAndAnEmptyLog()
    {
        MainWindowHarness h;
        Form1 &w = h.start();
        QVERIFY(!w.programEnded());
        QCOMPARE(h.env.read("tntnprf.txt").count("\r\n"), 14);
        QVERIFY(QFileInfo::exists(h.env.file("log.txt")));
        QCOMPARE(h.env.read("log.txt"), QByteArray());
        QCOMPARE(h.label("lblStation_5"), QString("DX - 0"));
        // The title bar shows the name without the padding the files carry.
        QCOMPARE(w.windowTitle(), QString("Korvex's Vardel 2.9"));
        QVERIFY(Form1::caption().size() > 50);
        QCOMPARE(h.label("Label10_1"), QString("CT"));
        QCOMPARE(h.find<QLabel>("Label10_36")->toolTip(), QString("Alaska"));
        // Local 12:00, UTC 17:00 on the fake clock; the first start takes the system's offset.
        QCOMPARE(h.label("lblutctime"), QString("17:00:00"));
        QCOMPARE(h.label("lblCurTime"), QString("12:00:00"));
        QCOMPARE(h.label("Label16"), QString("PM"));
        QVERIFY(!h.dialogs.wasShown("Update the Local Time / UTC Offset?"));
    }

    void offsetCheckOffersTheSystemOffset_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<float>("stored");
        QTest::newRow("accept") << "3.5" << 3.5f;
        QTest::newRow("cancel keeps") << "" << 5.0f;
        QTest::newRow("text keeps") << "abc" << 5.0f;
    }
    void offsetCheckOffersTheSystemOffset()
    {
        QFETCH(QString, answer);
        QFETCH(float, stored);
        MainWindowHarness h;
        h.writePreferences("K1XYZ", 5);
        h.clock.set(QDateTime(QDate(2026, 12, 5), QTime(12, 0)), 3.5);
        h.dialogs.inputAnswers.enqueue(answer);
        Form1 &w = h.start();
        QVERIFY(h.dialogs.wasShown("Update the Local Time / UTC Offset?"));
        QCOMPARE(h.dialogs.shown.first().extra, QString("3.5"));
        QVERIFY(h.dialogs.shown.first().text.contains("Recommended Offset Setting: 3.5"));
        QCOMPARE(w.preferences().utcOffset, stored);
        Preferences onDisk;
        QVERIFY(onDisk.load(h.env.file("tntnprf.txt")));
        QCOMPARE(onDisk.utcOffset, stored);
    }

    void lookupFillsCountryBearingAndMiles()
    {
        MainWindowHarness h;
        h.writePreferences();
        h.start();
        h.type("txtCall", "ja1abc");
        QCOMPARE(h.field("txtCall")->text(), QString("JA1ABC"));
        QCOMPARE(h.field("txtCntry")->text(), QString("Japan"));
        QCOMPARE(h.label("Label19"), QString(" AS"));
        QVERIFY(h.label("Label22").startsWith(' '));
        QVERIFY(!h.label("Label23").trimmed().isEmpty());
        QVERIFY(h.find<QLabel>("Label3")->isVisibleTo(h.window.get()));  // "New"
        h.key(Qt::Key_Escape);
        h.type("txtCall", "W1AW");
        QCOMPARE(h.field("txtCntry")->text(), QString());  // the state is the operator's
        QCOMPARE(h.label("Label19"), QString(" NA"));
        h.key(Qt::Key_Escape);
        h.type("txtCall", "ZZ9ZZ");
        QCOMPARE(h.field("txtCntry")->text(), QString("Not Found"));
        QCOMPARE(h.label("Label19"), QString());
    }

    void logsAContactWithTheKeyboard()
    {
        MainWindowHarness h;
        h.writePreferences();
        h.start();
        h.logContact("k1abc", "bob", "ct", "1234");
        QCOMPARE(h.logLines(),
                 QStringList{"\"K1ABC\",\"BOB\",\"CT\",\"1234\",\"2\",\"2026/12/05\",\"17:00:00\",\"CW\""});
        QCOMPARE(h.label("lblTotCon"), QString("1"));
        QCOMPARE(h.label("lblTotSec"), QString("2"));
        QCOMPARE(h.focusName(), QString("txtCall"));
        QCOMPARE(h.field("txtCall")->text(), QString());
        auto *list = h.find<QTreeWidget>("ListView1");
        QCOMPARE(list->topLevelItemCount(), 1);
        QCOMPARE(list->topLevelItem(0)->text(1), QString("K1ABC"));
        QCOMPARE(list->topLevelItem(0)->text(5), QString("12/05 17:00"));
        QVERIFY(h.find<QLabel>("Label10_1")->styleSheet().contains("rgb(0, 128, 0)"));

        h.logContact("JA1ABC", "taro", "", "");  // country filled by the lookup, "None" preselected
        QCOMPARE(h.logLines().last(),
                 QString("\"JA1ABC\",\"TARO\",\"Japan\",\"None\",\"1\",\"2026/12/05\",\"17:00:00\",\"CW\""));
        QCOMPARE(h.label("lblTotSec"), QString("3"));
        QCOMPARE(h.label("lblStation_5"), QString("DX - 1"));
        QCOMPARE(h.find<QListWidget>("List1")->item(0)->text(), QString("Japan"));
    }

    // File > Open Contest Folder closes as any close does (the closing backup keeps the
    // contacts) and starts the program again in the chosen folder; the folder in use is refused.
    void openContestFolderClosesAndStartsThere()
    {
        MainWindowHarness h;
        h.writePreferences();
        Form1 &form = h.start();
        h.logContact("k1abc", "bob", "ct", "1234");
        QAction *open = form.findChild<QAction *>("mnuOpenFolder");
        QVERIFY(open);
        h.dialogs.fileAnswers.enqueue(h.env.path());
        open->trigger();
        QVERIFY(form.isVisible());
        QVERIFY(h.startedIn.isEmpty());
        QVERIFY(h.dialogs.shown.last().text.contains("is the contest folder in use"));

        QVERIFY(QDir(h.env.path()).mkpath("winter"));
        h.dialogs.fileAnswers.enqueue(h.env.file("winter"));
        open->trigger();
        QTRY_VERIFY(!form.isVisible());
        QCOMPARE(h.startedIn, QStringList{h.env.file("winter")});
        const QStringList backups = QDir(h.env.file("Documents/Korvex Software/Vardel/BACKUP")).entryList(QDir::Files);
        QCOMPARE(backups.size(), 1);
        QVERIFY(h.env.read("Documents/Korvex Software/Vardel/BACKUP/" + backups.first()).contains("K1ABC"));
    }

    void rejectionsKeepTheEntry_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("qth");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("all empty") << "" << "" << "" << "Need Country!" << "txtCntry";
        QTest::newRow("no name") << "K1ABC" << "" << "CT" << "Need Name!" << "txtRSTR";
        QTest::newRow("short call") << "K1" << "BOB" << "CT" << "Need Call Sign!" << "txtCall";
        QTest::newRow("bad state") << "K1ABC" << "BOB" << "XX" << "Invalid State!" << "txtCntry";
    }
    void rejectionsKeepTheEntry()
    {
        QFETCH(QString, call);
        QFETCH(QString, name);
        QFETCH(QString, qth);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        MainWindowHarness h;
        h.writePreferences();
        h.start();
        h.field("txtCall")->setText(call);
        h.field("txtRSTR")->setText(name);
        h.field("txtCntry")->setText(qth);
        h.field("txtRSTR")->setFocus();
        h.key(Qt::Key_Return);
        QCOMPARE(h.label("lblDialog"), message);
        QCOMPARE(h.focusName(), focus);
        QCOMPARE(h.env.read("log.txt"), QByteArray());
        QCOMPARE(h.field("txtCall")->text(), call);
        QCOMPARE(h.field("txtCntry")->text(), qth);
    }

    void memberNumberRules_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("points");
        QTest::newRow("zero") << "0" << "None" << "1";
        QTest::newRow("letters") << "ABC" << "None" << "1";
        QTest::newRow("none") << "" << "None" << "1";
        QTest::newRow("number") << "1234" << "1234" << "2";
    }
    void memberNumberRules()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(QString, points);
        MainWindowHarness h;
        h.writePreferences();
        h.start();
        h.logContact("K1ABC", "BOB", "CT", typed);
        QVERIFY(h.logLines().value(0).contains(QString("\"%1\",\"%2\"").arg(stored, points)));
    }

    void utcStampCrossesMidnight()
    {
        MainWindowHarness h;
        h.writePreferences("K1XYZ", 5);
        h.clock.set(QDateTime(QDate(2026, 10, 12), QTime(21, 30, 15)), 5);
        h.start();
        h.logContact("K1ABC", "BOB", "CT", "");
        QVERIFY(h.logLines().value(0).contains("\"2026/10/13\",\"02:30:15\""));
    }

    void dupeIsRefusedAndKeysDuringTheAlarmWait()
    {
        MainWindowHarness h;
        h.writePreferences();
        h.writeLog({MainWindowHarness::rec("K1ABC"), MainWindowHarness::rec("W2XYZ", "NY")});
        Form1 &w = h.start();
        h.type("txtCall", "w2xyz");
        h.key(Qt::Key_Space);  // leaving the call field runs the full check
        QCOMPARE(h.label("lblDialog"),
                 QString("Duplicate W2XYZ BOB NY 2026/12/05 16:00:00  Rec#  2"));
        QVERIFY(h.find<QLabel>("lblDialog")->styleSheet().contains("255, 0, 0"));
        QCOMPARE(h.field("txtCall")->text(), QString());
        QCOMPARE(h.focusName(), QString("txtCall"));
        QVERIFY(w.dupeFound());
        // Typed during the alarm: held, then processed in order once three seconds are up.
        QTest::keyClicks(h.field("txtCall"), "n3");
        QCOMPARE(h.field("txtCall")->text(), QString());
        h.clock.advanceMs(3000);
        auto *hold = w.findChild<QTimer *>("tmrDupeHold");
        QVERIFY(hold && hold->isActive());
        hold->start(0);  // its time has come on the clock
        QTRY_COMPARE(h.field("txtCall")->text(), QString("N3"));
        QVERIFY(!w.dupeFound());
        QCOMPARE(h.logLines().size(), 2);

        // Enter on a dupe logs nothing.
        h.key(Qt::Key_Escape);
        h.field("txtCall")->setFocus();
        h.field("txtCall")->setText("K1ABC");
        h.field("txtRSTR")->setText("BOB");
        h.field("txtCntry")->setText("CT");
        h.key(Qt::Key_Return);
        QVERIFY(h.label("lblDialog").startsWith("Duplicate K1ABC"));
        QCOMPARE(h.logLines().size(), 2);
        QCOMPARE(h.field("txtRSTR")->text(), QString());
    }

    void dupeOfAContactLoggedThisSession()
    {
        MainWindowHarness h;
        h.writePreferences();
        h.start();
        h.logContact("w1aw", "hiram", "ct", "1");
        h.type("txtCall", "w1aw");
        h.key(Qt::Key_Space);
        QVERIFY(h.label("lblDialog").startsWith("Duplicate W1AW HIRAM CT"));
        QCOMPARE(h.focusName(), QString("txtCall"));

        // Without the keyboard focus the window gets no focus events; Space still checks.
        h.clock.advanceMs(3100);
        h.key(Qt::Key_Escape);
        QApplication::setActiveWindow(nullptr);
        QTest::keyClicks(h.field("txtCall"), "w1aw");
        QTest::keyClick(h.field("txtCall"), Qt::Key_Space);
        QVERIFY(h.window->dupeFound());
        QCOMPARE(h.field("txtCall")->text(), QString());
    }

    void partialDupesAndTheThirdCharacter()
    {
        MainWindowHarness h;
        h.writePreferences();
        h.writeLog({MainWindowHarness::rec("W1AW"), MainWindowHarness::rec("W1AWX")});
        h.start();
        h.type("txtCall", "W1A");
        QCOMPARE(h.label("lblDupe"), QString("W1AWX W1AW "));
        QCOMPARE(h.label("lblDialog"), QString(" "));  // the third character is a digit: no warning
        QTest::keyClicks(h.field("txtCall"), "WX");
        QCOMPARE(h.label("lblDupe"), QString("W1AWX "));
        QCOMPARE(h.label("lblDialog"), QString("Possible Duplicate!"));
        h.key(Qt::Key_Escape);
        h.type("txtCall", "W1");
        QCOMPARE(h.label("lblDialog"), QString(" "));  // never after two characters
        h.key(Qt::Key_Escape);
        h.type("txtCall", "ABC");
        QCOMPARE(h.label("lblDialog"), QString("The second or third character is not numeric!"));
        // With the switch off the line stays empty.
        h.key(Qt::Key_Escape);
        QTest::mouseClick(h.find<QWidget>("cmdDup"), Qt::LeftButton);
        h.type("txtCall", "W1AW");
        QCOMPARE(h.label("lblDupe"), QString());
    }

    void partialLineStopsPastOneHundredCharacters()
    {
        LogStore store;
        MainWindowHarness h;
        QList<QsoRecord> records;
        for (int i = 0; i < 40; ++i)
            records.append(MainWindowHarness::rec(QString("K1A%1").arg(i, 2, 10, QChar('0'))));
        h.writeLog(records);
        QCOMPARE(store.load(h.env.file("log.txt")), LogStore::LoadResult::Ok);
        const QString line = entryline::partialDupeList(store, "K1A");
        // 6 characters a call: the scan stops after the 17th record (102 characters).
        QCOMPARE(line.size(), 102);
        QVERIFY(line.startsWith("K1A16 "));
        QVERIFY(line.endsWith("K1A00 "));
    }

    void postContestDatesAndTimes_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("stored");
        QTest::newRow("digits") << "2026/10/3" << "930" << "" << "\"2026/10/03\",\"09:30\"";
        QTest::newRow("four digits") << "2026/10/13" << "1403" << "" << "\"2026/10/13\",\"14:03\"";
        QTest::newRow("month 13") << "2026/13/01" << "1200" << "Invalid date format!" << "";
        QTest::newRow("bad time") << "2026/10/13" << "2561" << "Invalid time format!" << "";
    }
    void postContestDatesAndTimes()
    {
        QFETCH(QString, date);
        QFETCH(QString, time);
        QFETCH(QString, status);
        QFETCH(QString, stored);
        MainWindowHarness h;
        h.writePreferences();
        Form1 &w = h.start();
        w.mnuPostContest_Click();
        QVERIFY(h.field("txtPostConDate")->isVisible());
        h.field("txtPostConDate")->setText(date);
        h.type("txtPostConTime", time + "x");  // letters are dropped in the time field
        h.field("txtCall")->setText("K1ABC");
        h.field("txtRSTR")->setText("BOB");
        h.field("txtCntry")->setText("CT");
        h.key(Qt::Key_Return);
        QCOMPARE(h.label("lblDialog"), status);
        if (stored.isEmpty())
            QCOMPARE(h.logLines().size(), 0);
        else
            QVERIFY(h.logLines().value(0).contains(stored));
    }

    void damagedLogEndsWithFileErrorAndIsLeftAlone()
    {
        MainWindowHarness h;
        h.writePreferences();
        const QByteArray damaged = "\"K1ABC\",\"BO\"B\",\"CT\",\"1\",\"2\",\"2026/12/05\",\"16:00\",\"CW\"\r\n";
        h.env.write("log.txt", damaged);
        Form1 &w = h.start();
        QVERIFY(h.dialogs.wasShown("File Error"));
        QVERIFY(w.programEnded());
        QCOMPARE(h.env.read("log.txt"), damaged);
    }

    void newLogNeedsYes_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("left");
        QTest::newRow("yes any case") << "yes" << 0;
        QTest::newRow("Y is not yes") << "Y" << 1;
    }
    void newLogNeedsYes()
    {
        QFETCH(QString, answer);
        QFETCH(int, left);
        MainWindowHarness h;
        h.writePreferences();
        h.writeLog({MainWindowHarness::rec("K1ABC")});
        Form1 &w = h.start();
        h.dialogs.inputAnswers.enqueue(answer);
        w.mnuNew_Click();
        QCOMPARE(w.logStore().count(), left);
        QCOMPARE(h.logLines().size(), left);
    }

    void failedAppendKeepsTheEntryAndTellsTheOperator()
    {
        MainWindowHarness h;
        h.writePreferences();
        h.start();
        // The log file turns into something that cannot be appended to (a folder), as a
        // vanished disk or a locked file would.
        QFile::remove(h.env.file("log.txt"));
        QDir().mkdir(h.env.file("log.txt"));
        h.logContact("K1ABC", "BOB", "CT", "12");
        QVERIFY(h.dialogs.wasShown("Log Not Saved"));
        QCOMPARE(h.window->logStore().count(), 0);
        QCOMPARE(h.label("lblTotCon"), QString("0"));
        QCOMPARE(h.field("txtCall")->text(), QString("K1ABC"));
    }

    void fullLogRefusesTheNextContact()
    {
        MainWindowHarness h;
        h.writePreferences();
        QList<QsoRecord> records;
        for (int i = 0; i < LogStore::kCapacity; ++i)
            records.append(MainWindowHarness::rec(QString("K%1").arg(i)));
        h.writeLog(records);
        h.start();
        const QByteArray before = h.env.read("log.txt");
        h.logContact("W9ZZZ", "BOB", "CT", "12");
        QVERIFY(h.label("lblDialog").contains("11000"));
        QCOMPARE(h.env.read("log.txt"), before);
        QCOMPARE(h.field("txtCall")->text(), QString("W9ZZZ"));
    }

    void stateLabelsCountAndFillTheField()
    {
        MainWindowHarness h;
        h.writePreferences();
        h.writeLog({MainWindowHarness::rec("K1ABC"), MainWindowHarness::rec("K1ABD"),
                    MainWindowHarness::rec("KL7X", "Alaska")});
        h.start();
        QLabel *ct = h.find<QLabel>("Label10_1");
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), ct->mapToGlobal(QPointF(2, 2)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(ct, &move);
        QCOMPARE(h.label("lblDupe"), QString("  Connecticut    Total = 2"));
        QTest::mouseClick(ct, Qt::LeftButton);
        QCOMPARE(h.field("txtCntry")->text(), QString("CT"));
        QVERIFY(h.find<QLabel>("Label10_36")->styleSheet().contains("rgb(0, 128, 0)"));  // Alaska by name
    }

    // The picture of the window shows the status line in its colour, and the partial dupes.
    void pictureShowsTheEntryLine()
    {
        MainWindowHarness h;
        h.writePreferences();
        QList<QsoRecord> records;
        for (const char *c : {"K1ABC", "W2XYZ", "N3AA", "KL7X", "VE3ABC", "JA1XX", "W1AW", "K6QQ"})
            records.append(MainWindowHarness::rec(c, QString(c).startsWith("VE") ? "Canada"
                                                  : QString(c).startsWith("JA") ? "Japan"
                                                  : QString(c).startsWith("KL") ? "Alaska" : "CT"));
        h.writeLog(records);
        h.start();
        h.type("txtCall", "W1A");
        const QImage shot = h.window->grab().toImage();
        QVERIFY(!shot.isNull());
        QVERIFY(shot.save(h.env.file("mainwindow.png")));
        QLabel *status = h.find<QLabel>("lblDialog");
        const QPoint inStatus = status->mapTo(h.window.get(), QPoint(status->width() - 4, status->height() / 2));
        QCOMPARE(shot.pixelColor(inStatus), QColor(0, 192, 192));
        QLabel *dupes = h.find<QLabel>("lblDupe");
        const QPoint inDupes = dupes->mapTo(h.window.get(), QPoint(dupes->width() - 4, dupes->height() / 2));
        QCOMPARE(shot.pixelColor(inDupes), QColor(0, 192, 192));
        QCOMPARE(h.label("lblDupe"), QString("W1AW "));
    }

    void countryCompletionAndTheNewLabel()
    {
        MainWindowHarness h;
        h.writePreferences();
        h.writeLog({MainWindowHarness::rec("VE3ABC", "Canada")});
        h.start();
        h.type("txtCntry", "is");
        QCOMPARE(h.field("txtCntry")->text(), QString("IS"));
        QTest::keyClicks(h.field("txtCntry"), "r");
        QCOMPARE(h.field("txtCntry")->text(), QString("Israel"));
        QCOMPARE(h.field("txtCntry")->selectedText(), QString("ael"));
        QVERIFY(h.find<QLabel>("Label3")->isVisibleTo(h.window.get()));
        h.field("txtCntry")->setText("Canada");
        QVERIFY(!h.find<QLabel>("Label3")->isVisibleTo(h.window.get()));
        h.field("txtCntry")->setText("New");
        h.field("txtCntry")->setCursorPosition(3);
        h.key(Qt::Key_Space);  // a space inside a name is typed
        QCOMPARE(h.field("txtCntry")->text(), QString("New "));
        QTest::keyClicks(h.field("txtCntry"), "York");
        h.key(Qt::Key_Space);
        h.key(Qt::Key_Space);  // double space moves on
        QCOMPARE(h.focusName(), QString("txtRSTS"));
        QCOMPARE(h.field("txtRSTS")->text(), QString("None"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
