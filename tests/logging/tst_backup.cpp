#include "fakes.h"
#include "core/appfolders.h"
#include "logging/backup.h"
#include "core/logstore.h"

#include <QDir>
#include <QTest>

class TestBackup : public QObject {
    Q_OBJECT

    struct Rig {
        TestEnv env;
        AppFolders folders;
        LogStore store;
        FakeClock clock;
        FakeDialogs dialogs;
        explicit Rig(int records, const QString &logName = "log.txt")
        {
            folders.workingDir = env.path();
            folders.makerFolder = env.file("Documents/Korvex Software");
            folders.productDataFolder = folders.makerFolder + "/Vardel";
            folders.sharedFolder = folders.makerFolder + "/Shared";
            env.write(logName, lines(records, "K"));
            store.load(env.file(logName));
            clock.set(QDateTime(QDate(2026, 12, 5), QTime(21, 7, 42)), 5);
        }
        static QByteArray lines(int n, const QString &prefix)
        {
            QByteArray bytes;
            for (int i = 1; i <= n; ++i)
                bytes += LogStore::formatLine({prefix + QString::number(i) + "AB", "BOB", "CT", "None",
                                               "1", "2026/12/05", "14:00:00", "CW"});
            return bytes;
        }
        QString backupDir() const { return folders.backupFolder(); }
        QStringList backups() const { return QDir(backupDir()).entryList(QDir::Files); }
        void log(int n)
        {
            for (int i = 0; i < n; ++i)
                store.appendQso(folders.workFile("log.txt"),
                                {"N" + QString::number(i) + "XX", "AL", "NY", "12", "2", "2026/12/06",
                                 "01:00:00", "PH"});
        }
    };

private slots:
    void names_data()
    {
        QTest::addColumn<QString>("ownCall");
        QTest::addColumn<QString>("archive");
        QTest::newRow("plain") << "K1ABC" << "K1ABC2026-12-05.log";
        QTest::newRow("portable suffix") << "K1ABC/P" << "K1ABC2026-12-05.log";
        QTest::newRow("prefix before slash") << "VE3/K1ABC" << "VE32026-12-05.log";
        QTest::newRow("empty") << "" << "YourCall2026-12-05.log";
        QTest::newRow("lower case") << "k1abc" << "YourCall2026-12-05.log";
    }
    void names()
    {
        QFETCH(QString, ownCall);
        QFETCH(QString, archive);
        AppFolders folders;
        folders.productDataFolder = "/docs/Korvex Software/Vardel";
        QCOMPARE(backup::proposedArchivePath(folders, ownCall, QDate(2026, 12, 5)),
                 "/docs/Korvex Software/Vardel/BACKUP/" + archive);
        QCOMPARE(backup::backupFileName(QDateTime(QDate(2026, 1, 2), QTime(3, 4, 59))),
                 QString("202601020304.log"));
    }

    void backupOnlyWhenTheCountChanged_data()
    {
        QTest::addColumn<int>("atStart");
        QTest::addColumn<int>("logged");
        QTest::addColumn<int>("deleted");
        QTest::addColumn<bool>("backedUp");
        QTest::newRow("nothing logged") << 10 << 0 << 0 << false;
        QTest::newRow("one logged") << 10 << 1 << 0 << true;
        QTest::newRow("one deleted") << 10 << 0 << 1 << true;
        QTest::newRow("empty start, two logged") << 0 << 2 << 0 << true;
        QTest::newRow("everything deleted") << 3 << 0 << 3 << false;
        QTest::newRow("one logged, one deleted") << 10 << 1 << 1 << false;
    }
    void backupOnlyWhenTheCountChanged()
    {
        QFETCH(int, atStart);
        QFETCH(int, logged);
        QFETCH(int, deleted);
        QFETCH(bool, backedUp);
        Rig rig(atStart);
        rig.log(logged);
        for (int i = 0; i < deleted; ++i)
            rig.store.removeRecord(1);
        rig.store.rewriteLogFile(rig.folders.workFile("log.txt"));

        const QString written = backup::backupLog(rig.store, rig.folders, rig.clock);
        QCOMPARE(!written.isEmpty(), backedUp);
        QCOMPARE(rig.backups(), backedUp ? QStringList{"202612052107.log"} : QStringList());
        if (backedUp)
            QCOMPARE(rig.env.read(written.mid(rig.env.path().size() + 1)), rig.env.read("log.txt"));
    }

