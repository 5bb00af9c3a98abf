#include "fakes.h"
#include "ui/sharedpreferences.h"
#include "ui/userfolders.h"

#include <QDir>
#include <QFileInfo>
#include <QtTest>

class TestUserFolders : public QObject {
    Q_OBJECT
private slots:
    void freshHomeGetsDocumentsFolder();
    void documentsFolderFound_data();
    void documentsFolderFound();
    void unusableDocumentsFallsBackToDataFolder();
    void makerFolderThatCannotBeMadeIsReported();
    void startUpLoadsExistingSharedFile();
    void ensureFolder_data();
    void ensureFolder();
};

void TestUserFolders::freshHomeGetsDocumentsFolder()
{
    TestEnv env;
    FakeDialogs dialogs;
    SharedPreferences shared;
    const AppFolders folders = setUpUserFolders(dialogs, shared);

    QVERIFY2(dialogs.shown.isEmpty(), qPrintable(dialogs.titles().join(", ")));
    QCOMPARE(folders.workingDir, QDir::currentPath());
    QCOMPARE(folders.makerFolder, env.file("Documents/Korvex Software"));
    QCOMPARE(folders.productDataFolder, env.file("Documents/Korvex Software/Vardel"));
    QCOMPARE(folders.sharedFolder, env.file("Documents/Korvex Software/Shared"));
    QVERIFY(QFileInfo(folders.productDataFolder).isDir());
    QVERIFY(QFileInfo(folders.sharedFolder).isDir());
    QVERIFY(QFileInfo(folders.backupFolder()).isDir());
    QCOMPARE(QFileInfo(folders.backupFolder()).fileName(), QStringLiteral("BACKUP"));
    // Nothing loose in HOME or in the data folder.
    QVERIFY(!QFileInfo::exists(env.file("Korvex Software")));
    QVERIFY(!QFileInfo::exists(env.file(".local/share/Korvex Software")));
    // The shared document waits in memory; nothing is written until something is set.
    QCOMPARE(shared.path(), env.file("Documents/Korvex Software/Shared/SharedUserPreferences.xml"));
    QCOMPARE(shared.document(), SharedPreferences::declaration());
    QVERIFY(!QFileInfo::exists(shared.path()));
}

void TestUserFolders::documentsFolderFound_data()
{
    QTest::addColumn<QString>("existing");     // folder made before start, relative to HOME
    QTest::addColumn<QByteArray>("userDirs");  // XDG user-dirs configuration, if any
    QTest::addColumn<QString>("expected");     // maker folder, relative to HOME
    QTest::addColumn<QString>("absent");       // a folder that must not have been made

    QTest::newRow("existing folder spelt in lower case")
        << "documents" << QByteArray() << "documents/Korvex Software" << "Documents";
    QTest::newRow("configured documents folder")
        << "Papers" << QByteArray("XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n")
        << "Papers/Korvex Software" << "Documents";
    QTest::newRow("existing maker folder in other case is reused")
        << "Documents/korvex software" << QByteArray() << "Documents/korvex software"
        << "Documents/Korvex Software";
}

void TestUserFolders::documentsFolderFound()
{
    QFETCH(QString, existing);
    QFETCH(QByteArray, userDirs);
    QFETCH(QString, expected);
    QFETCH(QString, absent);
    TestEnv env;
    QVERIFY(QDir().mkpath(env.file(existing)));
    if (!userDirs.isEmpty())
        env.write(".config/user-dirs.dirs", userDirs);
    FakeDialogs dialogs;
    SharedPreferences shared;
    const AppFolders folders = setUpUserFolders(dialogs, shared);
    QVERIFY(dialogs.shown.isEmpty());
    QCOMPARE(folders.makerFolder, env.file(expected));
    QVERIFY(QFileInfo(folders.sharedFolder).isDir());
    QVERIFY(QFileInfo(folders.backupFolder()).isDir());
    QVERIFY(!QFileInfo::exists(env.file(absent)));
}

