#include "fakes.h"
#include "core/appfolders.h"
#include "core/fieldfile.h"
#include "core/prefixtable.h"
#include "core/shippeddata.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

namespace {
QString dataDir() { return qEnvironmentVariable("VARDEL_TEST_DATA_DIR"); }

QHash<QString, int> readCountryNumbers(const QString &path, QString *error)
{
    QHash<QString, int> numbers;
    QByteArray bytes;
    if (!fieldfile::readFile(path, bytes, error))
        return numbers;
    fieldfile::Reader reader(bytes);
    QString name;
    double number = 0;
    while (reader.nextText(name)) {
        if (!reader.nextNumber(number)) {
            *error = "bad number after " + name;
            return {};
        }
        numbers.insert(name.toLower(), int(number));
    }
    return numbers;
}

AppFolders foldersIn(const TestEnv &env)
{
    AppFolders f;
    f.workingDir = env.path();
    f.makerFolder = env.file("Documents/Korvex Software");
    f.productDataFolder = env.file("Documents/Korvex Software/Vardel");
    f.sharedFolder = env.file("Documents/Korvex Software/Shared");
    return f;
}
}  // namespace

class TestShippedData : public QObject {
    Q_OBJECT

    PrefixTable m_table;

private slots:
    void initTestCase()
    {
        QVERIFY2(!dataDir().isEmpty(), "VARDEL_TEST_DATA_DIR is not set");
        QString error;
        QVERIFY2(m_table.load(QDir(dataDir()).filePath("arrlpre2.txt"), &error), qPrintable(error));
        QVERIFY(m_table.count() > 1000);
    }