    // Two backups of one minute both stay (File > New, a contact and a close in one minute
    // would otherwise leave the erased contacts nowhere): the first keeps the plain name.
    void backupReadsLogInAnyCaseAndKeepsBothWithinAMinute()
    {
        Rig rig(4, "Log.txt");
        rig.log(1);
        QVERIFY(!QFileInfo::exists(rig.backupDir()));
        const QString first = backup::backupLog(rig.store, rig.folders, rig.clock);
        QVERIFY(!first.isEmpty());
        rig.log(1);
        rig.clock.advance(15);
        const QString again = backup::backupLog(rig.store, rig.folders, rig.clock);
        QCOMPARE(rig.backups(), (QStringList{"202612052107-2.log", "202612052107.log"}));
        QFile f(again);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll().count("\r\n"), 6);
        QFile g(first);
        QVERIFY(g.open(QIODevice::ReadOnly));
        QCOMPARE(g.readAll().count("\r\n"), 5);
        QVERIFY(!QFileInfo::exists(rig.env.file("log.txt")));  // only ever read
    }

    void backupIsSilentOnFailure()
    {
        Rig rig(2);
        rig.log(1);
        rig.env.write("Documents/Korvex Software/Vardel", "a file where the folder should be");
        QVERIFY(backup::backupLog(rig.store, rig.folders, rig.clock).isEmpty());
        QVERIFY(rig.dialogs.shown.isEmpty());
        QCOMPARE(rig.store.count(), 3);
    }

    void archive()
    {
        Rig rig(3);
        const QString target = rig.env.file("mine.log");
        rig.dialogs.fileAnswers.enqueue(target);
        QVERIFY(backup::archiveCurrentLog(nullptr, rig.folders, "K1ABC/M", rig.clock, rig.dialogs));
        QCOMPARE(rig.dialogs.titles(), (QStringList{"Archive Information", "Archive Current Log"}));
        QVERIFY(rig.dialogs.shown[0].text.startsWith("This function is used to create a permanent copy"));
        QCOMPARE(rig.dialogs.shown[1].extra, rig.backupDir() + "/K1ABC2026-12-05.log");
        QCOMPARE(rig.dialogs.shown[1].text, QString("Log Files (*.log)"));
        QCOMPARE(rig.env.read("mine.log"), rig.env.read("log.txt"));

        // Overwriting an archive is the dialog's question; the copy replaces it.
        rig.log(1);
        rig.dialogs.fileAnswers.enqueue(target);
        QVERIFY(backup::archiveCurrentLog(nullptr, rig.folders, "K1ABC", rig.clock, rig.dialogs));
        QCOMPARE(rig.env.read("mine.log"), rig.env.read("log.txt"));
    }

    void archiveCancelAndFailure()
    {
        Rig rig(3);
        QVERIFY(!backup::archiveCurrentLog(nullptr, rig.folders, "K1ABC", rig.clock, rig.dialogs));
        QCOMPARE(rig.dialogs.titles(), (QStringList{"Archive Information", "Archive Current Log"}));

        rig.dialogs.shown.clear();
        rig.dialogs.fileAnswers.enqueue(rig.env.file("no/such/folder/x.log"));
        QVERIFY(!backup::archiveCurrentLog(nullptr, rig.folders, "K1ABC", rig.clock, rig.dialogs));
        QCOMPARE(rig.dialogs.titles().last(), QString("Error Archiving Log"));
        QVERIFY(!rig.dialogs.shown.last().text.isEmpty());
    }

    void restore_data()
    {
        QTest::addColumn<int>("records");
        QTest::addColumn<QList<Dialogs::Answer>>("answers");
        QTest::addColumn<QByteArray>("chosenFile");  // empty: the dialog is cancelled
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<bool>("replaced");
        const QByteArray archive = Rig::lines(7, "W");
        const QStringList asked{"Opening Archived Data Information", "Are your sure?",
                                "Restore from Archive or Backup"};
        const QStringList notAsked{"Opening Archived Data Information", "Restore from Archive or Backup"};
        using A = Dialogs::Answer;
        QTest::newRow("confirmed") << 3 << QList<A>{A::Ok, A::Yes} << archive << asked << true;
        QTest::newRow("empty log not asked") << 0 << QList<A>{} << archive << notAsked << true;
        QTest::newRow("answered No") << 3 << QList<A>{A::Ok, A::No} << archive
                                     << QStringList{"Opening Archived Data Information", "Are your sure?"}
                                     << false;
        QTest::newRow("cancelled") << 3 << QList<A>{A::Ok, A::Yes} << QByteArray() << asked << false;
        QTest::newRow("stray quote") << 3 << QList<A>{A::Ok, A::Yes}
                                     << QByteArray("\"K1A\"B\",\"X\",\"CT\",\"None\",\"1\",\"2026/12/05\",\"14:00\",\"CW\"\r\n")
                                     << (asked + QStringList{"Error Restoring Log"}) << false;
        QTest::newRow("points not a number") << 3 << QList<A>{A::Ok, A::Yes}
                                     << QByteArray("\"K1A\",\"X\",\"CT\",\"None\",\"one\",\"2026/12/05\",\"14:00\",\"CW\"\r\n")
                                     << (asked + QStringList{"Error Restoring Log"}) << false;
        QTest::newRow("short record") << 0 << QList<A>{}
                                      << QByteArray("\"K1A\",\"X\",\"CT\"\r\n")
                                      << (notAsked + QStringList{"Error Restoring Log"}) << false;
    }
    void restore()
    {
        QFETCH(int, records);
        QFETCH(QList<Dialogs::Answer>, answers);
        QFETCH(QByteArray, chosenFile);
        QFETCH(QStringList, titles);
        QFETCH(bool, replaced);
        Rig rig(records);
        const QByteArray before = rig.env.read("log.txt");
        for (Dialogs::Answer a : answers)
            rig.dialogs.messageAnswers.enqueue(a);
        if (!chosenFile.isEmpty()) {
            rig.env.write("Documents/Korvex Software/Vardel/BACKUP/202612011200.log", chosenFile);
            rig.dialogs.fileAnswers.enqueue(rig.backupDir() + "/202612011200.log");
        }

        QCOMPARE(backup::restoreFromArchive(nullptr, rig.store, rig.folders, rig.dialogs), replaced);
        QCOMPARE(rig.dialogs.titles(), titles);
        QCOMPARE(rig.env.read("log.txt"), replaced ? chosenFile : before);
        if (titles.contains("Restore from Archive or Backup"))
            QCOMPARE(rig.dialogs.shown[titles.indexOf("Restore from Archive or Backup")].extra, rig.backupDir());
        if (replaced) {
            QVERIFY(rig.store.load(rig.folders.workFile("log.txt")) == LogStore::LoadResult::Ok);
            QCOMPARE(rig.store.count(), 7);
        }
    }

    void restoreOfAMissingFileLeavesTheLog()
    {
        Rig rig(2);
        rig.dialogs.fileAnswers.enqueue(rig.env.file("gone.log"));
        QVERIFY(!backup::restoreFromArchive(nullptr, rig.store, rig.folders, rig.dialogs));
        QCOMPARE(rig.dialogs.titles().last(), QString("Error Restoring Log"));
        QCOMPARE(rig.env.read("log.txt"), Rig::lines(2, "K"));
    }
};

QTEST_MAIN(TestBackup)
#include "tst_backup.moc"
