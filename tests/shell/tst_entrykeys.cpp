// The entry line and the new-log command as an operator meets them under pressure: keys that
// must not land in the wrong field, a paste that must not spoil the log, an erase that must
// leave a copy behind.
#include "mainwindowharness.h"

#include <QClipboard>
#include <QDirIterator>
#include <QPushButton>

namespace {
QStringList backups(const MainWindowHarness &h)
{
    return QDir(h.env.file("Documents/Korvex Software/Vardel/BACKUP")).entryList(QDir::Files);
}
}  // namespace

class TestEntryKeys : public QObject {
    Q_OBJECT

private slots:
    // A name no country begins with replaces the proposed rest instead of landing before it.
    void typingPastACompletionReplacesTheProposal_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("selected");
        QTest::newRow("completes") << "isr" << "Israel" << "ael";
        QTest::newRow("follows the name") << "isra" << "Israel" << "el";
        QTest::newRow("leaves the table") << "isrx" << "Isrx" << "";
        QTest::newRow("goes on typing") << "isrxy" << "Isrxy" << "";
        QTest::newRow("no completion at all") << "qux" << "Qux" << "";
    }
    void typingPastACompletionReplacesTheProposal()
    {
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        QFETCH(QString, selected);
        MainWindowHarness h;
        h.writePreferences();
        h.start();
        h.type("txtCntry", keys);
        QCOMPARE(h.field("txtCntry")->text(), shown);
        QCOMPARE(h.field("txtCntry")->selectedText(), selected);
    }

    // The completion shows the continent as the table has it; the call lookup puts a blank first.
    void completionShowsTheContinent()
    {
        MainWindowHarness h;
        h.writePreferences();
        h.start();
        h.type("txtCntry", "jap");
        QCOMPARE(h.field("txtCntry")->text(), QString("Japan"));
        QCOMPARE(h.label("Label19"), QString("AS"));
        QVERIFY(!h.label("Label22").isEmpty());
    }

    // Any character key in a call of under two characters, Enter included, first empties the
    // country an earlier call left behind.
    void shortCallEmptiesTheCountryFirst_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("focus");
        QTest::newRow("one character") << "K" << "Need Country!" << "txtCntry";
        QTest::newRow("two characters keep it") << "K1" << "Need Call Sign!" << "txtCall";
    }
    void shortCallEmptiesTheCountryFirst()
    {
        QFETCH(QString, call);
        QFETCH(QString, status);
        QFETCH(QString, focus);
        MainWindowHarness h;
        h.writePreferences();
        h.start();
        h.field("txtRSTR")->setText("BOB");
        h.field("txtCntry")->setText("Japan");
        h.field("txtCall")->setText(call);
        h.field("txtCall")->setFocus();
        h.key(Qt::Key_Return);
        QCOMPARE(h.label("lblDialog"), status);
        QCOMPARE(h.focusName(), focus);
        QCOMPARE(h.field("txtCntry")->text().isEmpty(), call.size() < 2);
        QCOMPARE(h.env.read("log.txt"), QByteArray());
    }

    // A double quote has no escape in log.txt: a pasted one is refused like a typed one.
    void pastedQuoteNeverReachesTheLog()
    {
        MainWindowHarness h;
        h.writePreferences();
        Form1 &w = h.start();
        for (const char *name : {"txtCall", "txtRSTR", "txtCntry", "txtRSTS"}) {
            QLineEdit *f = h.field(name);
            f->setFocus();
            QApplication::clipboard()->setText("A\"B");
            QTest::keyClick(f, Qt::Key_V, Qt::ControlModifier);
            QVERIFY2(!f->text().contains('"'), name);
        }
        h.key(Qt::Key_Escape);
        h.logContact("K1ABC", "BOB", "CT", "12");
        QCOMPARE(h.logLines().size(), 1);
        w.mnuopen2();  // the file still reads back
        QVERIFY(!w.programEnded());
        QCOMPARE(w.logStore().count(), 1);
    }

    // Space after the 10-10 number, from habit, must not carry the focus out of the entry line:
    // the Enter that follows still logs, and the next call goes into the call field.
    void spaceAfterTheNumberKeepsTheEntryLine()
    {
        MainWindowHarness h;
        h.writePreferences();
        h.start();
        h.type("txtCall", "k1abc");
        h.key(Qt::Key_Space);
        QTest::keyClicks(QApplication::focusWidget(), "bob");
        h.key(Qt::Key_Space);
        QTest::keyClicks(QApplication::focusWidget(), "ct");
        h.key(Qt::Key_Space);
        QTest::keyClicks(QApplication::focusWidget(), "1234");
        h.key(Qt::Key_Space);
        QVERIFY(qobject_cast<QLineEdit *>(QApplication::focusWidget()));
        h.key(Qt::Key_Return);
        QCOMPARE(h.logLines().size(), 1);
        QVERIFY(h.logLines().value(0).startsWith("\"K1ABC\",\"BOB\",\"CT\",\"1234\",\"2\""));
        QCOMPARE(h.focusName(), QString("txtCall"));
    }

    // File > New keeps a copy of a log that was loaded and not changed since, and erases
    // nothing when no copy can be made.
    void newLogKeepsACopyOfAnUnchangedLog()
    {
        MainWindowHarness h;
        h.writePreferences();
        h.writeLog({MainWindowHarness::rec("K1ABC"), MainWindowHarness::rec("W2XYZ")});
        const QByteArray old = h.env.read("log.txt");
        Form1 &w = h.start();
        h.dialogs.inputAnswers.enqueue("YES");
        w.mnuNew_Click();
        QCOMPARE(w.logStore().count(), 0);
        QCOMPARE(backups(h).size(), 1);
        QCOMPARE(h.env.read("Documents/Korvex Software/Vardel/BACKUP/" + backups(h).first()), old);
    }

    void newLogErasesNothingWithoutACopy()
    {
        MainWindowHarness h;
        h.writePreferences();
        h.writeLog({MainWindowHarness::rec("K1ABC")});
        const QByteArray old = h.env.read("log.txt");
        Form1 &w = h.start();
        // The backup folder cannot be made: a file stands where it should be.
        const QString folder = h.env.file("Documents/Korvex Software/Vardel/BACKUP");
        QDir(folder).removeRecursively();
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        h.dialogs.inputAnswers.enqueue("yes");
        w.mnuNew_Click();
        QVERIFY(h.dialogs.wasShown("Log Not Erased"));
        QCOMPARE(h.env.read("log.txt"), old);
        QCOMPARE(w.logStore().count(), 1);
    }

    // Contacts entered after the contest show their hours and minutes in the list.
    void postContestTimeInTheList()
    {
        MainWindowHarness h;
        h.writePreferences();
        h.writeLog({{"K1ABC", "BOB", "CT", "12", "2", "2026/10/03", "09:30", "CW"}});
        h.start();
        auto *list = h.find<QTreeWidget>("ListView1");
        QCOMPARE(list->topLevelItem(0)->text(5), QString("10/03 09:30"));
    }
    // The local clock drops the AM/PM marker into its own label and has no leading zero.
    void clocks_data()
    {
        QTest::addColumn<QTime>("local");
        QTest::addColumn<double>("zone");
        QTest::addColumn<QString>("utc");
        QTest::addColumn<QString>("clock");
        QTest::addColumn<QString>("marker");
        QTest::newRow("morning") << QTime(9, 5, 7) << 5.0 << "14:05:07" << "9:05:07" << "AM";
        QTest::newRow("evening past midnight UTC") << QTime(21, 30, 0) << 5.0 << "02:30:00" << "9:30:00" << "PM";
        QTest::newRow("half-hour zone") << QTime(0, 15, 0) << 3.5 << "03:45:00" << "12:15:00" << "AM";
    }
    void clocks()
    {
        QFETCH(QTime, local);
        QFETCH(double, zone);
        QFETCH(QString, utc);
        QFETCH(QString, clock);
        QFETCH(QString, marker);
        MainWindowHarness h;
        h.writePreferences("K1XYZ", float(zone));
        h.clock.set(QDateTime(QDate(2026, 10, 12), local), zone);
        Form1 &w = h.start();
        w.Timer2_Timer();
        QCOMPARE(h.label("lblutctime"), utc);
        QCOMPARE(h.label("lblCurTime"), clock);
        QCOMPARE(h.label("Label16"), marker);
    }
    // Switching partial dupes off leaves the calls already listed, on a plain background.
    void partialSwitchKeepsTheListedCalls()
    {
        MainWindowHarness h;
        h.writePreferences();
        h.writeLog({MainWindowHarness::rec("W1AW")});
        h.start();
        h.type("txtCall", "W1A");
        QCOMPARE(h.label("lblDupe"), QString("W1AW "));
        QTest::mouseClick(h.find<QWidget>("cmdDup"), Qt::LeftButton);
        QCOMPARE(h.find<QPushButton>("cmdDup")->text(), QString("Off"));
        QCOMPARE(h.label("lblDupe"), QString("W1AW "));
        QVERIFY(h.find<QLabel>("lblDupe")->styleSheet().isEmpty());
        QCOMPARE(h.focusName(), QString("txtCall"));
    }
    // Reaching a filled-in country field with Space selects it whole; the next Space moves on
    // and keeps it, as with a country the lookup filled in.
    void spaceOverASelectedCountryMovesOn()
    {
        MainWindowHarness h;
        h.writePreferences();
        h.start();
        h.field("txtCntry")->setText("Canada");
        h.type("txtRSTR", "bob");
        h.key(Qt::Key_Space);
        QCOMPARE(h.focusName(), QString("txtCntry"));
        h.key(Qt::Key_Space);
        QCOMPARE(h.focusName(), QString("txtRSTS"));
        QCOMPARE(h.field("txtCntry")->text(), QString("Canada"));
    }

    // Alt+letter that no menu takes never types into the entry line.
    void altLettersAreNotTyped()
    {
        MainWindowHarness h;
        h.writePreferences();
        h.start();
        h.type("txtCall", "K1");
        QTest::keyClick(h.field("txtCall"), Qt::Key_Q, Qt::AltModifier);
        QCOMPARE(h.field("txtCall")->text(), QString("K1"));
    }
};

QTEST_MAIN(TestEntryKeys)
#include "tst_entrykeys.moc"
