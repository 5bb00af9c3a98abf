#include "fakes.h"
#include "core/logstore.h"
#include "stats/contacttime.h"
#include "stats/timestats.h"

#include <QtTest>

namespace {

QsoRecord at(const QDateTime &utc, bool withSeconds = true)
{
    QsoRecord r;
    r.call = QStringLiteral("K1ABC");
    r.date = utc.toString(QStringLiteral("yyyy/MM/dd"));
    r.time = utc.toString(withSeconds ? QStringLiteral("hh:mm:ss") : QStringLiteral("hh:mm"));
    r.points = QStringLiteral("1");
    r.mode = QStringLiteral("CW");
    return r;
}

// Local wall clock of the fake PC; the station's offset turns it into UTC.
const QDateTime kLocalNow(QDate(2026, 8, 1), QTime(12, 0, 0));

}  // namespace

class TstTimeStats : public QObject {
    Q_OBJECT
private slots:
    void rates_data();
    void rates();
    void usesStationOffsetNotSystemZone();
    void unreadableTimeLeavesLabelsAlone();
    void contactTimeForms_data();
    void contactTimeForms();
};

void TstTimeStats::rates_data()
{
    QTest::addColumn<QList<int>>("agesSeconds");  // log order, oldest first; negative = future
    QTest::addColumn<float>("offset");
    QTest::addColumn<QString>("last60");
    QTest::addColumn<QString>("last20");

    QTest::newRow("5, 15, 30 and 70 minutes ago")
        << QList<int>{70 * 60, 30 * 60, 15 * 60, 5 * 60} << 5.0f << "3" << "6";
    QTest::newRow("no contacts") << QList<int>{} << 5.0f << "0" << "0";
    QTest::newRow("stamped in the future counts in both")
        << QList<int>{30 * 60, -10 * 60} << 5.0f << "2" << "3";
    QTest::newRow("20-minute edge: 1199 s in, 1200 s out")
        << QList<int>{1200, 1199} << 0.0f << "2" << "3";
    QTest::newRow("hour edge: 3600 s stops the scan")
        << QList<int>{3600, 3599} << 0.0f << "1" << "0";
    QTest::newRow("scan stops at the first old contact")
        << QList<int>{10 * 60, 90 * 60, 5 * 60} << -3.5f << "1" << "3";
    QTest::newRow("fractional offset") << QList<int>{61 * 60, 59 * 60} << 3.5f << "1" << "0";
}

void TstTimeStats::rates()
{
    QFETCH(QList<int>, agesSeconds);
    QFETCH(float, offset);
    QFETCH(QString, last60);
    QFETCH(QString, last20);

    FakeClock clock;
    clock.set(kLocalNow, offset);
    const QDateTime utcNow = QDateTime(kLocalNow.date(), kLocalNow.time(), Qt::UTC)
                                 .addSecs(qint64(double(offset) * 3600));
    QList<QsoRecord> records;
    for (int age : agesSeconds)
        records.append(at(utcNow.addSecs(-age)));

    const auto rates = TimeStats::compute(records, TimeStats::utcNow(clock, offset));
    QVERIFY(rates.has_value());
    QCOMPARE(rates->lblAQSO60(), last60);
    QCOMPARE(rates->lblAQSO20(), last20);
}

void TstTimeStats::usesStationOffsetNotSystemZone()
{
    // The fake PC says UTC = local, but the operator's confirmed offset is 5 hours.
    FakeClock clock;
    clock.set(kLocalNow, 0);
    TestEnv env;
    QVERIFY(env.isValid());
    const QDateTime utc(kLocalNow.date(), QTime(17, 0, 0), Qt::UTC);
    QByteArray file;
    for (int minutes : {50, 10})
        file += LogStore::formatLine(at(utc.addSecs(-minutes * 60), false));
    env.write(QStringLiteral("log.txt"), file);
    LogStore log;
    QCOMPARE(log.load(env.file(QStringLiteral("log.txt"))), LogStore::LoadResult::Ok);

    QCOMPARE(TimeStats::utcNow(clock, 5.0f), utc);
    const auto rates = TimeStats::compute(log, clock, 5.0f);
    QVERIFY(rates.has_value());
    QCOMPARE(rates->lblAQSO60(), QStringLiteral("2"));
    QCOMPARE(rates->lblAQSO20(), QStringLiteral("3"));
    QCOMPARE(QString::fromLatin1(RateTexts::kLast60Label), QStringLiteral("lblAQSO60"));
    QCOMPARE(QString::fromLatin1(RateTexts::kLast20Label), QStringLiteral("lblAQSO20"));
}

void TstTimeStats::unreadableTimeLeavesLabelsAlone()
{
    const QDateTime now(QDate(2026, 8, 1), QTime(12, 0, 0), Qt::UTC);
    QList<QsoRecord> records{at(now.addSecs(-60)), at(now.addSecs(-30))};
    records[1].time = QStringLiteral("25:61");
    QVERIFY(!TimeStats::compute(records, now).has_value());
    // An unreadable record beyond the hour is never reached.
    records = {at(now.addSecs(-7200)), at(now.addSecs(-4000)), at(now.addSecs(-30))};
    records[0].date = QStringLiteral("garbage");
    const auto rates = TimeStats::compute(records, now);
    QVERIFY(rates.has_value());
    QCOMPARE(rates->last60, 1);
}

void TstTimeStats::contactTimeForms_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QDateTime>("expected");
    const QDate d(2026, 8, 1);
    QTest::newRow("live") << "2026/08/01" << "13:04:05" << QDateTime(d, QTime(13, 4, 5), Qt::UTC);
    QTest::newRow("post-contest") << "2026/08/01" << "13:04" << QDateTime(d, QTime(13, 4), Qt::UTC);
    QTest::newRow("hand-edited digits") << "2026/8/1" << "3:04" << QDateTime(d, QTime(3, 4), Qt::UTC);
    QTest::newRow("bad month") << "2026/13/01" << "13:04" << QDateTime();
    QTest::newRow("bad minute") << "2026/08/01" << "13:60" << QDateTime();
    QTest::newRow("letters") << "2026/08/0x" << "13:04" << QDateTime();
    QTest::newRow("empty time") << "2026/08/01" << "" << QDateTime();
}

void TstTimeStats::contactTimeForms()
{
    QFETCH(QString, date);
    QFETCH(QString, time);
    QFETCH(QDateTime, expected);
    QCOMPARE(contactTime(date, time), expected);
}

QTEST_GUILESS_MAIN(TstTimeStats)
#include "tst_timestats.moc"