void TestUserFolders::unusableDocumentsFallsBackToDataFolder()
{
    TestEnv env;
    env.write("Documents", "not a folder");  // a file where the documents folder should be
    FakeDialogs dialogs;
    SharedPreferences shared;
    const AppFolders folders = setUpUserFolders(dialogs, shared);
    QVERIFY(dialogs.shown.isEmpty());  // the documents folder is tried quietly
    QCOMPARE(folders.makerFolder, env.file(".local/share/Korvex Software"));
    QVERIFY(QFileInfo(folders.productDataFolder).isDir());
    QVERIFY(QFileInfo(folders.backupFolder()).isDir());
    // The folders beside HOME are made too, as on every fallback.
    QVERIFY(QFileInfo(env.file("Korvex Software/Shared")).isDir());
}

void TestUserFolders::makerFolderThatCannotBeMadeIsReported()
{
    TestEnv env;
    QVERIFY(QDir().mkpath(env.file("Documents")));
    env.write("Documents/Korvex Software", "a file in the way");
    FakeDialogs dialogs;
    UserFolders user(dialogs);
    const QString maker = user.resolveMakerFolder(QStringLiteral("Korvex Software"),
                                                  QStringLiteral("Vardel"));
    QCOMPARE(dialogs.titles(), QStringList{QStringLiteral("Unable to create directory.")});
    QCOMPARE(dialogs.shown.first().text,
             QStringLiteral("File exists  ") + env.file("Documents/Korvex Software"));
    // Reported, then the search went on rather than hand back a folder that is not there.
    QCOMPARE(maker, env.file(".local/share/Korvex Software"));
    QVERIFY(QFileInfo(maker + "/Vardel").isDir());
}

void TestUserFolders::startUpLoadsExistingSharedFile()
{
    TestEnv env;
    const QByteArray text = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n<OWN_CALL>W1AW</OWN_CALL>\r\n";
    env.write("Documents/Korvex Software/Shared/SharedUserPreferences.xml", text);
    FakeDialogs dialogs;
    SharedPreferences shared;
    setUpUserFolders(dialogs, shared);
    QCOMPARE(shared.document(), QString::fromLatin1(text.chopped(2)));
}

void TestUserFolders::ensureFolder_data()
{
    QTest::addColumn<QString>("path");   // relative to HOME; "" for an empty path
    QTest::addColumn<bool>("report");
    QTest::addColumn<QString>("result"); // relative to HOME; "" for failure
    QTest::addColumn<QString>("title");  // message shown, if any
    QTest::addColumn<QString>("text");

    QTest::newRow("empty path") << "" << true << "" << "Unable to Create Directory" << "Invalid Path";
    QTest::newRow("new folder") << "New" << true << "New" << "" << "";
    QTest::newRow("exists in other case") << "made/SUB" << true << "made/sub" << "" << "";
    QTest::newRow("parent missing, reported")
        << "missing/child" << true << "" << "Unable to create directory."
        << "No such file or directory  %1/missing/child";
    QTest::newRow("parent missing, silent") << "missing/child" << false << "" << "" << "";
}

void TestUserFolders::ensureFolder()
{
    QFETCH(QString, path);
    QFETCH(bool, report);
    QFETCH(QString, result);
    QFETCH(QString, title);
    QFETCH(QString, text);
    TestEnv env;
    QVERIFY(QDir().mkpath(env.file("made/sub")));
    FakeDialogs dialogs;
    UserFolders user(dialogs);
    const QString got = user.ensureFolder(path.isEmpty() ? QString() : env.file(path), report);
    QCOMPARE(got, result.isEmpty() ? QString() : env.file(result));
    if (!result.isEmpty())
        QVERIFY(QFileInfo(got).isDir());
    if (title.isEmpty()) {
        QVERIFY(dialogs.shown.isEmpty());
    } else {
        QCOMPARE(dialogs.titles(), QStringList{title});
        QCOMPARE(dialogs.shown.first().text, text.contains("%1") ? text.arg(env.path()) : text);
    }
}

QTEST_MAIN(TestUserFolders)
#include "tst_userfolders.moc"
