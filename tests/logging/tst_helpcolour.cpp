#include "fakes.h"
#include "mainwindowharness.h"
#include "logging/colourwindow.h"
#include "logging/helpwindow.h"
#include "core/preferences.h"
#include "ui/wincolour.h"

#include <QDir>
#include <QMenuBar>
#include <QRegularExpression>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

class TestHelpColour : public QObject {
    Q_OBJECT
private slots:
    void helpShowsTextAndSavesCopy();
    void helpWithoutTextFileIsEmpty();
    void helpSaveFailureIsReported();
    void helpCloseHides();
    void shippedHelpTextShows();
    void shippedHelpNamesOnlyMenusThatExist();

    void winColour_data();
    void winColour();
    void colourWindowCaptions();
    void colourButtonsStoreChoice_data();
    void colourButtonsStoreChoice();
    void colourCancelKeepsColour();
};

void TestHelpColour::helpShowsTextAndSavesCopy()
{
    TestEnv env;
    env.write("readten.txt", "Line one\r\nLine two \x96 dash\r\n");
    FakeDialogs dialogs;
    Form5 help(env.path(), dialogs);
    QCOMPARE(help.windowTitle(), QStringLiteral("Help Page"));
    auto *text = help.findChild<QPlainTextEdit *>("Text1");
    QVERIFY(text);
    QCOMPARE(text->toPlainText(), QString::fromUtf8("Line one\nLine two \u2013 dash\n"));

    // The operator adds a note of his own and keeps the copy.
    help.show();
    text->moveCursor(QTextCursor::End);
    QTest::keyClicks(text, "my note");
    QTest::keyClick(text, Qt::Key_Return);
    QTest::mouseClick(help.findChild<QPushButton *>("cmdSave"), Qt::LeftButton);
    QVERIFY(dialogs.shown.isEmpty());
    QCOMPARE(env.read("HelpTallis.txt"), QByteArray("Line one\r\nLine two \x96 dash\r\nmy note\r\n"));
    QCOMPARE(env.read("readten.txt"), QByteArray("Line one\r\nLine two \x96 dash\r\n"));
}

void TestHelpColour::helpWithoutTextFileIsEmpty()
{
    TestEnv env;
    FakeDialogs dialogs;
    Form5 help(env.path(), dialogs);
    QCOMPARE(help.findChild<QPlainTextEdit *>("Text1")->toPlainText(), QString());
    QVERIFY(dialogs.shown.isEmpty());
}

void TestHelpColour::helpSaveFailureIsReported()
{
    TestEnv env;
    QVERIFY(QDir().mkpath(env.file("HelpTallis.txt")));  // a folder in the way
    FakeDialogs dialogs;
    Form5 help(env.path(), dialogs);
    help.cmdSave_Click();
    QCOMPARE(dialogs.titles(), QStringList{QStringLiteral("Unable to save HelpTallis.txt")});
}

void TestHelpColour::helpCloseHides()
{
    TestEnv env;
    FakeDialogs dialogs;
    Form5 help(env.path(), dialogs);
    help.show();
    auto *close = help.findChild<QPushButton *>("cmdClose");
    QCOMPARE(close->text(), QStringLiteral("Close"));
    QTest::mouseClick(close, Qt::LeftButton);
    QVERIFY(!help.isVisible());
    QVERIFY(!QFileInfo::exists(env.file("HelpTallis.txt")));
}

void TestHelpColour::shippedHelpTextShows()
{
    const QString dataDir = qEnvironmentVariable("VARDEL_TEST_DATA_DIR", VARDEL_SOURCE_DATA_DIR);
    QFile shipped(QDir(dataDir).filePath("readten.txt"));
    QVERIFY(shipped.open(QIODevice::ReadOnly));
    const QByteArray bytes = shipped.readAll();
    // Plain ASCII with CR LF line ends, so it reads the same in any editor and code page.
    QVERIFY(bytes.endsWith("\r\n"));
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        QVERIFY2((c >= 32 && c < 127) || (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                     || (c == '\n' && i > 0 && bytes[i - 1] == '\r'),
                 qPrintable(QStringLiteral("byte %1 at %2").arg(int(c)).arg(i)));
    }
    TestEnv env;
    env.write("readten.txt", bytes);
    FakeDialogs dialogs;
    Form5 help(env.path(), dialogs);
    const QString text = help.findChild<QPlainTextEdit *>("Text1")->toPlainText();
    QVERIFY(text.startsWith("VARDEL"));
    QVERIFY(text.contains("File > Print or Write Files"));
}

