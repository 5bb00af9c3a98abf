#include "fakes.h"
#include "core/folderlock.h"

#include <QTest>

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