    void realCalls_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("country");
        QTest::addColumn<QString>("continent");
        QTest::newRow("Japan") << "JA1ABC" << "Japan" << "AS";
        QTest::newRow("USA") << "W1AW" << "USA" << "NA";
        QTest::newRow("USA, two-letter prefix") << "KB1XYZ" << "USA" << "NA";
        QTest::newRow("Canada") << "VE3XYZ" << "Canada" << "NA";
        QTest::newRow("Alaska") << "KL7AA" << "Alaska" << "NA";
        QTest::newRow("Hawaii") << "KH6XX" << "Hawaii" << "OC";
        QTest::newRow("England") << "G4ABC" << "England" << "EU";
        QTest::newRow("Germany") << "DL1ABC" << "Fed. Rep. of Germany" << "EU";
        QTest::newRow("digit first") << "4X1AB" << "Israel" << "AS";
        QTest::newRow("digit first, Fiji") << "3D2AB" << "Fiji" << "OC";
        QTest::newRow("designator") << "K1ABC/KH6" << "Hawaii" << "OC";
        QTest::newRow("Guantanamo, 5 characters") << "KG4AB" << "Guantanamo Bay" << "NA";
        QTest::newRow("KG4 of 6 is a US station") << "KG4ABC" << "" << "NA";
        QTest::newRow("Sicily counts for Italy") << "IT9ABC" << "Italy" << "EU";
        QTest::newRow("New Zealand, last letter") << "ZL2AB" << "New Zealand" << "OC";
    }
    void realCalls()
    {
        QFETCH(QString, call);
        QFETCH(QString, country);
        QFETCH(QString, continent);
        const CountryLookup got = m_table.lookup(call);
        QVERIFY(got.found);
        QCOMPARE(got.country, country);
        QCOMPARE(got.continent, continent);
    }

    void longitudesCountPositiveWest()
    {
        const CountryLookup japan = m_table.lookup("JA1ABC");
        QVERIFY2(japan.longitude < -130 && japan.longitude > -145, qPrintable(QString::number(japan.longitude)));
        QVERIFY(japan.latitude > 30 && japan.latitude < 40);
        const CountryLookup usa = m_table.lookup("W1AW");
        QVERIFY(usa.longitude > 70 && usa.longitude < 120);
        const CountryLookup kg4 = m_table.lookup("KG4ABC");  // coordinates of the first USA row
        QCOMPARE(kg4.longitude, usa.longitude);
        QCOMPARE(kg4.latitude, usa.latitude);
    }

    void unknownPrefixIsNotFound()
    {
        QVERIFY(!m_table.lookup("QQ1QQ").found);
        QVERIFY(!m_table.lookup("1BC").found);  // 1A is a prefix, 1B is not
    }

    void sortedAsTheLookupNeeds()
    {
        for (int i = 2; i <= m_table.count(); ++i) {
            const QByteArray a = m_table.row(i - 1).prefix.toLatin1();
            const QByteArray b = m_table.row(i).prefix.toLatin1();
            QVERIFY2(a < b, qPrintable(QString("row %1: %2 before %3").arg(i).arg(a, b)));
        }
    }

    void everyCountryHasAnAdifNumber()
    {
        QString error;
        const QHash<QString, int> numbers =
            readCountryNumbers(QDir(dataDir()).filePath("ADIFCnt.txt"), &error);
        QVERIFY2(!numbers.isEmpty(), qPrintable(error));
        QVERIFY(numbers.size() <= 1000);  // the ADIF export reads at most 1000 lines
        for (const PrefixRow &row : m_table.rows())
            QVERIFY2(numbers.value(row.country.toLower()) > 0, qPrintable(row.country));
        QCOMPARE(numbers.value("usa"), 291);
        QCOMPARE(numbers.value("canada"), 1);
        QCOMPARE(numbers.value("alaska"), 6);
        QCOMPARE(numbers.value("hawaii"), 110);
    }

    // The committed tables are what the generator makes from the installed source data.
    void generatorReproducesCommittedTables()
    {
        const QString tools = qEnvironmentVariable("VARDEL_TEST_TOOLS_DIR");
        const QString python = QStandardPaths::findExecutable("python3");
        const QString cty = "/usr/share/hamradio-files/cty.csv";
        if (tools.isEmpty() || python.isEmpty() || !QFileInfo::exists(cty))
            QSKIP("python3 or the country-files source data is not installed");
        // Compare only when the installed source is the release the tables were made from.
        QFile licence(QDir(dataDir()).filePath("COUNTRY-FILES-LICENSE"));
        QFile source(cty);
        QVERIFY(licence.open(QIODevice::ReadOnly) && source.open(QIODevice::ReadOnly));
        const QByteArray md5 = QCryptographicHash::hash(source.readAll(), QCryptographicHash::Md5).toHex();
        if (!licence.readAll().contains("source-md5: " + md5))
            QSKIP("the installed country-files are another release than the committed tables");
        TestEnv env;
        QProcess p;
        p.start(python, {QDir(tools).filePath("make_prefix_table.py"), "--cty", cty, "--out", env.path()});
        QVERIFY(p.waitForFinished(60000));
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
        for (const QString name : {"arrlpre2.txt", "ADIFCnt.txt"}) {
            QFile committed(QDir(dataDir()).filePath(name));
            QVERIFY(committed.open(QIODevice::ReadOnly));
            QVERIFY2(env.read(name) == committed.readAll(), qPrintable(name));
        }
        QVERIFY(env.read("arrlpre2.txt").endsWith("\r\n"));
    }

    void shippedDataDirPrefersEnvironment()
    {
        const QByteArray old = qgetenv("VARDEL_DATA_DIR");
        qputenv("VARDEL_DATA_DIR", "/somewhere/else");
        const QString fromEnv = shippedDataDir();
        qunsetenv("VARDEL_DATA_DIR");
        const QString found = shippedDataDir();
        if (!old.isNull())
            qputenv("VARDEL_DATA_DIR", old);
        QCOMPARE(fromEnv, QString("/somewhere/else"));
        // Without it a test binary finds the installed or the source tree's data.
        QVERIFY(QFileInfo::exists(QDir(found).filePath("arrlpre2.txt")));
    }

    void placesMissingTables()
    {
        TestEnv env;
        env.write("ship/arrlpre2.txt", "\"K\",\"USA\",\"NA\",1,2,3,4,5\r\n");
        env.write("ship/ADIFCnt.txt", "\"USA\",291\r\n");
        env.write("ship/readten.txt", "help\r\n");
        env.write("ship/BandPlan.txt", "plan\r\n");
        QFile::setPermissions(env.file("ship/arrlpre2.txt"), QFileDevice::ReadOwner);
        const AppFolders folders = foldersIn(env);
        QString error;
        const QStringList written = placeShippedData(folders, env.file("ship"), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(written.size(), 4);
        const QString shared = QDir(folders.sharedFolder).filePath("arrlpre2.txt");
        QCOMPARE(env.read("Documents/Korvex Software/Shared/arrlpre2.txt"),
                 QByteArray("\"K\",\"USA\",\"NA\",1,2,3,4,5\r\n"));
        QVERIFY(QFileInfo(shared).isWritable());
        QCOMPARE(env.read("Documents/Korvex Software/Shared/ADIFCnt.txt"), QByteArray("\"USA\",291\r\n"));
        QCOMPARE(env.read("readten.txt"), QByteArray("help\r\n"));
        QCOMPARE(env.read("BandPlan.txt"), QByteArray("plan\r\n"));
        // A second start finds everything in place and writes nothing.
        QVERIFY(placeShippedData(folders, env.file("ship")).isEmpty());
    }

    void neverOverwritesOrShadows()
    {
        TestEnv env;
        env.write("ship/arrlpre2.txt", "shipped");
        env.write("ship/ADIFCnt.txt", "shipped");
        env.write("ship/readten.txt", "shipped");
        // BandPlan.txt is not shipped: nothing to copy.
        env.write("arrlpre2.txt", "operator's own");                             // working dir
        env.write("Documents/Korvex Software/Vardel/ADIFCnt.txt", "operator's own");  // product folder
        env.write("ReadTen.txt", "operator's own");                              // other letter case
        const AppFolders folders = foldersIn(env);
        QString error;
        const QStringList written = placeShippedData(folders, env.file("ship"), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(written, QStringList());
        QVERIFY(!QFileInfo::exists(QDir(folders.sharedFolder).filePath("arrlpre2.txt")));
        QVERIFY(!QFileInfo::exists(QDir(folders.sharedFolder).filePath("ADIFCnt.txt")));
        QCOMPARE(env.read("ReadTen.txt"), QByteArray("operator's own"));
        QVERIFY(!QFileInfo::exists(env.file("readten.txt")));
        QVERIFY(!QFileInfo::exists(env.file("BandPlan.txt")));
    }

    void noShippedFolderWritesNothing()
    {
        TestEnv env;
        QVERIFY(placeShippedData(foldersIn(env), QString()).isEmpty());
        AppFolders noShared = foldersIn(env);
        noShared.sharedFolder.clear();
        env.write("ship/arrlpre2.txt", "shipped");
        QString error;
        QVERIFY(placeShippedData(noShared, env.file("ship"), &error).isEmpty());
        QVERIFY(error.contains("no folder"));
        QVERIFY(!QFileInfo::exists(env.file("arrlpre2.txt")));
    }
};

QTEST_GUILESS_MAIN(TestShippedData)
#include "tst_shippeddata.moc"
