#include "fakes.h"
#include "core/folderlock.h"

#include <QFile>
#include <QTest>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

class TestFolderLock : public QObject {
    Q_OBJECT

private slots:
    void secondProgramIsToldWhoHoldsTheFolder()
    {
        TestEnv env;
        FolderLock first;
        QCOMPARE(first.acquire(env.path()), FolderLock::Result::Acquired);
        FolderLock second;
        QCOMPARE(second.acquire(env.path()), FolderLock::Result::HeldByOther);
        QVERIFY(second.holder().contains(QString::number(QCoreApplication::applicationPid())));
        QVERIFY(second.message(env.path()).contains(env.path()));
        QVERIFY(second.message(env.path()).contains(second.holder()));
    }

    // A lock left by a program that crashed, or from another folder, does not block a start.
    void staleOrReleasedLocksAreTakenOver_data()
    {
        QTest::addColumn<QByteArray>("lockFile");
        QTest::newRow("dead process") << QByteArray("2147483000\nvardel\n") + QSysInfo::machineHostName().toUtf8() + "\n";
        QTest::newRow("empty file") << QByteArray();
    }
    void staleOrReleasedLocksAreTakenOver()
    {
        QFETCH(QByteArray, lockFile);
        TestEnv env;
        env.write(FolderLock::kFileName, lockFile);
        FolderLock lock;
        QCOMPARE(lock.acquire(env.path()), FolderLock::Result::Acquired);
    }

    // Another user's dead program left the lock in a shared folder with the sticky bit, so this
    // account cannot remove it: the start says it is stale and whose, and may take it over.
    void anotherUsersStaleLockIsNamedAndCanBeTakenOver()
    {
        if (::geteuid() != 0)
            QSKIP("needs root, to leave a lock as one user and start as another (nobody)");
        TestEnv env;
        QVERIFY(::chmod(QFile::encodeName(env.path()).constData(), 01777) == 0);
        env.write(FolderLock::kFileName,
                  QByteArray("2147483000\nvardel\n") + QSysInfo::machineHostName().toUtf8() + "\n");
        int fds[2];
        QVERIFY(::pipe(fds) == 0);
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            ::close(fds[0]);
            QByteArray out;
            if (::setgid(65534) == 0 && ::setuid(65534) == 0) {
                FolderLock lock;
                const FolderLock::Result result = lock.acquire(env.path());
                out = QByteArray::number(int(result)) + '\x1e' + lock.message(env.path()).toUtf8() + '\x1e';
                out += lock.takeOver() ? "held" : "unlocked";
            }
            [[maybe_unused]] const ssize_t n = ::write(fds[1], out.constData(), size_t(out.size()));
            ::_exit(0);
        }
        ::close(fds[1]);
        QByteArray got;
        char buffer[4096];
        for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
            got.append(buffer, n);
        ::close(fds[0]);
        ::waitpid(child, nullptr, 0);
        const QList<QByteArray> lines = got.split('\x1e');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0].toInt(), int(FolderLock::Result::Stale));
        QVERIFY2(lines[1].contains("stale lock (vardel.lock) left by user root's vardel, process 2147483000, "
                                   "which no longer runs"), lines[1]);
        QVERIFY(lines[1].contains("Take the folder over"));
        QCOMPARE(lines[2], QByteArray("unlocked"));
        // Where this account may remove it, taking over takes the lock.
        FolderLock mine;
        QCOMPARE(mine.acquire(env.path()), FolderLock::Result::Acquired);
    }

    void releasedWhenTheProgramEnds()
    {
        TestEnv env;
        {
            FolderLock first;
            QCOMPARE(first.acquire(env.path()), FolderLock::Result::Acquired);
        }
        FolderLock again;
        QCOMPARE(again.acquire(env.path()), FolderLock::Result::Acquired);
        FolderLock elsewhere;
        QVERIFY(QDir(env.path()).mkdir("other"));
        QCOMPARE(elsewhere.acquire(env.file("other")), FolderLock::Result::Acquired);
    }
};

QTEST_GUILESS_MAIN(TestFolderLock)
#include "tst_folderlock.moc"
