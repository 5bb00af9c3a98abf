// The three seconds after a dupe alarm: keys typed then wait, and never log a contact.
#include "mainwindowharness.h"

#include <QTest>

class TestDupeHold : public QObject {
    Q_OBJECT

private:
    // Types into whatever has the focus, as an operator does: "\n" is Enter.
    static void typeAhead(const QString &keys)
    {
        for (QChar c : keys) {
            QWidget *w = QApplication::focusWidget();
            if (c == u'\n')
                QTest::keyClick(w, Qt::Key_Return);
            else
                QTest::keyClicks(w, QString(c));
        }
    }

    // The hold's time passes on the clock, and its timer comes due.
    static void endHold(MainWindowHarness &h)
    {
        h.clock.advanceMs(3000);
        auto *timer = h.window->findChild<QTimer *>("tmrDupeHold");
        QVERIFY(timer);
        if (timer->isActive())
            timer->start(0);
        QTRY_VERIFY(!timer->isActive());
    }

    static bool alarmShown(const MainWindowHarness &h)
    {
        return h.label("lblDialog").startsWith("Duplicate K5ABC")
               && h.find<QLabel>("lblDialog")->styleSheet().contains("255, 0, 0");
    }

private slots:
    void keysTypedDuringTheHold_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("name");
        // The dupe's exchange typed on at five keys a second, Enter included: nothing is logged
        // and what belonged to the refused contact goes with it.
        QTest::newRow("rest of the dupe's exchange") << "joe tx 1\n" << "" << "";
        QTest::newRow("exchange, then the next call") << "joe tx 1\nw1aw" << "W1AW" << "";
        QTest::newRow("the next call") << "w1aw" << "W1AW" << "";
        QTest::newRow("next call and name, no Enter") << "w1aw hiram" << "W1AW" << "HIRAM";
        QTest::newRow("a correction") << "\bk5abd" << "K5ABD" << "";
    }

    void keysTypedDuringTheHold()
    {
        QFETCH(QString, typed);
        QFETCH(QString, call);
        QFETCH(QString, name);
        MainWindowHarness h;
        h.writePreferences();
        h.writeLog({MainWindowHarness::rec("K5ABC", "TX")});
        Form1 &w = h.start();
        h.type("txtCall", "k5abc");
        h.key(Qt::Key_Space);
        QVERIFY(w.dupeFound());
        QVERIFY(alarmShown(h));

        typeAhead(typed);
        QCOMPARE(h.field("txtCall")->text(), QString());  // all of it waits
        endHold(h);
        QCOMPARE(h.field("txtCall")->text(), call);
        QCOMPARE(h.field("txtRSTR")->text(), name);
        QCOMPARE(h.logLines().size(), 1);
        QCOMPARE(w.logStore().count(), 1);
        // The alarm stays in view until the operator types after the hold.
        QVERIFY(alarmShown(h));
        QVERIFY(!w.dupeFound());
        h.key(Qt::Key_Escape);
        QVERIFY(!alarmShown(h));
    }

    void aKeyAfterTheHoldFirstReleasesWhatWaited()
    {
        MainWindowHarness h;
        h.writePreferences();
        h.writeLog({MainWindowHarness::rec("K5ABC", "TX")});
        h.start();
        h.type("txtCall", "k5abc");
        h.key(Qt::Key_Space);
        QTest::keyClicks(h.field("txtCall"), "n3");
        h.clock.advanceMs(2999);
        QTest::keyClicks(h.field("txtCall"), "a");
        QCOMPARE(h.field("txtCall")->text(), QString());
        h.clock.advanceMs(1);
        QTest::keyClicks(h.field("txtCall"), "b");  // typed after the hold, before its timer ran
        QCOMPARE(h.field("txtCall")->text(), QString("N3AB"));
        QVERIFY(!alarmShown(h));
    }

    void logCurrentContactDuringTheHoldLogsNothing()
    {
        // A logging key other than Enter (a keyer's "!") reaches the same call.
        MainWindowHarness h;
        h.writePreferences();
        h.writeLog({MainWindowHarness::rec("K5ABC", "TX")});
        Form1 &w = h.start();
        const int id = w.keys().add(KeyDispatcher::kCommands, [&w](QObject *, QKeyEvent *key) {
            if (key->text() != "!")
                return false;
            w.logCurrentContact();
            return true;
        });
        h.type("txtCall", "k5abc");
        h.key(Qt::Key_Space);
        typeAhead("joe tx 1!w1aw");
        endHold(h);
        QCOMPARE(h.field("txtCall")->text(), QString("W1AW"));
        QCOMPARE(h.logLines().size(), 1);
        w.keys().remove(id);
    }
};

QTEST_MAIN(TestDupeHold)
#include "tst_dupehold.moc"
