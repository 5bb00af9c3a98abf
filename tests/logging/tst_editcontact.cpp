#include "fakes.h"
#include "pastecheck.h"
#include "logging/editcontact.h"
#include "core/logstore.h"
#include "core/prefixtable.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TestEditContact : public QObject {
    Q_OBJECT

    struct Rig {
        TestEnv env;
        LogStore store;
        PrefixTable prefixes;
        FakeDialogs dialogs;
        QList<QsoRecord> original;
        Rig()
        {
            original = {{"K1AAA", "AL", "CT", "1234", "2", "2026/12/05", "14:00:00", "CW"},
                        {"K2BBB", "BO", "NY", "None", "1", "2026/12/05", "14:01:00", "CW"},
                        {"K3CCC", "CY", "PA", "55", "2", "2026/12/05", "14:02:00", "PH"},
                        {"JA1DDD", "DI", "Japan", "None", "1", "2026/12/05", "14:03:00", "PH"},
                        {"K5EEE", "ED", "TX", "77", "2", "2026/12/05", "14:04:00", "DG"}};
            QByteArray bytes;
            for (const QsoRecord &r : std::as_const(original))
                bytes += LogStore::formatLine(r);
            env.write("log.txt", bytes);
            store.load(logPath());
            prefixes.setRows({{"JA", "Japan", "AS", -139.5f, 35.75f, {}, {}, {}},
                              {"ZL", "New Zealand", "OC", -174.0f, -41.0f, {}, {}, {}}});
        }
        QString logPath() const { return env.file("log.txt"); }
        QStringList fileLines() const
        {
            QStringList lines = QString::fromLatin1(env.read("log.txt")).split("\r\n");
            lines.removeAll(QString());
            return lines;
        }
    };

    static QLineEdit *field(QWidget *w, const QString &name)
    {
        auto *edit = w->findChild<QLineEdit *>(name);
        if (!edit)
            qFatal("no field %s", qPrintable(name));
        return edit;
    }
    static void retype(QWidget *w, const QString &name, const QString &keys)
    {
        field(w, name)->clear();
        QTest::keyClicks(field(w, name), keys);
    }

