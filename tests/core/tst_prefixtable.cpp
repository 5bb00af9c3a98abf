#include "fakes.h"
#include "core/fieldfile.h"
#include "core/prefixtable.h"

#include <QRandomGenerator>
#include <QDir>
#include <QTest>

namespace {
PrefixRow row(const QString &prefix, const QString &country, const QString &continent = "NA",
              float longitude = 0, float latitude = 0)
{
    PrefixRow r;
    r.prefix = prefix;
    r.country = country;
    r.continent = continent;
    r.longitude = longitude;
    r.latitude = latitude;
    return r;
}

// Ten rows per letter plus a digit block, sorted: big enough that the estimated start row lands
// away from the block sought, so the step-back and the scan direction both matter.
QList<PrefixRow> alphabetTable()
{
    QList<PrefixRow> rows;
    rows << row("3D2", "Fiji", "OC") << row("4X", "Israel", "AS", -34.8f, 31.3f)
         << row("4Z", "Israel", "AS", -34.8f, 31.3f) << row("9A", "Croatia", "EU");
    for (char first = 'A'; first <= 'Z'; ++first) {
        for (char second = 'A'; second < 'A' + 10; ++second) {
            const QString prefix = QString(QChar(first)) + QChar(second);
            rows << row(prefix, QStringLiteral("Land ") + prefix, "EU");
        }
    }
    // Realistic rows the cases below rely on, kept in byte order.
    const QList<PrefixRow> extra = {
        row("K", "USA", "NA", 91.87f, 37.6f), row("KG4", "Guantanamo Bay", "NA", 75, 20),
        row("KH6", "Hawaii", "OC", 157.48f, 21.12f), row("KL", "Alaska", "NA", 148.87f, 61.4f),
        row("VE", "Canada", "NA", 78.75f, 44.35f), row("W", "USA", "NA", 91.87f, 37.6f),
        row("JA", "Japan", "AS", -138.38f, 36.4f)};
    for (const PrefixRow &r : extra) {
        rows.erase(std::remove_if(rows.begin(), rows.end(),
                                  [&](const PrefixRow &o) { return o.prefix == r.prefix; }),
                   rows.end());
        rows << r;
    }
    std::sort(rows.begin(), rows.end(), [](const PrefixRow &a, const PrefixRow &b) {
        return a.prefix.toLatin1() < b.prefix.toLatin1();
    });
    return rows;
}

// What the lookup must find on a sorted table: the longest prefix the text begins with.
int longestMatch(const QList<PrefixRow> &rows, const QString &s)
{
    int best = 0;
    qsizetype length = 0;
    for (int i = 0; i < rows.size(); ++i) {
        if (rows[i].prefix.size() > length && s.startsWith(rows[i].prefix, Qt::CaseInsensitive)) {
            best = i + 1;
            length = rows[i].prefix.size();
        }
    }
    return best;
}
}  // namespace

class TestPrefixTable : public QObject {
    Q_OBJECT

private slots:
    void loadReadsEightFieldsPerRow()
    {
        TestEnv env;
        env.write("arrlpre2.txt", "\"4X\",\"Israel\",\"AS\",-34.82,31.32,20,39,-2\r\n"
                                  "\"K\",\"USA\",\"NA\",91.87,37.6,5,8,5\r\n"
                                  "JA , \"Japan\",AS,-138.38, 36.4 ,25,45,-9");  // no final line end
        PrefixTable table;
        QString error;
        QVERIFY2(table.load(env.file("arrlpre2.txt"), &error), qPrintable(error));
        QCOMPARE(table.count(), 3);
        QCOMPARE(table.row(1).country, QString("Israel"));
        QCOMPARE(table.row(1).longitude, -34.82f);
        QCOMPARE(table.row(2).latitude, 37.6f);
        QCOMPARE(table.row(3).prefix, QString("JA"));
        QCOMPARE(table.row(3).continent, QString("AS"));
        QCOMPARE(table.row(3).utcOffset, QString("-9"));
    }