namespace {
// "File > New", "Options > Appearance > Colors", ... for every menu entry and sub-menu.
void collectMenuPaths(const QList<QAction *> &actions, const QString &prefix, QStringList &paths)
{
    for (QAction *a : actions) {
        if (a->isSeparator())
            continue;
        QString caption = a->text().remove(u'&');
        if (caption.endsWith(QStringLiteral("...")))  // the ellipsis of an entry that asks first
            caption.chop(3);
        const QString path = prefix.isEmpty() ? caption : prefix + QStringLiteral(" > ") + caption;
        paths.append(path);
        if (a->menu())
            collectMenuPaths(a->menu()->actions(), path, paths);
    }
}
}  // namespace

void TestHelpColour::shippedHelpNamesOnlyMenusThatExist()
{
    const QString dataDir = qEnvironmentVariable("VARDEL_TEST_DATA_DIR", VARDEL_SOURCE_DATA_DIR);
    QFile shipped(QDir(dataDir).filePath("readten.txt"));
    QVERIFY(shipped.open(QIODevice::ReadOnly));
    const QByteArray bytes = shipped.readAll();

    MainWindowHarness h;
    h.writePreferences();
    h.env.write("readten.txt", bytes);
    Form1 &window = h.start();
    QStringList paths;
    collectMenuPaths(window.menuBar()->actions(), QString(), paths);

    // Every "A > B" the help text names must be a menu path of the program; a path wrapped over
    // two lines reads the same once the line ends are blanks.
    QString text = QString::fromLatin1(bytes);
    text.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
    std::sort(paths.begin(), paths.end(), [](const QString &a, const QString &b) { return a.size() > b.size(); });
    QList<bool> covered(text.size(), false);
    for (const QString &path : std::as_const(paths)) {
        for (qsizetype at = text.indexOf(path); at >= 0; at = text.indexOf(path, at + 1))
            for (qsizetype i = at; i < at + path.size(); ++i)
                covered[i] = true;
    }
    int mentioned = 0;
    for (qsizetype at = text.indexOf(QStringLiteral(" > ")); at >= 0; at = text.indexOf(QStringLiteral(" > "), at + 1)) {
        ++mentioned;
        QVERIFY2(covered[at + 1], qPrintable(QStringLiteral("no such menu: ...%1...").arg(text.mid(at - 30, 60))));
    }
    QVERIFY(mentioned >= 10);

    // The Help menu shows that text.
    QString shown;
    QTimer::singleShot(0, [&shown] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            if (auto *box = modal->findChild<QPlainTextEdit *>("Text1"))
                shown = box->toPlainText();
            modal->close();
        }
    });
    window.findChild<QAction *>("mnuHelp")->trigger();
    QCOMPARE(shown, QString::fromLatin1(bytes).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void TestHelpColour::winColour_data()
{
    QTest::addColumn<qint32>("value");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("red") << qint32(255) << QColor(255, 0, 0);
    QTest::newRow("dark green") << qint32(0x008000) << QColor(0, 128, 0);
    QTest::newRow("blue") << qint32(0xFF0000) << QColor(0, 0, 255);
    QTest::newRow("mixed") << qint32(1 + 2 * 256 + 3 * 65536) << QColor(1, 2, 3);
    QTest::newRow("white") << qint32(0xFFFFFF) << QColor(255, 255, 255);
}

void TestHelpColour::winColour()
{
    QFETCH(qint32, value);
    QFETCH(QColor, colour);
    QCOMPARE(wincolour::toQColor(value), colour);
    QCOMPARE(wincolour::fromQColor(colour), value);
}

void TestHelpColour::colourWindowCaptions()
{
    Preferences prefs;
    FakeDialogs dialogs;
    Form6 window(prefs, dialogs);
    QCOMPARE(window.windowTitle(), QStringLiteral(" Modify Multiplier Color Selections"));
    QCOMPARE(window.findChild<QPushButton *>("cmdWorked")->text(),
             QStringLiteral("Change \"Worked\" Color"));
    QCOMPARE(window.findChild<QPushButton *>("cmdRemaining")->text(),
             QStringLiteral("Change \"Remaining\" Color"));
    QCOMPARE(window.findChild<QLabel *>("lblHeading")->text(),
             QStringLiteral("Appearance of multiplier worked"));
    QCOMPARE(window.findChild<QPushButton *>("cmdDone")->text(), QStringLiteral("Done"));
    QCOMPARE(window.findChild<QLabel *>("lblWorked")->palette().color(QPalette::WindowText),
             wincolour::toQColor(prefs.workedColour));
    QCOMPARE(window.findChild<QLabel *>("lblRemaining")->palette().color(QPalette::WindowText),
             wincolour::toQColor(prefs.notWorkedColour));
}

void TestHelpColour::colourButtonsStoreChoice_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("preview");
    QTest::addColumn<bool>("worked");
    QTest::newRow("worked") << "cmdWorked" << "lblWorked" << true;
    QTest::newRow("remaining") << "cmdRemaining" << "lblRemaining" << false;
}

