#include "fakes.h"
#include "core/fieldfile.h"
#include "core/logstore.h"
#include "core/preferences.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace {
// Lets files in this process grow by only `room` more bytes past `size`: the next write past
// that is cut short and then fails, as on a disk that fills up in the middle of a line.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit l = m_old;
        l.rlim_cur = limit;
        ::setrlimit(RLIMIT_FSIZE, &l);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};
}  // namespace

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
        QTest::newRow("quote in a bare field")
            << QByteArray("W1AW,BOB\"S,CT,None,1,2026/12/05,14:00,CW\r\n");
        QTest::newRow("text before an opening quote")
            << QByteArray("x\"W1AW\",\"BOB\",\"CT\",\"None\",\"1\",\"2026/12/05\",\"14:00\",\"CW\"\r\n");
        QTest::newRow("contact after a Ctrl-Z")
            << QByteArray("\"W1AW\",\"BOB\",\"CT\",\"None\",\"1\",\"2026/12/05\",\"14:00\",\"CW\"\r\n"
                          "\x1A\"K1A\",\"BOB\",\"CT\",\"None\",\"1\",\"2026/12/05\",\"14:00\",\"CW\"\r\n");
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
            const int kind = round % 4;
            if (kind == 0) {
                bytes.truncate(rng->bounded(bytes.size() + 1));
            } else if (kind == 1) {
                for (int m = 0; m < 1 + rng->bounded(8); ++m)
                    bytes[rng->bounded(bytes.size())] = char(rng->bounded(256));
            } else if (kind == 2) {
                bytes.resize(rng->bounded(600));
                for (char &c : bytes)
                    c = char(rng->bounded(256));
            } else {
                // The bytes that make files tricky, scattered through a good log.
                static const char tricky[] = {'"', ',', '\r', '\n', ' ', '\x1A', '\xEF', '\xBB', '\xBF', '\t'};
                for (int m = 0; m < 1 + rng->bounded(6); ++m)
                    bytes.insert(rng->bounded(bytes.size() + 1), tricky[rng->bounded(int(sizeof tricky))]);
            }
            QList<QsoRecord> records;
            QString error;
            if (LogStore::parse(bytes, records, &error)) {
                QByteArray written;
                for (const QsoRecord &r : records) {
                    double p;
                    QVERIFY(fieldfile::parseNumber(r.points, p));
                    written += LogStore::formatLine(r);
                }
                // Whatever was accepted is written back in a form that loads as the same log.
                QList<QsoRecord> again;
                QVERIFY2(LogStore::parse(written, again, &error), qPrintable(error));
                QCOMPARE(again, records);
            } else {
                QVERIFY(!error.isEmpty());
                QVERIFY(records.size() <= LogStore::kCapacity);
            }
        }
    }

    // Bytes an editor or an old program adds around the data.
    void readerSkipsMarksAroundTheData_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray line = LogStore::formatLine(rec("W1AW", "CT"));
        QTest::newRow("UTF-8 byte-order mark") << (QByteArray("\xEF\xBB\xBF") + line);
        QTest::newRow("trailing Ctrl-Z") << (line + "\x1A");
        QTest::newRow("Ctrl-Z and a line end") << (line + "\x1A\r\n");
    }
    void readerSkipsMarksAroundTheData()
    {
        QFETCH(QByteArray, bytes);
        QList<QsoRecord> records;
        QString error;
        QVERIFY2(LogStore::parse(bytes, records, &error), qPrintable(error));
        QCOMPARE(records.size(), 1);
        QCOMPARE(records[0].call, QString("W1AW"));
    }

    // Appending after a last line without its line end, or after a Ctrl-Z, must give a file
    // that loads with every contact.
    void appendAfterAnUntidyEnd_data()
    {
        QTest::addColumn<QByteArray>("tail");
        QTest::newRow("no final line end") << QByteArray();
        QTest::newRow("bare CR") << QByteArray("\r");
        QTest::newRow("Ctrl-Z") << QByteArray("\x1A");
        QTest::newRow("Ctrl-Z line end") << QByteArray("\r\n\x1A\r\n");
    }
    void appendAfterAnUntidyEnd()
    {
        QFETCH(QByteArray, tail);
        TestEnv env;
        QByteArray first = LogStore::formatLine(rec("W1AW", "CT"));
        first.chop(2);
        env.write("log.txt", first + tail);
        LogStore store;
        QCOMPARE(store.load(env.file("log.txt")), LogStore::LoadResult::Ok);
        QString notice;
        QCOMPARE(store.appendQso(env.file("log.txt"), rec("K1A", "CT"), nullptr, true, &notice),
                 LogStore::AppendResult::Ok);
        QVERIFY(notice.isEmpty());
        LogStore again;
        QCOMPARE(again.load(env.file("log.txt")), LogStore::LoadResult::Ok);
        QCOMPARE(again.count(), 2);
        QCOMPARE(again.record(2).call, QString("K1A"));
        QVERIFY(!env.read("log.txt").contains('\x1A'));
        QVERIFY(env.read("log.txt").endsWith("\"CW\"\r\n"));
    }

    // A disk that fills in the middle of a line: the file keeps exactly its old bytes, the
    // message names the cause, and the next contact after space is freed loads cleanly.
    void shortWriteLeavesTheFileAsItWas()
    {
        TestEnv env;
        const QString path = env.file("log.txt");
        LogStore store;
        QCOMPARE(store.appendQso(path, rec("W1AW", "CT")), LogStore::AppendResult::Ok);
        const QByteArray before = env.read("log.txt");
        QString error;
        {
            FileSizeLimit limit(rlim_t(before.size() + 10));
            QCOMPARE(store.appendQso(path, rec("K1ABC", "CT"), &error), LogStore::AppendResult::WriteFailed);
        }
        QCOMPARE(env.read("log.txt"), before);
        QCOMPARE(store.count(), 1);
        QCOMPARE(error, qt_error_string(EFBIG));
        QString notice;
        QCOMPARE(store.appendQso(path, rec("K2ABC", "CT"), nullptr, true, &notice), LogStore::AppendResult::Ok);
        QVERIFY(notice.isEmpty());
        LogStore again;
        QCOMPARE(again.load(path), LogStore::LoadResult::Ok);
        QCOMPARE(again.count(), 2);
    }

    // The file is not the one the store holds: every contact in memory must reach the disk
    // again, and what was found there is kept.
    void appendToAFileChangedOutside_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("keptAside");
        QTest::newRow("deleted") << "delete" << false;
        QTest::newRow("replaced") << "replace" << true;
        QTest::newRow("cut short") << "truncate" << true;
    }
    void appendToAFileChangedOutside()
    {
        QFETCH(QString, change);
        QFETCH(bool, keptAside);
        TestEnv env;
        const QString path = env.file("log.txt");
        QByteArray bytes;
        for (int i = 0; i < 50; ++i)
            bytes += LogStore::formatLine(rec(QString("K%1AA").arg(i), "CT"));
        env.write("log.txt", bytes);
        LogStore store;
        QCOMPARE(store.load(path), LogStore::LoadResult::Ok);
        if (change == "delete") {
            QVERIFY(QFile::remove(path));
        } else if (change == "replace") {
            QVERIFY(QFile::remove(path));
            env.write("log.txt", LogStore::formatLine(rec("OTHER", "CT")));
        } else {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.resize(bytes.size() / 2));
        }
        QString notice;
        QCOMPARE(store.appendQso(path, rec("K1NEW", "CT"), nullptr, true, &notice), LogStore::AppendResult::Ok);
        QVERIFY(notice.contains("written again from the 50 contacts"));
        QCOMPARE(notice.contains("log.txt.replaced"), keptAside);
        QCOMPARE(QFileInfo::exists(path + ".replaced"), keptAside);
        QCOMPARE(store.appendQso(path, rec("K2NEW", "CT"), nullptr, true, &notice), LogStore::AppendResult::Ok);
        LogStore again;
        QCOMPARE(again.load(path), LogStore::LoadResult::Ok);
        QCOMPARE(again.count(), 52);
        QCOMPARE(again.records(), store.records());
    }

    void appendRefusesAFolderInPlaceOfTheLog()
    {
        TestEnv env;
        const QString path = env.file("log.txt");
        LogStore store;
        QCOMPARE(store.appendQso(path, rec("W1AW", "CT")), LogStore::AppendResult::Ok);
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkdir(path));
        QString error;
        QCOMPARE(store.appendQso(path, rec("K1A", "CT"), &error), LogStore::AppendResult::WriteFailed);
        QVERIFY(error.contains("not a file"));
        QCOMPARE(store.count(), 1);
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
        // Whatever a load accepts is written back in a form the next load accepts again.
        int accepted = 0;
        for (const char *huge : {"1e30", "-1e30", "9.9999999e29", "3e38", "5e29", "-123456789e21"}) {
            QByteArray edited = env.read("tntnprf.txt");
            edited.replace("\r\n-77.125\r\n", QByteArray("\r\n") + huge + "\r\n");
            env.write("edited.txt", edited);
            Preferences r;
            if (!r.load(env.file("edited.txt")))
                continue;
            ++accepted;
            QVERIFY(r.save(env.file("again.txt")));
            Preferences again;
            QVERIFY2(again.load(env.file("again.txt")), huge);
            QCOMPARE(again.ownLongitude, r.ownLongitude);
        }
        QCOMPARE(accepted, 2);
    }

    // A short or partly damaged file keeps what it holds; only the rest takes the defaults.
    void preferencesKeepEveryValueRead_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<QByteArray>("damage");
        QTest::newRow("first 13 lines") << 13 << QByteArray();
        QTest::newRow("first 3 lines") << 3 << QByteArray();
        QTest::newRow("colour out of range") << 14 << QByteArray("1e300");
    }
    void preferencesKeepEveryValueRead()
    {
        QFETCH(int, lines);
        QFETCH(QByteArray, damage);
        TestEnv env;
        FakeClock clock;
        clock.set(QDateTime(QDate(2026, 12, 5), QTime(10, 0)), 3.5);
        Preferences full = Preferences::defaults(clock);
        full.ownCall = "K1XYZ";
        full.ownState = "CT";
        full.utcOffset = 5;
        full.ownMemberNumber = "1234";
        full.ownCountry = "United States";
        full.formSizePercent = 80;
        full.workedColour = 777;
        full.notWorkedColour = 888;
        full.currentMode = "PH";
        full.ownFirstName = "ANN";
        full.voiceNavigationLevel = 2;
        full.taskbarOption = 1;
        QVERIFY(full.save(env.file("full.txt")));
        QList<QByteArray> fileLines = env.read("full.txt").split('\n');
        if (!damage.isEmpty())
            fileLines[8] = damage + "\r";  // the not-worked colour
        env.write("tntnprf.txt", fileLines.mid(0, lines).join('\n') + "\n");

        Preferences q = Preferences::defaults(clock);
        QString error;
        QVERIFY(!q.load(env.file("tntnprf.txt"), &error));
        QVERIFY(!error.isEmpty());
        const Preferences defaults = Preferences::defaults(clock);
        QCOMPARE(q.ownCall, full.ownCall);
        QCOMPARE(q.ownState, full.ownState);
        QCOMPARE(q.utcOffset, full.utcOffset);
        QCOMPARE(q.ownFirstName, lines >= 12 ? full.ownFirstName : defaults.ownFirstName);
        QCOMPARE(q.notWorkedColour, damage.isEmpty() && lines >= 9 ? full.notWorkedColour : defaults.notWorkedColour);
        QCOMPARE(q.workedColour, lines >= 10 ? full.workedColour : defaults.workedColour);
        QCOMPARE(q.voiceNavigationLevel, lines >= 13 ? full.voiceNavigationLevel : defaults.voiceNavigationLevel);
        QCOMPARE(q.taskbarOption, lines >= 14 ? full.taskbarOption : defaults.taskbarOption);

        const QString copy = Preferences::keepDamagedCopy(env.file("tntnprf.txt"));
        QCOMPARE(copy, env.file("tntnprf.txt.damaged"));
        QCOMPARE(env.read("tntnprf.txt.damaged"), env.read("tntnprf.txt"));
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