    void loadRejectsDamagedFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("mention");
        const QByteArray good = "\"K\",\"USA\",\"NA\",91.87,37.6,5,8,5\r\n";
        QTest::newRow("longitude text") << good + "\"G\",\"England\",\"EU\",east,52,14,27,0\r\n"
                                        << "row 2: longitude";
        QTest::newRow("latitude empty") << good + "\"G\",\"England\",\"EU\",1.5,,14,27,0\r\n"
                                        << "row 2: latitude";
        QTest::newRow("row cut short") << good + "\"G\",\"England\",\"EU\",1.5,52\r\n"
                                       << "row 2: the three trailing fields";
        QTest::newRow("stray quote") << good + "\"G\"x,\"England\",\"EU\",1.5,52,14,27,0\r\n"
                                     << "row 2: prefix";
    }
    void loadRejectsDamagedFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, mention);
        TestEnv env;
        env.write("arrlpre2.txt", bytes);
        PrefixTable table;
        table.setRows({row("OLD", "Stale")});
        QString error;
        QVERIFY(!table.load(env.file("arrlpre2.txt"), &error));
        QVERIFY2(error.contains(mention), qPrintable(error));
        QCOMPARE(table.count(), 0);
        QVERIFY(!table.lookup("K1ABC").found);
    }

    void loadMissingFileAndCapacity()
    {
        TestEnv env;
        PrefixTable table;
        QString error;
        QVERIFY(!table.load(env.file("nothere.txt"), &error));
        QVERIFY(!error.isEmpty());

        QByteArray full;
        for (int i = 0; i < PrefixTable::kCapacity; ++i)
            full += "\"K\",\"USA\",\"NA\",1,2,3,4,5\r\n";
        env.write("full.txt", full);
        QVERIFY(table.load(env.file("full.txt")));
        QCOMPARE(table.count(), PrefixTable::kCapacity);
        env.write("over.txt", full + "\"W\",\"USA\",\"NA\",1,2,3,4,5\r\n");
        QVERIFY(!table.load(env.file("over.txt"), &error));
        QVERIFY(error.contains("more than 10000 rows"));
        QCOMPARE(table.count(), 0);
    }

    void lookup_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("country");
        QTest::addColumn<QString>("continent");

        QTest::newRow("letter block, estimate inside it") << "KL7AA" << true << "Alaska" << "NA";
        QTest::newRow("longest prefix wins") << "KH6XX" << true << "Hawaii" << "OC";
        QTest::newRow("shorter prefix when longer differs") << "KM1ABC" << true << "USA" << "NA";
        QTest::newRow("first row of table's last letter") << "ZA1A" << true << "Land ZA" << "EU";
        QTest::newRow("digit first, scanned downward") << "4X1AB" << true << "Israel" << "AS";
        QTest::newRow("digit first, first table row") << "3D2AB" << true << "Fiji" << "OC";
        QTest::newRow("digit first, last digit row") << "9A1A" << true << "Croatia" << "EU";
        QTest::newRow("digit without a row") << "5B4AA" << false << "" << "";
        QTest::newRow("letter without a row") << "QQ1" << false << "" << "";
        QTest::newRow("lower-case call") << "ja1abc" << true << "Japan" << "AS";
        QTest::newRow("designator of 3 after a 5") << "K1ABC/KH6" << true << "Hawaii" << "OC";
        QTest::newRow("designator of 2") << "JA1ABC/VE" << true << "Canada" << "NA";
        QTest::newRow("designator of 3 is not under half") << "AB/KH6" << true << "Land AB" << "EU";
        QTest::newRow("one-character suffix") << "JA1ABC/P" << true << "Japan" << "AS";
        QTest::newRow("portable number suffix") << "VE3XYZ/3" << true << "Canada" << "NA";
        QTest::newRow("prefix before slash") << "KH6/JA1ABCD" << true << "Hawaii" << "OC";
        QTest::newRow("trailing slash") << "JA1ABC/" << true << "Japan" << "AS";
        QTest::newRow("KG4 of 5 keeps its country") << "KG4AB" << true << "Guantanamo Bay" << "NA";
        QTest::newRow("KG4 alone keeps its country") << "KG4" << true << "Guantanamo Bay" << "NA";
        QTest::newRow("KG4 of 4 is a US station") << "KG4A" << true << "" << "NA";
        QTest::newRow("KG4 of 6 is a US station") << "KG4ABC" << true << "" << "NA";
        QTest::newRow("kg4 lower case of 6") << "kg4abc" << true << "" << "NA";
        QTest::newRow("empty") << "" << false << "" << "";
        QTest::newRow("character beyond Z") << "[X" << false << "" << "";
    }
    void lookup()
    {
        QFETCH(QString, call);
        QFETCH(bool, found);
        QFETCH(QString, country);
        QFETCH(QString, continent);
        PrefixTable table;
        table.setRows(alphabetTable());
        const CountryLookup got = table.lookup(call);
        QCOMPARE(got.found, found);
        QCOMPARE(got.country, country);
        QCOMPARE(got.continent, continent);
    }

    void kg4TakesCoordinatesOfFirstUsaRow()
    {
        PrefixTable table;
        table.setRows({row("AA", "USA", "NA", 90, 40), row("KG4", "Guantanamo Bay", "NA", 75, 20),
                       row("W", "USA", "NA", 100, 45)});
        CountryLookup got = table.lookup("KG4XYZ");
        QCOMPARE(got.country, QString());
        QCOMPARE(got.longitude, 90.f);
        QCOMPARE(got.latitude, 40.f);
        got = table.lookup("KG4XY");
        QCOMPARE(got.country, QString("Guantanamo Bay"));
        QCOMPARE(got.longitude, 75.f);
        // Without any USA row the matched row's coordinates stay.
        table.setRows({row("KG4", "Guantanamo Bay", "NA", 75, 20)});
        got = table.lookup("KG4A");
        QVERIFY(got.found);
        QCOMPARE(got.country, QString());
        QCOMPARE(got.longitude, 75.f);
    }

    void equalPrefixesFirstMetWins()
    {
        // Upward scans meet the earlier row first, downward scans (digit calls) the later one.
        PrefixTable table;
        QList<PrefixRow> rows;
        rows << row("4X", "Early") << row("4X", "Late");
        for (int i = 0; i < 100; ++i)
            rows << row(QString("A%1").arg(i, 2, 10, QChar('0')), "Filler");
        rows << row("VE", "First VE") << row("VE", "Second VE");
        table.setRows(rows);
        QCOMPARE(table.lookup("VE3A").country, QString("First VE"));
        QCOMPARE(table.lookup("4X1A").country, QString("Late"));
    }

    void tinyTablesDoNotBreakTheEstimate()
    {
        PrefixTable table;
        table.setRows({row("ZL", "New Zealand", "OC")});
        QCOMPARE(table.lookup("ZL1AB").country, QString("New Zealand"));
        QCOMPARE(table.lookup("AA1A").found, false);
        QCOMPARE(table.lookup("1A").found, false);
        table.setRows({});
        QCOMPARE(table.lookup("ZL1AB").found, false);
    }

    // The block jump must find exactly what a full scan finds, on any sorted table.
    void agreesWithFullScanOnRandomTables()
    {
        QRandomGenerator rng(42);
        const QString alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
        for (int round = 0; round < 40; ++round) {
            QStringList prefixes;
            const int n = 1 + rng.bounded(400);
            while (prefixes.size() < n) {
                QString p;
                const int len = 1 + rng.bounded(4);
                for (int i = 0; i < len; ++i)
                    p += alphabet[rng.bounded(i == 0 && rng.bounded(4) == 0 ? 10 : 36)];
                if (!prefixes.contains(p))
                    prefixes << p;
            }
            std::sort(prefixes.begin(), prefixes.end(),
                      [](const QString &a, const QString &b) { return a.toLatin1() < b.toLatin1(); });
            QList<PrefixRow> rows;
            for (const QString &p : prefixes)
                rows << row(p, "C" + p);
            PrefixTable table;
            table.setRows(rows);
            for (int k = 0; k < 200; ++k) {
                QString call;
                const int len = 1 + rng.bounded(7);
                for (int i = 0; i < len; ++i)
                    call += alphabet[rng.bounded(36)];
                const int expected = longestMatch(rows, call);
                const CountryLookup got = table.lookup(call);
                QVERIFY2(got.found == (expected != 0), qPrintable(call));
                if (expected != 0 && !call.startsWith("KG4"))
                    QCOMPARE(got.country, rows[expected - 1].country);
            }
        }
    }

    void completeCountry_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("expectedRow");
        QTest::newRow("last of several in file order") << "Ca" << 4;
        QTest::newRow("narrower") << "Canada" << 3;
        QTest::newRow("case-insensitive") << "cAY" << 4;
        QTest::newRow("only one") << "Jap" << 2;
        QTest::newRow("none") << "Xanadu" << 0;
    }
    void usualNamesFindTheShippedCountries();
    void completeCountry()
    {
        QFETCH(QString, typed);
        QFETCH(int, expectedRow);
        PrefixTable table;
        table.setRows({row("CF", "Canada"), row("JA", "Japan", "AS"), row("VE", "Canada"),
                       row("ZF", "Cayman Islands"), row("ZS", "South Africa", "AF")});
        QCOMPARE(table.completeCountry(typed), expectedRow);
    }
};

void TestPrefixTable::usualNamesFindTheShippedCountries()
{
    PrefixTable table;
    QVERIFY(table.load(QDir(qEnvironmentVariable("VARDEL_TEST_DATA_DIR")).filePath("arrlpre2.txt")));
    for (const auto &[usual, name] : PrefixTable::usualCountryNames()) {
        const int r = table.findCountry(usual);
        QVERIFY2(r > 0, qPrintable(usual));
        QCOMPARE(table.row(r).country, name);
    }
    QCOMPARE(table.row(table.findCountry(" japan ")).country, QString("Japan"));
    QCOMPARE(table.findCountry("Atlantis"), 0);
    QString shown;
    QCOMPARE(table.row(table.completeCountryName("United S", &shown)).country, QString("USA"));
    QCOMPARE(shown, QString("United States"));
}

QTEST_GUILESS_MAIN(TestPrefixTable)
#include "tst_prefixtable.moc"
