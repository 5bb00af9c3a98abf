// The program as a desktop or a terminal starts it: --help and --version answer without a
// window, and a start in the home folder keeps the contest files out of it.
#include "core/appfolders.h"
#include "fakes.h"

#include <QDir>
#include <QProcess>
#include <QTest>

#include <csignal>

class TestCommandLine : public QObject {
    Q_OBJECT

    static QString program() { return qEnvironmentVariable("VARDEL_TEST_PROGRAM"); }

private slots:
    void initTestCase()
    {
        if (program().isEmpty())
            QSKIP("VARDEL_TEST_PROGRAM names no program (ctest sets it)");
    }

    void answersWithoutAWindow_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("firstLine");
        QTest::newRow("--help") << QStringList{"--help"} << "Usage: vardel [--folder DIR] [Qt options]";
        QTest::newRow("-h") << QStringList{"-h"} << "Usage: vardel [--folder DIR] [Qt options]";
        QTest::newRow("--version") << QStringList{"--version"} << "vardel " VARDEL_TEST_VERSION;
        QTest::newRow("export --help") << QStringList{"export", "--help"} << "Usage: vardel export [options] kind";
    }
    void answersWithoutAWindow()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, firstLine);
        QProcess p;
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.remove(QStringLiteral("QT_QPA_PLATFORM"));  // no display at all: a window would fail
        e.remove(QStringLiteral("DISPLAY"));
        e.remove(QStringLiteral("WAYLAND_DISPLAY"));
        p.setProcessEnvironment(e);
        p.start(program(), args);
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(QString::fromLocal8Bit(p.readAllStandardOutput()).section(u'\n', 0, 0), firstLine);
    }

    void contestFolderRule_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("documents");
        QTest::addColumn<QString>("expected");
        QTest::newRow("a folder of its own") << "contest" << "Documents" << "contest";
        QTest::newRow("the home folder") << "." << "Documents" << "Documents/Vardel/contest";
        QTest::newRow("home, documents not set") << "." << "" << "Documents/Vardel/contest";
        QTest::newRow("home, documents are home") << "." << "." << "Documents/Vardel/contest";
        QTest::newRow("home under another spelling") << "contest/.." << "Docs" << "Docs/Vardel/contest";
    }
    void contestFolderRule()
    {
        QFETCH(QString, start);
        QFETCH(QString, documents);
        QFETCH(QString, expected);
        TestEnv env;
        QVERIFY(QDir(env.path()).mkpath("contest"));
        const QString home = env.path();
        auto in = [&](const QString &p) { return p.isEmpty() ? p : QDir::cleanPath(QDir(home).filePath(p)); };
        QCOMPARE(QDir::cleanPath(contestFolderFor(QDir(home).filePath(start), home, in(documents))),
                 in(expected));
    }

    // Started in the home folder, as a desktop launcher starts it: the files go into the contest
    // folder under the documents folder, and the home folder gets none of them.
    void desktopStartUsesTheDocumentsFolder()
    {
        TestEnv env;
        QProcess p;
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert(QStringLiteral("HOME"), env.path());
        e.insert(QStringLiteral("XDG_CONFIG_HOME"), env.file(QStringLiteral(".config")));
        e.insert(QStringLiteral("XDG_DOCUMENTS_DIR"), env.file(QStringLiteral("Documents")));
        e.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(e);
        p.setWorkingDirectory(env.path());
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(program(), {});
        QVERIFY(p.waitForStarted(5000));
        const QString contest = env.file(QStringLiteral("Documents/Vardel/contest"));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QDir(contest).filePath("vardel.lock")), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QDir(contest).filePath("BandPlan.txt")), 20000);
        ::kill(pid_t(p.processId()), SIGTERM);
        if (!p.waitForFinished(10000))
            p.kill();
        for (const char *name : {"log.txt", "tntnprf.txt", "BandPlan.txt", "readten.txt", "vardel.lock"})
            QVERIFY2(!QFile::exists(env.file(QString::fromLatin1(name))), name);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
