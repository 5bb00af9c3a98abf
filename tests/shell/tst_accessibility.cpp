// What a screen reader gets: a name for every control of every window that takes the focus, read
// from the accessibility tree by an AT-SPI client as a screen reader reads it; the entry fields
// in tab order; one announcement for each alert however many keys redraw it; quiet clocks.
#include "mainwindowharness.h"
#include "ui/accessnames.h"
#include "ui/captionfit.h"

#include <QAccessible>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QTest>

namespace {
struct Heard {
    QAccessible::Event type;
    QString object;
    QString name;
};
QList<Heard> *g_heard = nullptr;

void record(QAccessibleEvent *event)
{
    if (!g_heard || !event->object())
        return;
    QAccessibleInterface *face = event->accessibleInterface();
    g_heard->append({event->type(), event->object()->objectName(), face ? face->text(QAccessible::Name) : QString()});
}

// The alerts announced: the live region's appearances with their text.
QStringList announced(const QList<Heard> &heard)
{
    QStringList out;
    for (const Heard &h : heard)
        if (h.type == QAccessible::Alert && h.object == u"liveRegion")
            out << h.name;
    return out;
}

int changesOf(const QList<Heard> &heard, const QString &object)
{
    int n = 0;
    for (const Heard &h : heard)
        if (h.object == object && (h.type == QAccessible::NameChanged || h.type == QAccessible::ValueChanged
                                   || h.type == QAccessible::DescriptionChanged))
            ++n;
    return n;
}
}  // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

    QList<Heard> heard;

