#include "fakes.h"
#include "core/fieldfile.h"
#include "core/logstore.h"
#include "core/preferences.h"

#include <QRandomGenerator>
#include <QTest>

class TestLogStore : public QObject {
    Q_OBJECT

private:
    static QsoRecord rec(const QString &call, const QString &qth, const QString &number = "None")
    {
        return {call, "BOB", qth, number, number == "None" ? "1" : "2", "2026/12/05", "14:00:00", "CW"};
    }

private slots:
    void fieldReader_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("quoted with comma") << QByteArray("\"a,b\",\"c\"\r\n") << QStringList{"a,b", "c"};
        QTest::newRow("bare numbers trimmed") << QByteArray(" 5 ,-77.5\r\n") << QStringList{"5", "-77.5"};
        QTest::newRow("line ends separate") << QByteArray("\"x\"\r\n\"y\"\r\n") << QStringList{"x", "y"};
        QTest::newRow("empty quoted") << QByteArray("\"\",\"z\"") << QStringList{"", "z"};
        QTest::newRow("bare LF") << QByteArray("\"x\"\n7\n") << QStringList{"x", "7"};
        QTest::newRow("blank kept inside quotes") << QByteArray("\" a b \"") << QStringList{" a b "};
        QTest::newRow("euro in 1252") << QByteArray("\"\x80\"") << QStringList{QString(QChar(0x20AC))};
    }
    void fieldReader()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, fields);
        fieldfile::Reader r(bytes);
        QStringList got;
        QString f;
        while (r.nextText(f))
            got << f;
        QCOMPARE(got, fields);
    }

    void writerRoundTrip1252()
    {
        fieldfile::Writer w;
        w.text(QString("caf") + QChar(0xE9) + QChar(0x20AC)).number(-77.25).integer(3).flag(true).endLine();
        QCOMPARE(w.bytes(), QByteArray("\"caf\xE9\x80\",-77.25,3,#TRUE#\r\n"));
        fieldfile::Reader r(w.bytes());
        QString t;
        double n = 0;
        bool flag = false;
        QVERIFY(r.nextText(t) && r.nextNumber(n));
        QCOMPARE(t, QString("caf") + QChar(0xE9) + QChar(0x20AC));
        QCOMPARE(n, -77.25);
        QVERIFY(r.nextNumber(n));
        QVERIFY(r.nextFlag(flag) && flag);
        QVERIFY(r.atEnd());
    }

    void loadTalliesStatesAndDx()
    {
        TestEnv env;
        QByteArray bytes;
        for (const QsoRecord &r : {rec("W1AW", "ct", "123"), rec("KL7X", "Alaska"), rec("VE3A", "Ontario"),
                                   rec("VE3B", "ONTARIO"), rec("G4X", "England"), rec("X", "Q")})
            bytes += LogStore::formatLine(r);
        env.write("log.txt", bytes);
        LogStore store;
        QCOMPARE(store.load(env.file("log.txt")), LogStore::LoadResult::Ok);
        QCOMPARE(store.count(), 6);
        QCOMPARE(store.pointsTotal(), 7.0f);
        QVERIFY(store.stateWorked(1));                        // CT via the state table, any case
        QVERIFY(store.stateWorked(statetable::kAlaska));      // Alaska by name
        QVERIFY(!store.stateWorked(statetable::kHawaii));
        QCOMPARE(store.dxEntities(), (QStringList{"Alaska", "Ontario", "England"}));
        QCOMPARE(store.recordsAtStart(), 6);
        QCOMPARE(store.countQth("CT"), 1);
    }

    void listShowsLastTwentyOrAll()
    {
        TestEnv env;
        LogStore store;
        for (int i = 0; i < 25; ++i)
            QCOMPARE(store.appendQso(env.file("log.txt"), rec(QString("K%1AA").arg(i), "CT")),
                     LogStore::AppendResult::Ok);
        QCOMPARE(store.listedRecordNumbers().first(), 25);
        QCOMPARE(store.listedRecordNumbers().last(), 6);
        store.setShowAll(true);
        QCOMPARE(store.listedRecordNumbers().size(), 25);
        QCOMPARE(store.listedRecordNumbers().last(), 1);
    }

    void appendIsOnDiskAndRewriteKeepsOrder()
    {
        TestEnv env;
        const QString path = env.file("log.txt");
        LogStore store;
        for (int i = 1; i <= 5; ++i)
            store.appendQso(path, rec(QString("K%1A").arg(i), "CT"));
        QCOMPARE(env.read("log.txt").count("\r\n"), 5);
        QVERIFY(env.read("log.txt").startsWith(
            "\"K1A\",\"BOB\",\"CT\",\"None\",\"1\",\"2026/12/05\",\"14:00:00\",\"CW\"\r\n"));
        store.removeRecord(3);
        QVERIFY(store.rewriteLogFile(path));
        LogStore again;
        QCOMPARE(again.load(path), LogStore::LoadResult::Ok);
        QCOMPARE(again.count(), 4);
        QCOMPARE(again.record(3).call, QString("K4A"));
    }

    void appendFailureLeavesMemoryAndFileAlike()
    {
        TestEnv env;
        LogStore store;
        QString error;
        const QString path = env.file("nofolder/log.txt");
        QCOMPARE(store.appendQso(path, rec("K1A", "CT"), &error), LogStore::AppendResult::WriteFailed);
        QCOMPARE(store.count(), 0);
        QVERIFY(!error.isEmpty());
    }

    void fullLogRefusesMore()
    {
        TestEnv env;
        QByteArray bytes;
        const QByteArray line = LogStore::formatLine(rec("K1A", "CT"));
        for (int i = 0; i < LogStore::kCapacity; ++i)
            bytes += line;
        env.write("log.txt", bytes);
        LogStore store;
        QCOMPARE(store.load(env.file("log.txt")), LogStore::LoadResult::Ok);
        QCOMPARE(store.appendQso(env.file("log.txt"), rec("K2A", "CT")), LogStore::AppendResult::Full);
        QCOMPARE(env.read("log.txt").size(), bytes.size());
        env.write("log.txt", bytes + line);
        QCOMPARE(store.load(env.file("log.txt")), LogStore::LoadResult::Damaged);
        QCOMPARE(store.count(), LogStore::kCapacity);  // memory untouched by a failed load
    }

    void damagedFilesFailCleanly_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("stray quote") << QByteArray("\"K1A\",\"BO\"B\",\"CT\",\"None\",\"1\",\"2026/12/05\",\"14:00\",\"CW\"\r\n");
        QTest::newRow("letters in points") << QByteArray("\"K1A\",\"BOB\",\"CT\",\"None\",\"x\",\"2026/12/05\",\"14:00\",\"CW\"\r\n");
        QTest::newRow("seven fields") << QByteArray("\"K1A\",\"BOB\",\"CT\",\"None\",\"1\",\"2026/12/05\",\"14:00\"\r\n");
        QTest::newRow("unterminated") << QByteArray("\"K1A");
    }
    void damagedFilesFailCleanly()
    {
        QFETCH(QByteArray, bytes);
        QList<QsoRecord> records;
        QString error;
        QVERIFY(!LogStore::parse(bytes, records, &error));
        QVERIFY(!error.isEmpty());
    }

    void emptyAndMissingFiles()
    {
        TestEnv env;
        LogStore store;
        QCOMPARE(store.load(env.file("log.txt")), LogStore::LoadResult::Missing);
        env.write("log.txt", "");
        QCOMPARE(store.load(env.file("log.txt")), LogStore::LoadResult::Ok);
        QCOMPARE(store.count(), 0);
        QCOMPARE(store.pointsTotal(), 0.0f);
    }

    // Any bytes: either a log or a clean failure, never a crash or a half-filled store.
    void readerSurvivesAnyBytes()
    {
        QByteArray good;
        for (int i = 0; i < 30; ++i)
            good += LogStore::formatLine(rec(QString("K%1ABC").arg(i), i % 2 ? "CT" : "Japan", "12"));
        auto *rng = QRandomGenerator::global();
        for (int round = 0; round < 3000; ++round) {
            QByteArray bytes = good;
            const int kind = round % 3;
            if (kind == 0) {
                bytes.truncate(rng->bounded(bytes.size() + 1));
            } else if (kind == 1) {
                for (int m = 0; m < 1 + rng->bounded(8); ++m)
                    bytes[rng->bounded(bytes.size())] = char(rng->bounded(256));
            } else {
                bytes.resize(rng->bounded(600));
                for (char &c : bytes)
                    c = char(rng->bounded(256));
            }
            QList<QsoRecord> records;
            QString error;
            if (LogStore::parse(bytes, records, &error)) {
                for (const QsoRecord &r : records) {
                    double p;
                    QVERIFY(fieldfile::parseNumber(r.points, p));
                }
            } else {
                QVERIFY(!error.isEmpty());
                QVERIFY(records.size() <= LogStore::kCapacity);
            }
        }
    }

    void preferencesRoundTrip()
    {
        TestEnv env;
        FakeClock clock;
        clock.set(QDateTime(QDate(2026, 12, 5), QTime(10, 0)), 3.5);
        Preferences p = Preferences::defaults(clock);
        QCOMPARE(p.utcOffset, 3.5f);
        p.ownCall = "K1XYZ";
        p.ownCountry = "United States ";  // blanks kept
        p.ownLongitude = -77.125f;
        p.currentMode = "PH";
        p.taskbarOption = 1;
        QVERIFY(p.save(env.file("tntnprf.txt")));
        QCOMPARE(env.read("tntnprf.txt").count("\r\n"), 14);
        Preferences q;
        QVERIFY(q.load(env.file("tntnprf.txt")));
        QCOMPARE(q, p);
        // A colour far beyond 24 bits is damage, not a colour.
        QByteArray damaged = env.read("tntnprf.txt");
        damaged.replace("\r\n255\r\n", "\r\n1e300\r\n");
        env.write("damaged.txt", damaged);
        QVERIFY(!q.load(env.file("damaged.txt")));
        env.write("short.txt", "\"K1XYZ\"\r\n\"CT\"\r\n5\r\n");
        QVERIFY(!q.load(env.file("short.txt")));
        QCOMPARE(q, p);
    }

    void caseInsensitiveResolve()
    {
        TestEnv env;
        env.write("Log.txt", "");
        QCOMPARE(fieldfile::resolvePath(env.path(), "log.txt"), env.file("Log.txt"));
        QCOMPARE(fieldfile::resolvePath(env.path(), "cw.txt"), env.file("cw.txt"));
    }
};

QTEST_GUILESS_MAIN(TestLogStore)
#include "tst_logstore.moc"