private slots:
    void opensOnTheRecord()
    {
        Rig rig;
        frmEditCon dialog(rig.store, 3, rig.prefixes, rig.dialogs);
        QCOMPARE(dialog.windowTitle(), QString("Edit Contact Entry"));
        QCOMPARE(dialog.fields(), rig.original[2]);
        QVERIFY(dialog.findChild<QLabel *>("Label1")->isHidden());
        QVERIFY(dialog.findChild<QLabel *>("Label2")->isHidden());
        QVERIFY(dialog.findChild<QPushButton *>("cmdDeleteDupe")->isHidden());
    }

    void done_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("title");  // message box shown, empty for none
        QTest::addColumn<bool>("dupe");
        QTest::addColumn<bool>("invalid");
        QTest::addColumn<QString>("focus");  // field the refusal puts the focus in
        QTest::newRow("bad mode") << "txtMode" << "xx" << "Invalid Mode!" << false << false << "";
        QTest::newRow("bad time") << "txtEditTime" << "25:00" << "Invalid Time Format!" << false << false << "txtEditTime";
        QTest::newRow("time digits only") << "txtEditTime" << "1403" << "Invalid Time Format!" << false << false << "txtEditTime";
        QTest::newRow("month 13") << "txtEditDate" << "2026/13/05" << "Invalid Date Format!" << false << false << "txtEditDate";
        QTest::newRow("call of record 2") << "txtEditCall" << "k2bbb" << "" << true << false << "";
        QTest::newRow("not a state") << "txtEditSec" << "xx" << "" << false << true << "";
        QTest::newRow("country name") << "txtEditSec" << "Japan" << "" << false << false << "";
        QTest::newRow("new call") << "txtEditCall" << "w1aw" << "" << false << false << "";
        QTest::newRow("own call kept") << "txtEditCall" << "k3ccc" << "" << false << false << "";
    }
    void done()
    {
        QFETCH(QString, name);
        QFETCH(QString, keys);
        QFETCH(QString, title);
        QFETCH(bool, dupe);
        QFETCH(bool, invalid);
        QFETCH(QString, focus);
        Rig rig;
        frmEditCon dialog(rig.store, 3, rig.prefixes, rig.dialogs);
        dialog.show();
        retype(&dialog, name, keys);
        QTest::keyClick(field(&dialog, "txtEditCall"), Qt::Key_Return);

        const bool refused = !title.isEmpty() || dupe || invalid;
        QCOMPARE(rig.dialogs.titles(), title.isEmpty() ? QStringList() : QStringList{title});
        QCOMPARE(dialog.findChild<QLabel *>("Label1")->isVisible(), dupe);
        QCOMPARE(dialog.findChild<QPushButton *>("cmdDeleteDupe")->isVisible(), dupe);
        QCOMPARE(dialog.findChild<QLabel *>("Label2")->isVisible(), invalid);
        QCOMPARE(dialog.outcome(), refused ? frmEditCon::Outcome::Closed : frmEditCon::Outcome::Stored);
        QCOMPARE(dialog.isVisible(), refused);
        if (!focus.isEmpty())
            QCOMPARE(dialog.focusWidget(), field(&dialog, focus));
        if (refused) {
            QCOMPARE(rig.store.records(), rig.original);
        } else {
            QCOMPARE(rig.store.count(), 5);
            QCOMPARE(rig.store.record(3), dialog.fields());
        }
    }

    void pointsFollowTheNumber_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("typedPoints");
        QTest::addColumn<QString>("storedNumber");
        QTest::addColumn<QString>("points");
        QTest::newRow("number to None") << "none" << "2" << "None" << "1";
        QTest::newRow("None to number") << "4321" << "1" << "4321" << "2";
        QTest::newRow("zero is no number") << "0" << "2" << "None" << "1";
        QTest::newRow("letters") << "abc" << "9" << "None" << "1";
    }
    void pointsFollowTheNumber()
    {
        QFETCH(QString, number);
        QFETCH(QString, typedPoints);
        QFETCH(QString, storedNumber);
        QFETCH(QString, points);
        Rig rig;
        frmEditCon dialog(rig.store, 1, rig.prefixes, rig.dialogs);
        retype(&dialog, "txtEditNum", number);
        retype(&dialog, "txtEditBnd", typedPoints);
        QTest::keyClick(field(&dialog, "txtEditNum"), Qt::Key_Return);
        QCOMPARE(rig.store.record(1).memberNumber, storedNumber);
        QCOMPARE(rig.store.record(1).points, points);
        QCOMPARE(rig.store.pointsTotal(), 8.0f - 2.0f + points.toFloat());
    }

    void dateAndTimeStoredInLogForm_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("storedDate");
        QTest::addColumn<QString>("storedTime");
        QTest::newRow("one-digit day") << "2026/12/5" << "14:00:00" << "2026/12/05" << "14:00:00";
        QTest::newRow("month first") << "12/6/2026" << "9:30" << "2026/12/06" << "09:30";
        QTest::newRow("seconds kept") << "2026/12/05" << "9:3:7" << "2026/12/05" << "09:03:07";
    }
    void dateAndTimeStoredInLogForm()
    {
        QFETCH(QString, date);
        QFETCH(QString, time);
        QFETCH(QString, storedDate);
        QFETCH(QString, storedTime);
        Rig rig;
        frmEditCon dialog(rig.store, 2, rig.prefixes, rig.dialogs);
        retype(&dialog, "txtEditDate", date);
        retype(&dialog, "txtEditTime", time);
        dialog.cmdDone_Click();
        QCOMPARE(rig.store.record(2).date, storedDate);
        QCOMPARE(rig.store.record(2).time, storedTime);
    }

    void editingTheLastRecordKeepsOrderOnDisk()
    {
        Rig rig;
        frmEditCon dialog(rig.store, 5, rig.prefixes, rig.dialogs);
        retype(&dialog, "txtEditCk", " eddie ");
        retype(&dialog, "txtMode", "cw");
        QTest::keyClick(field(&dialog, "txtEditCk"), Qt::Key_Return);
        QVERIFY(rig.store.rewriteLogFile(rig.logPath()));
        QVERIFY(rig.store.load(rig.logPath()) == LogStore::LoadResult::Ok);
        const QStringList lines = rig.fileLines();
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines[4], QString("\"K5EEE\",\"EDDIE\",\"TX\",\"77\",\"2\",\"2026/12/05\",\"14:04:00\",\"CW\""));
        for (int i = 0; i < 4; ++i)
            QCOMPARE(rig.store.record(i + 1), rig.original[i]);
    }

    // A name pasted with a quote or a line break would make log.txt unreadable at the next start.
    void pastedTextKeepsTheLogReadable()
    {
        Rig rig;
        {
            frmEditCon every(rig.store, 2, rig.prefixes, rig.dialogs);
            every.show();
            pastecheck::everyFieldRefusesUnstorableText(&every);
        }
        frmEditCon dialog(rig.store, 2, rig.prefixes, rig.dialogs);
        dialog.show();
        QLineEdit *name = field(&dialog, "txtEditCk");
        name->clear();
        QGuiApplication::clipboard()->setText(QString::fromUtf8("o\"neil\r\nJR\xCE\xA9"));
        name->paste();
        QCOMPARE(name->text(), QString("ONEILJR"));
        QTest::keyClick(name, Qt::Key_Return);
        QCOMPARE(dialog.outcome(), frmEditCon::Outcome::Stored);
        QCOMPARE(rig.store.record(2).name, QString("ONEILJR"));
        QVERIFY(rig.store.rewriteLogFile(rig.logPath()));
        LogStore again;
        QCOMPARE(again.load(rig.logPath()), LogStore::LoadResult::Ok);
        QCOMPARE(again.records(), rig.store.records());
    }

    void enterInModeDoesNothing()
    {
        Rig rig;
        frmEditCon dialog(rig.store, 1, rig.prefixes, rig.dialogs);
        dialog.show();
        retype(&dialog, "txtMode", "ph\"");
        // Upper-cased, and the quote kept out: in log.txt it would end every later start.
        QCOMPARE(field(&dialog, "txtMode")->text(), QString("PH"));
        retype(&dialog, "txtMode", "ph");
        QTest::keyClick(field(&dialog, "txtMode"), Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QCOMPARE(rig.store.records(), rig.original);
    }

    void keyFilters_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::newRow("call") << "txtEditCall" << "w1\"aw" << "W1AW";
        QTest::newRow("name") << "txtEditCk" << "bob\" s" << "BOB S";
        QTest::newRow("10-10") << "txtEditNum" << "12a\"" << "12A";
        QTest::newRow("date") << "txtEditDate" << "2026-12/05a" << "202612/05";
        QTest::newRow("time") << "txtEditTime" << "14:03x." << "14:03";
        QTest::newRow("points") << "txtEditBnd" << "2a:" << "2";
        QTest::newRow("state upper-cased") << "txtEditSec" << "ct" << "CT";
        QTest::newRow("country completed") << "txtEditSec" << "jap" << "Japan";
        QTest::newRow("past a proposal") << "txtEditSec" << "new york" << "New york";
        QTest::newRow("quote dropped") << "txtEditSec" << "m\"a" << "MA";
    }
    void keyFilters()
    {
        QFETCH(QString, name);
        QFETCH(QString, keys);
        QFETCH(QString, text);
        Rig rig;
        frmEditCon dialog(rig.store, 1, rig.prefixes, rig.dialogs);
        retype(&dialog, name, keys);
        QCOMPARE(field(&dialog, name)->text(), text);
    }

    void countryProposalIsSelected()
    {
        Rig rig;
        frmEditCon dialog(rig.store, 1, rig.prefixes, rig.dialogs);
        retype(&dialog, "txtEditSec", "new");
        QLineEdit *sec = field(&dialog, "txtEditSec");
        QCOMPARE(sec->text(), QString("New Zealand"));
        QCOMPARE(sec->selectedText(), QString(" Zealand"));
        QCOMPARE(sec->cursorPosition(), 3);
    }

    void lostFocusRules()
    {
        Rig rig;
        frmEditCon dialog(rig.store, 1, rig.prefixes, rig.dialogs);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));

        field(&dialog, "txtEditNum")->setFocus();
        field(&dialog, "txtEditNum")->clear();
        field(&dialog, "txtEditCk")->setFocus(Qt::TabFocusReason);
        QCOMPARE(field(&dialog, "txtEditNum")->text(), QString("None"));

        field(&dialog, "txtEditDate")->setFocus();
        field(&dialog, "txtEditDate")->setText("2026/2/30");
        field(&dialog, "txtEditTime")->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(rig.dialogs.titles(), QStringList{"Invalid Date Format!"});
        QCOMPARE(rig.dialogs.shown[0].text, QString("You have entered an invalid date format!"));
        QTRY_COMPARE(QApplication::focusWidget(), field(&dialog, "txtEditDate"));

        // Clicking Done leaves the check to Done: one message, not two.
        rig.dialogs.shown.clear();
        field(&dialog, "txtEditDate")->setFocus();
        QTest::mouseClick(dialog.findChild<QPushButton *>("cmdDone"), Qt::LeftButton);
        QTest::qWait(20);
        QCOMPARE(rig.dialogs.titles(), QStringList{"Invalid Date Format!"});
        QCOMPARE(rig.store.records(), rig.original);
    }

    void deleteDupeDeletesTheEditedRecord()
    {
        Rig rig;
        frmEditCon::Outcome outcome = frmEditCon::Outcome::Closed;
        QTimer::singleShot(0, [] {
            auto *dialog = qobject_cast<frmEditCon *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            retype(dialog, "txtEditCall", "k1aaa");
            QTest::keyClick(field(dialog, "txtEditCall"), Qt::Key_Return);
            auto *deleteDupe = dialog->findChild<QPushButton *>("cmdDeleteDupe");
            QVERIFY(deleteDupe->isVisible());
            deleteDupe->click();
        });
        outcome = runEditContact(nullptr, rig.store, 4, rig.prefixes, rig.dialogs);
        QCOMPARE(outcome, frmEditCon::Outcome::DeleteRequested);
        QCOMPARE(rig.store.records(), rig.original);  // the refused edit stored nothing

        rig.dialogs.messageAnswers.enqueue(Dialogs::Answer::Yes);
        QVERIFY(deleteRecordWithConfirmation(nullptr, rig.store, 4, rig.dialogs));
        QCOMPARE(rig.dialogs.shown.last().title, QString("Are you sure?"));
        QCOMPARE(rig.dialogs.shown.last().text, QString("Are you sure?"));
        QCOMPARE(rig.store.count(), 4);
        QCOMPARE(rig.store.record(4), rig.original[4]);
    }

    void deleteRenumbersAndRewrites_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<Dialogs::Answer>("answer");
        QTest::addColumn<QList<int>>("kept");  // original indexes left, in order
        QTest::newRow("middle") << 3 << Dialogs::Answer::Yes << QList<int>{0, 1, 3, 4};
        QTest::newRow("first") << 1 << Dialogs::Answer::Yes << QList<int>{1, 2, 3, 4};
        QTest::newRow("last") << 5 << Dialogs::Answer::Yes << QList<int>{0, 1, 2, 3};
        QTest::newRow("answered No") << 3 << Dialogs::Answer::No << QList<int>{0, 1, 2, 3, 4};
        QTest::newRow("no such record") << 6 << Dialogs::Answer::Yes << QList<int>{0, 1, 2, 3, 4};
    }
    void deleteRenumbersAndRewrites()
    {
        QFETCH(int, n);
        QFETCH(Dialogs::Answer, answer);
        QFETCH(QList<int>, kept);
        Rig rig;
        rig.dialogs.messageAnswers.enqueue(answer);
        const bool removed = deleteRecordWithConfirmation(nullptr, rig.store, n, rig.dialogs);
        QCOMPARE(removed, kept.size() == 4);
        QVERIFY(rig.store.rewriteLogFile(rig.logPath()));
        QVERIFY(rig.store.load(rig.logPath()) == LogStore::LoadResult::Ok);
        QCOMPARE(rig.fileLines().size(), kept.size());
        for (int i = 0; i < kept.size(); ++i)
            QCOMPARE(rig.store.record(i + 1), rig.original[kept[i]]);
    }

    void closingStoresNothing()
    {
        Rig rig;
        QTimer::singleShot(0, [] {
            auto *dialog = qobject_cast<frmEditCon *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            retype(dialog, "txtEditCall", "w1aw");
            dialog->close();
        });
        QCOMPARE(runEditContact(nullptr, rig.store, 2, rig.prefixes, rig.dialogs),
                 frmEditCon::Outcome::Closed);
        QCOMPARE(rig.store.records(), rig.original);
        QCOMPARE(runEditContact(nullptr, rig.store, 0, rig.prefixes, rig.dialogs),
                 frmEditCon::Outcome::Closed);
    }
};

QTEST_MAIN(TestEditContact)
#include "tst_editcontact.moc"
