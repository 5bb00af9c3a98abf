// What a screen reader gets from the main window: names for the entry fields, one
// announcement for each alert however many keys redraw it, and clocks that keep quiet.
#include "mainwindowharness.h"
#include "ui/accessnames.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
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
