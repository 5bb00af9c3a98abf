#include "core/frequencylog.h"
#include "core/logstore.h"
#include "fakes.h"

#include <QTest>

namespace {
QsoRecord qso(const QString &call, const QString &time)
{
    return {call, "BOB", "CT", "1", "2", "2026/12/05", time, "CW"};
}
}  // namespace

// The frequency file beside log.txt: each contact's line follows it through edits and deletes,
// and a file cut short or naming contacts the log does not hold is mended, never trusted.
class TestFrequencyLog : public QObject {
    Q_OBJECT

private slots:
    void followsTheLog()
    {
        TestEnv env;
        const QString path = env.file(FrequencyLog::kFileName);
        const QList<QsoRecord> log{qso("W1AW", "17:00:00"), qso("K1ABC", "17:01:00")};
        QVERIFY(FrequencyLog::append(path, log[0], {28025000, {}}));
        QVERIFY(FrequencyLog::append(path, log[1], {28400000, "PSK31"}));
        FrequencyLog f;
        QVERIFY(f.load(path, log));
        QCOMPARE(f.count(), 2);
        QCOMPARE(f.entryOf(log[1]).hz, 28400000);
        QCOMPARE(f.entryOf(log[1]).submode, QString("PSK31"));
        QCOMPARE(f.entryOf(qso("N0XX", "17:02:00")).hz, 0);

        QsoRecord edited = log[0];
        edited.call = "W1AX";
        QVERIFY(f.replace(path, log[0], edited));
        QVERIFY(f.remove(path, log[1]));
        FrequencyLog again;
        QVERIFY(again.load(path, {edited}));
        QCOMPARE(again.entryOf(edited).hz, 28025000);
        QCOMPARE(again.count(), 1);
    }

    void damageIsMended_data()
    {
        QTest::addColumn<QByteArray>("tail");
        QTest::newRow("a line cut short") << QByteArray("\"K1ABC\",\"2026/12/05\",\"17:0");
        QTest::newRow("a contact the log lacks")
            << QByteArray("\"N0XX\",\"2026/12/05\",\"17:09:00\",\"CW\",28000000,\"\"\r\n\"K1ABC\",\"2026/12/06\",\"17:01:00\",\"CW\",1,\"\"\r\n");
        QTest::newRow("a frequency that is not one") << QByteArray("\"K1ABC\",\"2026/12/05\",\"17:01:00\",\"CW\",-5,\"\"\r\n");
    }
    void damageIsMended()
    {
        QFETCH(QByteArray, tail);
        TestEnv env;
        const QString path = env.file(FrequencyLog::kFileName);
        const QList<QsoRecord> log{qso("W1AW", "17:00:00"), qso("K1ABC", "17:01:00")};
        QVERIFY(FrequencyLog::append(path, log[0], {28025000, {}}));
        env.write(FrequencyLog::kFileName, env.read(FrequencyLog::kFileName) + tail);
        FrequencyLog f;
        QVERIFY(f.load(path, log));
        QCOMPARE(f.count(), 1);
        QCOMPARE(f.entryOf(log[0]).hz, 28025000);
        // Written again whole: the next append does not glue onto a broken line.
        QVERIFY(!env.read(FrequencyLog::kFileName).contains("K1ABC"));
        QVERIFY(!env.read(FrequencyLog::kFileName).contains("N0XX"));
        QVERIFY(env.read(FrequencyLog::kFileName).endsWith("\r\n"));
        QVERIFY(FrequencyLog::append(path, log[1], {28030000, {}}));
        FrequencyLog again;
        QVERIFY(again.load(path, log));
        QCOMPARE(again.count(), 2);
    }
};

QTEST_GUILESS_MAIN(TestFrequencyLog)
#include "tst_frequencylog.moc"
