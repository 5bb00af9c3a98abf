#include "core/appfolders.h"
#include "core/callhistory.h"
#include "core/logstore.h"
#include "fakes.h"

#include <QDir>
#include <QTest>

namespace {
QsoRecord qso(const QString &call, const QString &name, const QString &qth, const QString &number,
              const QString &date, const QString &time)
{
    return {call, name, qth, number, number == u"None" ? "1" : "2", date, time, "CW"};
}

QByteArray logBytes(const QList<QsoRecord> &records)
{
    QByteArray out;
    for (const QsoRecord &r : records)
        out += LogStore::formatLine(r);
    return out;
}
}  // namespace

class TestCallHistory : public QObject {
    Q_OBJECT

private slots:
    void newestWins_data();
    void newestWins();
    void historyFile_data();
    void historyFile();
    void buildsFromFolders();
    void readsLogsAsTheLogDoes_data();
    void readsLogsAsTheLogDoes();
};

void TestCallHistory::newestWins_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("source");

    // Logs are added old.log, then new.log, then backup.log (which is older again).
    QTest::newRow("newer log wins") << "W1AW" << "HIRAM" << "new.log";
    QTest::newRow("newer contact in an older file wins") << "K1ABC" << "JOE" << "old.log";
    QTest::newRow("same log, later record") << "N0XX" << "SECOND" << "new.log";
    QTest::newRow("lower case asked") << "w1aw" << "HIRAM" << "new.log";
    QTest::newRow("file answers only calls no log knows") << "VE3XYZ" << "FILEONLY" << "calls.txt";
    QTest::newRow("unknown") << "ZZ9ZZ" << "" << "";
}

void TestCallHistory::newestWins()
{
    QFETCH(QString, call);
    QFETCH(QString, name);
    QFETCH(QString, source);
    TestEnv env;
    CallHistory h;
    h.addLog({qso("W1AW", "OLD", "CT", "1", "2024/08/03", "12:00:00"),
              qso("K1ABC", "JOE", "MA", "55", "2025/02/01", "10:00")},
             "old.log");
    h.addLog({qso("W1AW", "HIRAM", "CT", "1", "2025/08/02", "00:01:00"),
              qso("K1ABC", "JOSEPH", "MA", "55", "2024/01/01", "10:00:00"),
              qso("N0XX", "FIRST", "MN", "None", "2025/01/01", "10:00:00"),
              qso("N0XX", "SECOND", "MN", "None", "2025/01/01", "10:00:00")},
             "new.log");
    env.write("calls.txt", "!!Order!!,Call,Name,State,Exch1\r\nW1AW,FROMFILE,CT,1\r\nVE3XYZ,FILEONLY,ON,77\r\n");
    QVERIFY(h.addHistoryFile(env.file("calls.txt")));
    const auto hit = h.lookup(call);
    QCOMPARE(hit.has_value(), !name.isEmpty());
    if (hit) {
        QCOMPARE(hit->name, name);
        QCOMPARE(hit->source, source);
    }
}

void TestCallHistory::historyFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("k1abc");  // name, qth, number; empty list: not known

    QTest::newRow("full header") << QByteArray("# comment\r\n!!Order!!,Call,Name,Loc1,Exch1,UserText\r\n"
                                               "K1ABC,JOE,MA,1234,hello\r\n")
                                 << true << QStringList{"JOE", "MA", "1234"};
    QTest::newRow("columns in another order, names in any case")
        << QByteArray("!!order!!,NAME,EXCH1,CALL,STATE\nJOE,1234,k1abc,MA\n") << true
        << QStringList{"JOE", "MA", "1234"};
    QTest::newRow("no number column") << QByteArray("!!Order!!,Call,Name,State\r\nK1ABC,JOE,MA\r\n")
                                      << true << QStringList{"JOE", "MA", ""};
    QTest::newRow("row shorter than the header")
        << QByteArray("!!Order!!,Call,Name,State,Exch1\r\nK1ABC,JOE\r\n") << true
        << QStringList{"JOE", "", ""};
    QTest::newRow("rows before the header are not guessed")
        << QByteArray("K1ABC,JOE\r\n!!Order!!,Call,Name\r\nW1AW,HIRAM\r\n") << true << QStringList{};
    QTest::newRow("no header at all") << QByteArray("DA0A,N11\r\nK1ABC,JOE\r\n") << false << QStringList{};
    QTest::newRow("header without a Call column") << QByteArray("!!Order!!,Name,State\r\nJOE,MA\r\n")
                                                   << false << QStringList{};
}

