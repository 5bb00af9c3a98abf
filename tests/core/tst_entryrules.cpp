#include "fakes.h"
#include "core/entryrules.h"
#include "core/logstore.h"

#include <QDate>
#include <QTest>
#include <QTime>

using namespace entryrules;

class TestEntryRules : public QObject {
    Q_OBJECT

private slots:
    void numeric_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numeric");
        QTest::addColumn<QString>("memberNumber");
        QTest::addColumn<QString>("points");
        QTest::newRow("digits") << "1234" << true << "1234" << "2";
        QTest::newRow("blanks around") << " 77 " << true << " 77 " << "2";
        QTest::newRow("zero") << "0" << true << "None" << "2";
        QTest::newRow("zero decimal") << "0.0" << true << "None" << "2";
        QTest::newRow("signed") << "-5" << true << "-5" << "2";
        QTest::newRow("decimal") << "4.5" << true << "4.5" << "2";
        QTest::newRow("leading dot") << ".5" << true << ".5" << "2";
        QTest::newRow("None") << "None" << false << "None" << "1";
        QTest::newRow("letters") << "abc" << false << "None" << "1";
        QTest::newRow("empty") << "" << false << "None" << "1";
        QTest::newRow("dot alone") << "." << false << "None" << "1";
        QTest::newRow("sign alone") << "-" << false << "None" << "1";
        QTest::newRow("two dots") << "1.2.3" << false << "None" << "1";
        QTest::newRow("exponent") << "1E5" << false << "None" << "1";
        QTest::newRow("inner blank") << "12 34" << false << "None" << "1";
        QTest::newRow("trailing letter") << "123A" << false << "None" << "1";
    }
    void numeric()
    {
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        QFETCH(QString, memberNumber);
        QFETCH(QString, points);
        QCOMPARE(isNumeric(text), numeric);
        QCOMPARE(memberNumberOrNone(text), memberNumber);
        QCOMPARE(pointsFor(text), points);
    }

    void dates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");  // invalid = refused
        QTest::newRow("canonical") << "2026/12/05" << QDate(2026, 12, 5);
        QTest::newRow("one-digit day") << "2026/12/5" << QDate(2026, 12, 5);
        QTest::newRow("dashes") << "2026-1-05" << QDate(2026, 1, 5);
        QTest::newRow("month first") << "12/5/2026" << QDate(2026, 12, 5);
        QTest::newRow("leap day") << "2028/2/29" << QDate(2028, 2, 29);
        QTest::newRow("blanks around") << " 2026/12/05 " << QDate(2026, 12, 5);
        QTest::newRow("month 13") << "2026/13/05" << QDate();
        QTest::newRow("month 0") << "2026/0/05" << QDate();
        QTest::newRow("31 April") << "2026/4/31" << QDate();
        QTest::newRow("29 Feb non-leap") << "2026/2/29" << QDate();
        QTest::newRow("day 0") << "2026/12/0" << QDate();
        QTest::newRow("mixed separators") << "2026/12-05" << QDate();
        QTest::newRow("two-digit year") << "12/5/26" << QDate();
        QTest::newRow("year 0") << "0000/12/05" << QDate();
        QTest::newRow("no separators") << "20261205" << QDate();
        QTest::newRow("empty") << "" << QDate();
        QTest::newRow("trailing slash") << "2026/12/05/" << QDate();
    }
    void dates()
    {
        QFETCH(QString, text);
        QFETCH(QDate, date);
        QDate got;
        QCOMPARE(isValidDate(text, &got), date.isValid());
        if (date.isValid())
            QCOMPARE(got, date);
    }

    void times_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QTime>("time");
        QTest::newRow("h:mm") << "9:30" << QTime(9, 30);
        QTest::newRow("hh:mm") << "14:03" << QTime(14, 3);
        QTest::newRow("hh:mm:ss") << "14:03:22" << QTime(14, 3, 22);
        QTest::newRow("midnight") << "0:00" << QTime(0, 0);
        QTest::newRow("last second") << "23:59:59" << QTime(23, 59, 59);
        QTest::newRow("hour 24") << "24:00" << QTime();
        QTest::newRow("minute 60") << "12:60" << QTime();
        QTest::newRow("second 60") << "12:00:60" << QTime();
        QTest::newRow("digits only") << "1403" << QTime();
        QTest::newRow("three parts empty") << "12::" << QTime();
        QTest::newRow("empty") << "" << QTime();
        QTest::newRow("four parts") << "1:2:3:4" << QTime();
    }
    void times()
    {
        QFETCH(QString, text);
        QFETCH(QTime, time);
        QTime got;
        QCOMPARE(isValidTime(text, &got), time.isValid());
        if (time.isValid())
            QCOMPARE(got, time);
    }

    void expandDigits_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expanded");
        QTest::newRow("3 digits") << "930" << "9:30";
        QTest::newRow("4 digits") << "1403" << "14:03";
        QTest::newRow("2 digits") << "93" << "93";
        QTest::newRow("5 digits") << "14030" << "14030";
        QTest::newRow("has colon") << "9:30" << "9:30";
    }
    void expandDigits()
    {
        QFETCH(QString, text);
        QFETCH(QString, expanded);
        QCOMPARE(expandTimeDigits(text), expanded);
    }

    void states()
    {
        QVERIFY(isStateAbbreviation("CT"));
        QVERIFY(isStateAbbreviation("ct"));
        QVERIFY(isStateAbbreviation("Sd"));
        QVERIFY(!isStateAbbreviation("XX"));
        QVERIFY(!isStateAbbreviation("CTX"));
        QVERIFY(!isStateAbbreviation(""));
    }

    void dupeSearch()
    {
        LogStore store;
        TestEnv env;
        QByteArray bytes;
        for (const char *call : {"W1AW", "K2XX", "w1aw", "N3ZZ"})
            bytes += LogStore::formatLine({call, "BOB", "CT", "None", "1", "2026/12/05", "14:00:00", "CW"});
        env.write("log.txt", bytes);
        QCOMPARE(store.load(env.file("log.txt")), LogStore::LoadResult::Ok);

        QCOMPARE(findDupe(store, "W1AW"), 1);
        QCOMPARE(findDupe(store, "w1Aw "), 1);
        QCOMPARE(findDupe(store, "W1AW", 1), 3);  // the record being edited does not count
        QCOMPARE(findDupe(store, "K2XX", 2), 0);
        QCOMPARE(findDupe(store, "N3Z"), 0);      // whole calls only
        QCOMPARE(findDupe(LogStore(), "W1AW"), 0);
    }
};

QTEST_GUILESS_MAIN(TestEntryRules)
#include "tst_entryrules.moc"
