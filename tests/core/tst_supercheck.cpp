#include "core/appfolders.h"
#include "core/supercheck.h"
#include "fakes.h"

#include <QDir>
#include <QTest>

class TestSuperCheck : public QObject {
    Q_OBJECT

private slots:
    void matches_data();
    void matches();
    void fileReading();
    void operatorFileWins();
    void formatLine();
    void beginningFirst();
};

void TestSuperCheck::matches_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("expected");  // formatted line

    QTest::newRow("under two characters") << "K" << 10 << "";
    QTest::newRow("two at the start") << "W1" << 10 << "W1AW (W1XYZ)";
    QTest::newRow("inside the call") << "1AW" << 10 << "K1AW W1AW";
    QTest::newRow("at the end") << "AW" << 10 << "K1AW W1AW";
    QTest::newRow("lower case typed, worked marked") << "xy" << 10 << "VE3XYZ (W1XYZ)";
    QTest::newRow("portable slash") << "/P" << 10 << "DL1ABC/P";
    QTest::newRow("piece repeated in typed text") << "AAA" << 10 << "AAAA1";
    QTest::newRow("all pieces present but not in a row") << "K1W" << 10 << "";
    QTest::newRow("limit keeps sorted order") << "1A" << 2 << "DL1ABC/P K1AW";
    QTest::newRow("no such call") << "ZZ9" << 10 << "";
    QTest::newRow("whole call") << "VE3XYZ" << 10 << "VE3XYZ";
}

void TestSuperCheck::matches()
{
    QFETCH(QString, typed);
    QFETCH(int, limit);
    QFETCH(QString, expected);
    SuperCheckPartial scp;
    scp.loadCalls({"W1AW", "k1aw", "W1XYZ", "VE3XYZ", "DL1ABC/P", "AAAA1", "W1AW", "bad call", ""});
    QCOMPARE(scp.count(), 6);
    const QSet<QString> worked{"W1XYZ"};
    QCOMPARE(SuperCheckPartial::formatLine(scp.matches(typed, limit, worked)), expected);
}

void TestSuperCheck::fileReading()
{
    TestEnv env;
    env.write("MASTER.SCP", "#\r\n# Release 1\r\n#\r\nW1AW\r\n  K1ABC \r\n\r\nN0CALL\n");
    SuperCheckPartial scp;
    QString error;
    QVERIFY(scp.load(env.file("MASTER.SCP"), &error));
    QCOMPARE(scp.count(), 3);
    QCOMPARE(SuperCheckPartial::formatLine(scp.matches("1A", 5)), QString("K1ABC W1AW"));

    env.write("EMPTY.SCP", "# nothing but comments\r\n");
    QVERIFY(!scp.load(env.file("EMPTY.SCP"), &error));
    QCOMPARE(error, QString("EMPTY.SCP holds no calls."));
    QVERIFY(scp.isEmpty());
    QVERIFY(!scp.load(env.file("MISSING.SCP"), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(scp.matches("W1", 5).isEmpty());
}

void TestSuperCheck::operatorFileWins()
{
    TestEnv env;
    AppFolders folders;
    folders.workingDir = env.path();
    folders.sharedFolder = env.file("Shared");
    QDir().mkpath(folders.sharedFolder);
    const QString system = "/usr/share/hamradio-files/MASTER.SCP";
    QCOMPARE(locateMasterScp(folders), QFileInfo::exists(system) ? system : QString());
    env.write("Shared/master.scp", "W1AW\r\n");
    QCOMPARE(locateMasterScp(folders), env.file("Shared/master.scp"));
}

// Calls that begin with the typed text come before those that hold it, even past the limit of
// what fits on the line.
void TestSuperCheck::beginningFirst()
{
    SuperCheckPartial scp;
    scp.loadCalls({"7K3LHX", "HK3LRB", "IK3LLS", "JK3LZZ", "K3LR", "K3LRX"});
    QCOMPARE(SuperCheckPartial::formatLine(scp.matches("K3L", 3, {"K3LR"})), QString("(K3LR) K3LRX 7K3LHX"));
    QCOMPARE(SuperCheckPartial::formatLine(scp.matches("K3L", 1)), QString("K3LR"));
}

void TestSuperCheck::formatLine()
{
    QCOMPARE(SuperCheckPartial::formatLine({}), QString());
    QCOMPARE(SuperCheckPartial::formatLine({{"K1A", true}, {"K1B", false}}), QString("(K1A) K1B"));
}

QTEST_GUILESS_MAIN(TestSuperCheck)
#include "tst_supercheck.moc"