void TestCallHistory::historyFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, ok);
    QFETCH(QStringList, k1abc);
    TestEnv env;
    env.write("h.txt", bytes);
    CallHistory h;
    QString error;
    QCOMPARE(h.addHistoryFile(env.file("h.txt"), &error), ok);
    QCOMPARE(error.isEmpty(), ok);
    const auto hit = h.lookup("K1ABC");
    QCOMPARE(hit.has_value(), !k1abc.isEmpty());
    if (hit)
        QCOMPARE((QStringList{hit->name, hit->qth, hit->memberNumber}), k1abc);
}

void TestCallHistory::buildsFromFolders()
{
    TestEnv env;
    AppFolders folders;
    folders.workingDir = env.path();
    folders.productDataFolder = env.file("Korvex Software/Vardel");
    QDir().mkpath(folders.backupFolder());
    env.write("log.txt", logBytes({qso("W1AW", "WORKING", "CT", "1", "2025/08/02", "10:00:00")}));
    env.write("Korvex Software/Vardel/BACKUP/202508021200.log",
              logBytes({qso("K1ABC", "BACKUP", "MA", "55", "2025/08/02", "11:00:00"),
                        qso("W1AW", "OLDER", "CT", "1", "2024/08/02", "10:00:00")}));
    env.write("W1XX2024-08-04.log", logBytes({qso("N0XX", "ARCHIVE", "MN", "None", "2024/08/04", "10:00")}));
    env.write("tntnprf.txt", "\"not\",\"a\",\"log\"\r\n");
    env.write("notes.log", "K9NOTE,called twice\r\n");
    env.write("Korvex Software/Vardel/BACKUP/spaced.txt",
              "\"k2low\" , \"ANN\",\"NJ\",\"7\", 2 ,\"2025/01/01\",\"10:00\",\"CW\"\r\n\x1a");
    env.write("Korvex Software/Vardel/BACKUP/broken.log", "\"K9BAD\",\"HALF");
    env.write("calls.txt", "WAG style without header\r\n");

    QString problems;
    const CallHistory h = CallHistory::build(folders, env.file("calls.txt"), &problems);
    QCOMPARE(h.lookup("W1AW")->name, QString("WORKING"));
    QCOMPARE(h.lookup("K1ABC")->source, QString("202508021200.log"));
    QCOMPARE(h.lookup("N0XX")->name, QString("ARCHIVE"));
    QVERIFY(!h.lookup("K9BAD"));
    QVERIFY(!h.lookup("K9NOTE"));
    QCOMPARE(h.lookup("K2LOW")->memberNumber, QString("7"));
    QCOMPARE(problems, QString("calls.txt has no \"!!Order!!\" line naming its columns."));
    QCOMPARE(callHistoryStatus(*h.lookup("K1ABC")),
             QString("Call history: 202508021200.log, contact of 2025/08/02 11:00:00"));
}

void TestCallHistory::readsLogsAsTheLogDoes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray line = LogStore::formatLine(qso("W1AW", "HIRAM", "CT", "1", "2025/08/02", "10:00:00"));
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF" + line);
    QTest::newRow("no-break space around the call") << QByteArray("\xA0W1AW\xA0,\"HIRAM\",\"CT\",\"1\",2,\"d\",\"t\",\"CW\"\r\n");
    QTest::newRow("Ctrl-Z before the last line end") << QByteArray(line.chopped(2) + "\x1a\r\n");
    QTest::newRow("damaged: quote inside a bare field") << QByteArray(line + "K9BAD,NA\"ME,MA,1,2,d,t,CW\r\n");
    QTest::newRow("damaged: points not a number") << QByteArray(line + "K9BAD,NAME,MA,1,x,d,t,CW\r\n");
}

// The history takes from a log exactly what loading that log would give, and nothing from a log
// the logger refuses.
void TestCallHistory::readsLogsAsTheLogDoes()
{
    QFETCH(QByteArray, bytes);
    TestEnv env;
    AppFolders folders;
    folders.workingDir = env.path();
    folders.productDataFolder = env.file("Vardel");
    env.write("log.txt", bytes);
    QList<QsoRecord> records;
    const bool loads = LogStore::parse(bytes, records, nullptr);
    const CallHistory h = CallHistory::build(folders, {});
    QCOMPARE(h.count(), loads ? int(records.size()) : 0);
    for (const QsoRecord &r : loads ? records : QList<QsoRecord>{})
        QCOMPARE(h.lookup(r.call)->name, r.name);
}

QTEST_GUILESS_MAIN(TestCallHistory)
#include "tst_callhistory.moc"