private slots:
    // As the program starts: every window names its controls as it is first shown.
    void initTestCase() { captionfit::setUpApplication(*qApp); }

    void init()
    {
        heard.clear();
        g_heard = &heard;
        // Events reach assistive technology only while the desktop's accessibility is on.
        if (!QTest::qWaitFor([] { return QAccessible::isActive(); }, 5000)) {
            if (qEnvironmentVariableIsSet("VARDEL_NEED_ATSPI"))
                QFAIL("the AT-SPI bridge did not come on");
            QSKIP("accessibility is off: run under tests/support/with-atspi.sh (ctest does)");
        }
        QAccessible::installUpdateHandler(record);
    }
    void cleanup()
    {
        g_heard = nullptr;
        QAccessible::installUpdateHandler(nullptr);
    }

    void everyWindowIsNamedForAScreenReader_data()
    {
        QTest::addColumn<QString>("opener");
        for (const char *menu : {"main", "edit", "mnuSetup", "mnuWriteSumm", "mnuTallisImport", "mnuColors",
                                 "mnuPrivileges", "mnuGraph", "mnuHelp", "mnuCWsetup", "mnuCWStrings",
                                 "mnuCodePractice", "mnuPhoneSetup", "mnuBlind", "mnuDXSpotting",
                                 "mnuViewSpectrumMap", "mnuContestAdif", "mnuDigitalMessages"})
            QTest::newRow(menu) << QString::fromLatin1(menu);
    }
    void everyWindowIsNamedForAScreenReader()
    {
        QFETCH(QString, opener);
        const QString python = QStringLiteral("/usr/bin/python3");
        QProcess probe;
        probe.start(python, {"-c", "import pyatspi"});
        if (!probe.waitForFinished(10000) || probe.exitCode() != 0)
            QSKIP("python3-pyatspi is not installed (scripts/install-deps.sh --tests installs it)");
        MainWindowHarness h;
        h.writePreferences();
        h.writeLog({MainWindowHarness::rec("W1AW"), MainWindowHarness::rec("K5ABC")});
        Form1 &form = h.start();
        const QSet<QWidget *> before = [] {
            QSet<QWidget *> out;
            for (QWidget *w : QApplication::topLevelWidgets())
                if (w->isVisible())
                    out.insert(w);
            return out;
        }();

        // Once the window shows, the reader walks the tree; then the window is closed.
        QProcess reader;
        QString said;
        bool done = false;
        QPointer<QWidget> opened;
        connect(&reader, &QProcess::finished, this, [&] {
            said = QString::fromUtf8(reader.readAllStandardOutput() + reader.readAllStandardError());
            done = true;
            if (opened && opened != &form)
                opened->close();
        });
        QTimer catcher;
        catcher.setInterval(50);
        connect(&catcher, &QTimer::timeout, this, [&] {
            QWidget *window = opener == u"main" ? &form : QApplication::activeModalWidget();
            if (!window)
                for (QWidget *w : QApplication::topLevelWidgets())
                    if (w->isVisible() && !before.contains(w) && !qobject_cast<QMenu *>(w))
                        window = w;
            if (!window || (window != &form && before.contains(window)))
                return;
            catcher.stop();
            opened = window;
            reader.start(python, {QStringLiteral(VARDEL_TEST_SUPPORT_DIR "/atspi-walk.py"),
                                  QString::number(QCoreApplication::applicationPid())});
        });
        catcher.start();
        if (opener == u"edit") {
            auto *list = h.find<QTreeWidget>("ListView1");
            list->setCurrentItem(list->topLevelItem(0));
            h.find<QPushButton>("cmdEdit")->click();
        } else if (opener != u"main") {
            QAction *action = form.findChild<QAction *>(opener);
            QVERIFY2(action, qPrintable(opener));
            action->trigger();
        }
        QTRY_VERIFY_WITH_TIMEOUT(done, 60000);
        if (opened && opened != &form)
            opened->hide();
        QVERIFY2(said.contains("CHECKED "), qPrintable(said));
        QVERIFY2(!said.contains("UNNAMED"), qPrintable(said));
        const int checked = said.section("CHECKED ", 1).trimmed().toInt();
        QVERIFY2(checked > 0, qPrintable(said));
        qInfo("%s: %d focusable controls read, every one named", qPrintable(opener), checked);
    }

    void entryFieldsAreNamedInTabOrder()
    {
        MainWindowHarness h;
        h.writePreferences();
        h.start();
        const QStringList expected{"Call", "Name", "State or country", "10-10 number"};
        QLineEdit *f = h.field("txtCall");
        f->setFocus();
        QStringList got;
        for (int i = 0; i < 4; ++i) {
            QWidget *w = QApplication::focusWidget();
            got << (w ? accessnames::nameOf(w) : QString());
            QTest::keyClick(w, Qt::Key_Tab);
        }
        QCOMPARE(got, expected);
    }

    void aDupeIsAnnouncedOnce()
    {
        MainWindowHarness h;
        h.writePreferences();
        h.writeLog({MainWindowHarness::rec("W1AW")});
        h.start();
        heard.clear();
        h.type("txtCall", "W1AW");
        // The status line was redrawn at every key; the reader heard the warning once, and the
        // calls once typing paused.
        QCOMPARE(announced(heard), QStringList{"Possible Duplicate!"});
        QTRY_COMPARE(announced(heard), (QStringList{"Possible Duplicate!", "Possible duplicates: W1AW"}));
        QCOMPARE(changesOf(heard, "lblDialog"), 0);
        QCOMPARE(changesOf(heard, "lblDupe"), 0);
        // Orca speaks a notification as it shows; an alert message it only reads when asked.
        auto *region = h.find<QLabel>("liveRegion");
        QCOMPARE(QAccessible::queryAccessibleInterface(region)->role(), QAccessible::Notification);

        // Enter on the dupe: the refusal is one announcement more.
        heard.clear();
        h.key(Qt::Key_Return);
        QCOMPARE(announced(heard).size(), 1);
        QVERIFY(!announced(heard).first().isEmpty());
    }

    void clocksKeepQuietYetReadWhenAsked()
    {
        MainWindowHarness h;
        h.writePreferences();
        Form1 &form = h.start();
        heard.clear();
        for (int second = 0; second < 5; ++second) {
            h.clock.advance(1);
            form.Timer2_Timer();
        }
        QCOMPARE(changesOf(heard, "lblutctime"), 0);
        QCOMPARE(changesOf(heard, "lblCurTime"), 0);
        auto *utc = h.find<QLabel>("lblutctime");
        QCOMPARE(accessnames::nameOf(utc), "UTC " + utc->text());
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
