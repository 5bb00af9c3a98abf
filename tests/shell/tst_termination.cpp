// The real program, started as a desktop would start it, with rigctld started from its options:
// SIGTERM or SIGHUP ends it as closing its window does, and rigctld goes with it; killed
// outright, it still takes rigctld with it.
#include "fakes.h"
#include "rigctldpeer.h"
#include "core/preferences.h"

#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QTcpSocket>
#include <QTest>

#include <csignal>

namespace {
// The process whose command line holds `needle`, or 0.
qint64 findProcess(const QByteArray &program, const QByteArray &needle)
{
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &pid : pids) {
        QFile f(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QByteArray cmd = f.readAll();
        if (cmd.contains(program) && cmd.contains(needle))
            return pid.toLongLong();
    }
    return 0;
}

bool listening(quint16 port)
{
    QTcpSocket s;
    s.connectToHost(QStringLiteral("127.0.0.1"), port);
    return s.waitForConnected(200);
}
}  // namespace

class TestTermination : public QObject {
    Q_OBJECT

    struct Run {
        TestEnv env;
        quint16 port = RigctldPeer().port();
        QProcess program;

        bool start()
        {
            Preferences p;
            p.ownCall = QStringLiteral("K1XYZ");
            p.ownState = QStringLiteral("CT");
            p.utcOffset = 0;
            p.ownMemberNumber = QStringLiteral("1234");
            p.ownCountry = QStringLiteral("USA");
            p.ownFirstName = QStringLiteral("ANN");
            p.save(env.file(QStringLiteral("tntnprf.txt")));
            {
                QSettings s(env.file(QStringLiteral(".config/Korvex_Software/Vardel.conf")), QSettings::IniFormat);
                s.beginGroup(QStringLiteral("Settings"));
                s.setValue(QStringLiteral("RigControl"), QStringLiteral("127.0.0.1:%1").arg(port));
                s.setValue(QStringLiteral("RigctldStart"), QStringLiteral("1 1"));
                s.setValue(QStringLiteral("CheckPartial"), QStringLiteral("0"));
                s.setValue(QStringLiteral("CallHistory"), QStringLiteral("0"));
            }
            QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
            e.insert(QStringLiteral("HOME"), env.path());
            e.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));
            e.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
            e.insert(QStringLiteral("XDG_CONFIG_HOME"), env.file(QStringLiteral(".config")));
            program.setProcessEnvironment(e);
            program.setWorkingDirectory(env.path());
            program.setProcessChannelMode(QProcess::MergedChannels);
            program.start(qEnvironmentVariable("VARDEL_TEST_PROGRAM"), {QStringLiteral("--folder"), env.path()});
            return program.waitForStarted(5000);
        }
        qint64 rigctld() const { return findProcess("rigctld", QByteArray::number(port)); }
    };

private slots:
    void initTestCase()
    {
        if (!RigctldPeer::available())
            QSKIP(RigctldPeer::missing());
        if (qEnvironmentVariable("VARDEL_TEST_PROGRAM").isEmpty())
            QSKIP("VARDEL_TEST_PROGRAM names no program (ctest sets it)");
    }

    void signalEndsItAsItsWindowDoes_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGHUP") << SIGHUP;
    }
    void signalEndsItAsItsWindowDoes()
    {
        QFETCH(int, signal);
        Run r;
        QVERIFY(r.start());
        QTRY_VERIFY_WITH_TIMEOUT(listening(r.port), 20000);
        const qint64 helper = r.rigctld();
        QVERIFY(helper > 0);
        ::kill(pid_t(r.program.processId()), signal);
        QVERIFY2(r.program.waitForFinished(10000), r.program.readAll().constData());
        QCOMPARE(r.program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(r.program.exitCode(), 0);
        QTRY_VERIFY(!QFile::exists(QStringLiteral("/proc/%1/cmdline").arg(helper)));
        // The folder is free for the next start.
        QVERIFY(!listening(r.port));
    }

    void killedOutrightItStillTakesRigctld()
    {
        Run r;
        QVERIFY(r.start());
        QTRY_VERIFY_WITH_TIMEOUT(listening(r.port), 20000);
        const qint64 helper = r.rigctld();
        QVERIFY(helper > 0);
        r.program.kill();
        QVERIFY(r.program.waitForFinished(5000));
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(QStringLiteral("/proc/%1/cmdline").arg(helper)), 5000);
    }
};

QTEST_MAIN(TestTermination)
#include "tst_termination.moc"