void TestHelpColour::colourButtonsStoreChoice()
{
    QFETCH(QString, button);
    QFETCH(QString, preview);
    QFETCH(bool, worked);
    TestEnv env;
    FakeClock clock;
    Preferences prefs = Preferences::defaults(clock);
    const Preferences before = prefs;
    FakeDialogs dialogs;
    dialogs.colourAnswers.enqueue(QColor(10, 20, 200));
    Form6 window(prefs, dialogs);
    window.show();
    QTest::mouseClick(window.findChild<QPushButton *>(button), Qt::LeftButton);

    // The dialog opened on the colour in use.
    const qint32 old = worked ? before.workedColour : before.notWorkedColour;
    QCOMPARE(dialogs.shown.first().extra, wincolour::toQColor(old).name());
    const qint32 chosen = 10 + 20 * 256 + 200 * 65536;
    QCOMPARE(worked ? prefs.workedColour : prefs.notWorkedColour, chosen);
    QCOMPARE(worked ? prefs.notWorkedColour : prefs.workedColour,
             worked ? before.notWorkedColour : before.workedColour);
    QCOMPARE(window.findChild<QLabel *>(preview)->palette().color(QPalette::WindowText),
             QColor(10, 20, 200));
    QVERIFY(window.changed());

    QTest::mouseClick(window.findChild<QPushButton *>("cmdDone"), Qt::LeftButton);
    QVERIFY(!window.isVisible());
    QCOMPARE(window.result(), int(QDialog::Accepted));

    // What the main window then saves reads back as the chosen colour.
    QVERIFY(prefs.save(env.file("tntnprf.txt")));
    Preferences reread;
    QVERIFY(reread.load(env.file("tntnprf.txt")));
    QCOMPARE(worked ? reread.workedColour : reread.notWorkedColour, chosen);
}

void TestHelpColour::colourCancelKeepsColour()
{
    Preferences prefs;
    const Preferences before = prefs;
    FakeDialogs dialogs;  // no answer queued: the colour dialog is cancelled
    Form6 window(prefs, dialogs);
    window.cmdWorked_Click();
    window.cmdRemaining_Click();
    QCOMPARE(prefs, before);
    QVERIFY(!window.changed());
    QCOMPARE(dialogs.shown.size(), 2);
}

QTEST_MAIN(TestHelpColour)
#include "tst_helpcolour.moc"
