#include "fakes.h"
#include "core/contactentry.h"
#include "core/preferences.h"

#include <QTest>

using Field = ContactEntry::Field;
using Outcome = ContactEntry::Outcome;
Q_DECLARE_METATYPE(ContactEntry::Field)
Q_DECLARE_METATYPE(ContactEntry::Outcome)

class TestContactEntry : public QObject {
    Q_OBJECT

private slots:
    void checks_data()
    {
        QTest::addColumn<QStringList>("fields");  // call, name, qth, number, date, time ("-": live)
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("focus");
        QTest::addColumn<QString>("line");  // the line appended, empty when none

        const int logged = int(Outcome::Logged), incomplete = int(Outcome::Incomplete);
        QTest::newRow("logged live, UTC stamp, mode")
            << QStringList{"W1AW", "HIRAM", "CT", "17", "-", "-"} << logged << QString() << int(Field::Call)
            << "\"W1AW\",\"HIRAM\",\"CT\",\"17\",\"2\",\"2026/12/05\",\"17:00:00\",\"PH\"";
        QTest::newRow("zero number is None, one point")
            << QStringList{"W1AW", "HIRAM", "Japan", "0", "-", "-"} << logged << QString() << int(Field::Call)
            << "\"W1AW\",\"HIRAM\",\"Japan\",\"None\",\"1\",\"2026/12/05\",\"17:00:00\",\"PH\"";
        QTest::newRow("the last missing field speaks")
            << QStringList{"W1", "", "", "", "-", "-"} << incomplete << "Need Country!" << int(Field::Qth)
            << QString();
        QTest::newRow("short call") << QStringList{"W1", "BOB", "CT", "", "-", "-"} << incomplete
                                    << "Need Call Sign!" << int(Field::Call) << QString();
        QTest::newRow("invalid state") << QStringList{"W1AW", "BOB", "XX", "", "-", "-"} << incomplete
                                       << "Invalid State!" << int(Field::Qth) << QString();
        QTest::newRow("dupe outranks a missing name")
            << QStringList{"k5abc", "", "TX", "", "-", "-"} << int(Outcome::Dupe)
            << "Duplicate K5ABC BOB TX 2026/12/05 16:00:00  Rec#  1" << int(Field::Call) << QString();
        QTest::newRow("post-contest stored forms")
            << QStringList{"W1AW", "BOB", "CT", "3", "12/4/2026", "930"} << logged << QString() << int(Field::Call)
            << "\"W1AW\",\"BOB\",\"CT\",\"3\",\"2\",\"2026/12/04\",\"09:30\",\"PH\"";
        QTest::newRow("post-contest bad date") << QStringList{"W1AW", "BOB", "CT", "3", "2026/13/01", "930"}
                                               << int(Outcome::BadDateTime) << "Invalid date format!"
                                               << int(Field::None) << QString();
        QTest::newRow("post-contest bad time") << QStringList{"W1AW", "BOB", "CT", "3", "2026/12/01", "25:00"}
                                               << int(Outcome::BadDateTime) << "Invalid time format!"
                                               << int(Field::None) << QString();
    }

    void checks()
    {
        QFETCH(QStringList, fields);
        QFETCH(int, outcome);
        QFETCH(QString, status);
        QFETCH(int, focus);
        QFETCH(QString, line);

        TestEnv env;
        FakeClock clock;
        clock.set(QDateTime(QDate(2026, 12, 5), QTime(12, 0, 0)), 5);
        Preferences prefs;
        prefs.utcOffset = 5;
        prefs.currentMode = "PH";
        const QByteArray before = "\"K5ABC\",\"BOB\",\"TX\",\"None\",\"1\",\"2026/12/05\",\"16:00:00\",\"CW\"\r\n";
        env.write("log.txt", before);
        LogStore log;
        QCOMPARE(log.load(env.file("log.txt")), LogStore::LoadResult::Ok);
        ContactEntry entry(log, clock, prefs, env.file("log.txt"));

        ContactEntry::Fields f{fields[0], fields[1], fields[2], fields[3], fields[4], fields[5], fields[4] != "-"};
        const ContactEntry::Result r = entry.log(f, true);
        QCOMPARE(int(r.outcome), outcome);
        QCOMPARE(r.status, status);
        QCOMPARE(int(r.focus), focus);
        QCOMPARE(r.dupe, outcome == int(Outcome::Dupe));
        QCOMPARE(r.beeps > 0, outcome != int(Outcome::Logged));
        QCOMPARE(env.read("log.txt"), line.isEmpty() ? before : before + line.toLatin1() + "\r\n");
        QCOMPARE(log.count(), line.isEmpty() ? 1 : 2);
    }

    void failedWriteKeepsTheContactOut()
    {
        TestEnv env;
        FakeClock clock;
        Preferences prefs;
        LogStore log;
        // A folder where the log should be: the append cannot open it.
        QDir(env.path()).mkdir("log.txt");
        ContactEntry entry(log, clock, prefs, env.file("log.txt"));
        ContactEntry::Fields f{"W1AW", "BOB", "CT", "", "", "", false};
        const ContactEntry::Result r = entry.log(f, true);
        QCOMPARE(r.outcome, Outcome::WriteFailed);
        QVERIFY(!r.error.isEmpty());
        QVERIFY(!r.clearFields);
        QCOMPARE(log.count(), 0);
    }
};

QTEST_GUILESS_MAIN(TestContactEntry)
#include "tst_contactentry.moc"
