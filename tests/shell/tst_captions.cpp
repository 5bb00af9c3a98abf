// Every window the program opens shows its captions whole, lies on the screen with every control
// reachable, names every control Tab reaches for a screen reader in the order they are read, and
// message boxes, menus and laid-out windows use the type of the scaled windows. The screen is
// 1024 x 768 unless VARDEL_TEST_SCREEN says otherwise ("1920x1080"), in the desktop's type unless
// VARDEL_TEST_FONT names another ("DejaVu Serif,11"). With VARDEL_SHOT_DIR set,
// each window checked is also written there as <name>-<screen width>x<screen height>.png, to
// look at by eye.
#include "mainwindowharness.h"
#include "cw/frmwinkey.h"
#include "ui/accessnames.h"
#include "ui/captionfit.h"
#include "ui/formscaler.h"
#include "ui/logowindow.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTextDocument>
#include <QtTest>

#include <functional>

namespace {

QString drawn(const QString &text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size())
            ++i;
        out += text[i];
    }
    return out;
}

int widestLine(const QWidget *w, const QString &text)
{
    int widest = 0;
    for (const QString &line : text.split(u'\n'))
        widest = std::max(widest, w->fontMetrics().horizontalAdvance(line));
    return widest;
}

QStyleOptionButton buttonOption(const QAbstractButton *b)
{
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    if (const auto *push = qobject_cast<const QPushButton *>(b)) {
        if (push->autoDefault() || push->isDefault())
            opt.features |= QStyleOptionButton::AutoDefaultButton;
    }
    return opt;
}

// The room the style gives the caption, against what the caption takes in the control's font.
// Empty when it fits.
QString clipped(const QWidget *w)
{
    int room = 0, takes = 0;
    QString text;
    if (const auto *label = qobject_cast<const QLabel *>(w)) {
        text = label->text();
        if (text.isEmpty() || !label->pixmap().isNull() || Qt::mightBeRichText(text))
            return QString();
        const QRect inside = label->contentsRect().adjusted(label->margin(), label->margin(),
                                                            -label->margin(), -label->margin());
        if (label->wordWrap()) {
            const QRect wrapped = label->fontMetrics().boundingRect(inside, Qt::TextWordWrap | label->alignment(), text);
            room = inside.height();
            takes = wrapped.height();
        } else {
            room = inside.width();
            takes = widestLine(w, label->buddy() ? drawn(text) : text);
        }
    } else if (const auto *push = qobject_cast<const QPushButton *>(w)) {
        text = push->text();
        const QStyleOptionButton opt = buttonOption(push);
        room = w->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, w).width();
        takes = widestLine(w, drawn(text));
    } else if (qobject_cast<const QCheckBox *>(w) || qobject_cast<const QRadioButton *>(w)) {
        const auto *b = static_cast<const QAbstractButton *>(w);
        text = b->text();
        const QStyleOptionButton opt = buttonOption(b);
        const auto element = qobject_cast<const QCheckBox *>(w) ? QStyle::SE_CheckBoxContents
                                                                : QStyle::SE_RadioButtonContents;
        room = w->style()->subElementRect(element, &opt, w).width();
        takes = widestLine(w, drawn(text));
    } else if (const auto *group = qobject_cast<const QGroupBox *>(w)) {
        text = group->title();
        QStyleOptionGroupBox opt;
        opt.initFrom(group);
        opt.text = text;
        opt.lineWidth = 1;
        opt.textAlignment = group->alignment();
        opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        const QRect title = w->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, w);
        // The title's box must hold the text and stay inside the frame.
        room = std::min(title.width(), group->width() - title.left());
        // The style sizes the title by the ink of its text, not by its advance.
        takes = w->fontMetrics().boundingRect(drawn(text)).width();
    }
    if (text.isEmpty() || takes <= room)
        return QString();
    return QStringLiteral("%1 \"%2\" (%3): needs %4, has %5")
        .arg(QString::fromLatin1(w->metaObject()->className()), text, w->objectName())
        .arg(takes)
        .arg(room);
}

QStringList clippedCaptions(QWidget *window)
{
    QStringList out;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (w->window() != window || !w->isVisibleTo(window)
            || w->property(captionfit::kPaintsOwnCaption).toBool())
            continue;
        const QString problem = clipped(w);
        if (!problem.isEmpty())
            out << problem;
    }
    return out;
}

// Controls of `window` that lie outside the screen's available area, and the window itself when
// it is larger than that area or reaches past it.
QStringList offScreen(QWidget *window)
{
    QStringList out;
    const QRect area = window->screen()->availableGeometry();
    const QRect frame = window->frameGeometry();
    if (frame.width() > area.width() || frame.height() > area.height() || !area.contains(frame))
        out << QStringLiteral("window %1 (%2 x %3 at %4,%5) does not fit the screen's %6 x %7")
                   .arg(window->objectName()).arg(frame.width()).arg(frame.height())
                   .arg(frame.left()).arg(frame.top()).arg(area.width()).arg(area.height());
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (w->window() != window || !w->isVisibleTo(window) || w->isHidden())
            continue;
        // Inside a scrolling view a control is reachable by scrolling; the view itself counts.
        bool scrolled = false;
        for (QWidget *p = w->parentWidget(); p && p != window; p = p->parentWidget())
            if (qobject_cast<QAbstractScrollArea *>(p))
                scrolled = true;
        if (scrolled)
            continue;
        const QRect r(w->mapToGlobal(QPoint(0, 0)), w->size());
        if (!area.contains(r))
            out << QStringLiteral("%1 \"%2\" at %3,%4 %5 x %6 is outside the screen")
                       .arg(QString::fromLatin1(w->metaObject()->className()), w->objectName())
                       .arg(r.left()).arg(r.top()).arg(r.width()).arg(r.height());
    }
    return out;
}

// Controls Tab reaches that a screen reader could only call by their kind ("edit", "list").
QStringList unnamedControls(QWidget *window)
{
    QStringList out;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (w->window() != window || !w->isVisibleTo(window) || !w->isEnabled() || !accessnames::reachedByTab(w))
            continue;
        if (accessnames::nameOf(w).isEmpty())
            out << QStringLiteral("%1 \"%2\" has no accessible name")
                       .arg(QString::fromLatin1(w->metaObject()->className()), w->objectName());
    }
    return out;
}

// Tab follows the reading order: from one stop to the next it never goes back up within the same
// column, nor left along the same row (a step up into a new column on the right is reading on).
QStringList tabOrderBackwards(QWidget *window)
{
    QList<QWidget *> stops;
    QWidget *w = window;
    for (int guard = 0; guard < 1000; ++guard) {
        w = w->nextInFocusChain();
        if (!w || w == window)
            break;
        if (w->window() == window && w->isVisibleTo(window) && w->isEnabled() && accessnames::reachedByTab(w)
            && !stops.contains(w))
            stops << w;
    }
    QStringList out;
    for (qsizetype i = 1; i < stops.size(); ++i) {
        const QRect a(stops[i - 1]->mapTo(window, QPoint(0, 0)), stops[i - 1]->size());
        const QRect b(stops[i]->mapTo(window, QPoint(0, 0)), stops[i]->size());
        const int half = std::max(4, std::min(a.height(), b.height()) / 2);
        const bool sameRow = std::abs(a.center().y() - b.center().y()) < half;
        const bool up = b.center().y() < a.center().y() - half;
        const bool newColumn = b.left() > a.right();
        if ((sameRow && b.right() < a.left()) || (up && !newColumn))
            out << QStringLiteral("Tab goes back from %1 to %2").arg(stops[i - 1]->objectName(), stops[i]->objectName());
    }
    return out;
}

void shoot(QWidget *w, const QString &name)
{
    const QString folder = qEnvironmentVariable("VARDEL_SHOT_DIR");
    if (folder.isEmpty())
        return;
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    w->grab().save(QDir(folder).filePath(
        QStringLiteral("%1-%2x%3.png").arg(name).arg(screen.width()).arg(screen.height())));
}

QSet<QWidget *> visibleWindows()
{
    QSet<QWidget *> out;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && !qobject_cast<QMenu *>(w))
            out.insert(w);
    return out;
}

QList<QsoRecord> someContacts()
{
    QList<QsoRecord> out;
    const char *calls[] = {"W1AW", "K5ABC", "N0XYZ", "VE3ABC", "KH6XX", "WA2BCD", "K9ZZZ", "W7QQQ"};
    int minute = 0;
    for (const char *call : calls) {
        QsoRecord r = MainWindowHarness::rec(QString::fromLatin1(call));
        r.time = QStringLiteral("16:%1:00").arg(minute += 7, 2, 10, QLatin1Char('0'));
        out << r;
    }
    return out;
}

}  // namespace

class TestCaptions : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { captionfit::setUpApplication(*qApp); }

    void everyCaptionFits_data();
    void everyCaptionFits();
    void boxesAndMenusTakeTheScaledType();
    void postContestFieldsMatchTheEntryLine();
    void everyMenuCommandHasItsOwnAccessKey();
    void fittingWidensIntoFreeRoomOnly_data();
    void fittingWidensIntoFreeRoomOnly();
};

void TestCaptions::everyCaptionFits_data()
{
    QTest::addColumn<QString>("opener");
    // Menu commands by name; the rest are opened the way the program opens them.
    QTest::newRow("main window") << "main";
    QTest::newRow("station setup") << "mnuSetup";
    QTest::newRow("edit contact") << "edit";
    QTest::newRow("report window") << "mnuWriteSumm";
    QTest::newRow("Tallis export options") << "mnuTallisImport";
    QTest::newRow("colours") << "mnuColors";
    QTest::newRow("band plan") << "mnuPrivileges";
    QTest::newRow("graph") << "mnuGraph";
    QTest::newRow("help") << "mnuHelp";
    QTest::newRow("CW setup") << "mnuCWsetup";
    QTest::newRow("CW strings") << "mnuCWStrings";
    QTest::newRow("code practice") << "mnuCodePractice";
    QTest::newRow("WinKey setup") << "winkey";
    QTest::newRow("phone setup") << "mnuPhoneSetup";
    QTest::newRow("voice navigation") << "mnuBlind";
    QTest::newRow("DX spotting") << "mnuDXSpotting";
    QTest::newRow("spectrum map") << "mnuViewSpectrumMap";
    QTest::newRow("logo") << "logo";
    QTest::newRow("ADIF power prompt") << "prompt";
    QTest::newRow("contest ADIF choices") << "mnuContestAdif";
    QTest::newRow("digital messages") << "mnuDigitalMessages";
    QTest::newRow("message with a long path") << "message";
}

void TestCaptions::everyCaptionFits()
{
    QFETCH(QString, opener);
    const QString name = QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_');
    MainWindowHarness h;
    h.writePreferences();
    h.writeLog(someContacts());
    QFile::copy(QDir(qEnvironmentVariable("VARDEL_TEST_DATA_DIR")).filePath("BandPlan.txt"),
                h.env.file("BandPlan.txt"));
    Form1 &form = h.start();
    QVERIFY(!form.programEnded());

    QStringList problems;
    bool seen = false;
    auto inspect = [&](QWidget *window) {
        seen = true;
        problems << clippedCaptions(window) << offScreen(window) << unnamedControls(window)
                 << tabOrderBackwards(window);
        shoot(window, name);
    };

    if (opener == u"main") {
        // Everything the main window can show at once: the post-contest fields and the edit
        // buttons of a chosen contact.
        form.findChild<QAction *>("mnuPostContest")->trigger();
        auto *list = h.find<QTreeWidget>("ListView1");
        list->setCurrentItem(list->topLevelItem(0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->topLevelItem(0)).center());
        QVERIFY(h.find<QPushButton>("cmdEdit")->isVisible());
        h.field("txtPostConDate")->setFocus();  // fills in today's date
        h.field("txtPostConTime")->setText(QStringLiteral("23:59"));
        inspect(&form);
    } else if (opener == u"logo") {
        QPointer<frmKorvexLogo> logo = showLogo(h.env.path());
        QVERIFY(logo);
        inspect(logo);
        delete logo;
    } else if (opener == u"winkey") {
        auto *window = form.findChild<frmWinKey *>();
        QVERIFY(window);
        window->Form_Load();
        window->show();
        inspect(window);
        window->hide();
    } else {
        const QSet<QWidget *> before = visibleWindows();
        // A modal window runs its own loop: it is looked at from inside it, then closed.
        QTimer catcher;
        catcher.setInterval(0);
        connect(&catcher, &QTimer::timeout, this, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal || before.contains(modal))
                return;
            catcher.stop();
            inspect(modal);
            modal->close();
        });
        catcher.start();
        QtDialogs dialogs;
        if (opener == u"prompt") {
            // The export's own words, the longest prompt the program asks.
            dialogs.input(&form,
                          QStringLiteral("Please enter the power value that you would like to record.  This is an "
                                         "optional value that will be included in each QSO record and displayed in "
                                         "Tallis's power output column."),
                          QStringLiteral("Please enter your transmitter output power."), QStringLiteral("100"));
        } else if (opener == u"message") {
            dialogs.message(&form,
                            QStringLiteral("The file /home/operator/Documents/Vardel/contest/archive/2026/"
                                           "W1AW-2026-12-05-10-10-winter-phone-party.log could not be written."),
                            QStringLiteral("Unable to write file."), Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
        } else if (opener == u"edit") {
            auto *list = h.find<QTreeWidget>("ListView1");
            list->setCurrentItem(list->topLevelItem(0));
            h.find<QPushButton>("cmdEdit")->click();
        } else {
            QAction *action = form.findChild<QAction *>(opener);
            QVERIFY2(action, qPrintable(opener));
            action->trigger();
        }
        catcher.stop();
        if (!seen) {
            for (QWidget *w : visibleWindows())
                if (!before.contains(w))
                    inspect(w);
        }
        for (QWidget *w : visibleWindows())
            if (!before.contains(w))
                w->hide();
    }
    QVERIFY2(seen, "no window opened");
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
}

void TestCaptions::boxesAndMenusTakeTheScaledType()
{
    MainWindowHarness h;
    h.writePreferences();
    Form1 &form = h.start();
    // The station setup is scaled by the shared rule: its type is the one to match.
    QFont scaled;
    QTimer::singleShot(0, this, [&] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            scaled = modal->font();
            modal->close();
        }
    });
    form.findChild<QAction *>("mnuSetup")->trigger();
    QVERIFY(scaled.pointSizeF() > QApplication::font().pointSizeF());

    QMessageBox box(QMessageBox::Information, QStringLiteral("Export Successful!"),
                    QStringLiteral("LogExp.txt has been written to this program's working directory."));
    auto *file = form.findChild<QMenu *>("mnuFile");
    QVERIFY(file);
    for (QWidget *w : {static_cast<QWidget *>(&box), static_cast<QWidget *>(file)}) {
        w->ensurePolished();  // a widget takes its kind's type as it is polished for showing
        QCOMPARE(w->font().family(), scaled.family());
        QCOMPARE(w->font().pointSizeF(), scaled.pointSizeF());
    }
    box.show();
    shoot(&box, QStringLiteral("message_box"));
    box.hide();
    file->popup(QPoint(0, 0));
    shoot(file, QStringLiteral("file_menu"));
    QVERIFY(clippedCaptions(&box).isEmpty());
    file->hide();

    // Windows built by layouts read in the same type where it lets them fit the screen, and in
    // the largest that fits otherwise; their option circles grow with it.
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    for (const char *opener : {"mnuBlind", "mnuCWsetup"}) {
        QFont type;
        QSize size;
        int circle = 0;
        QTimer catcher;
        catcher.setInterval(0);
        connect(&catcher, &QTimer::timeout, this, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            QList<QWidget *> shown;
            for (QWidget *w : QApplication::topLevelWidgets())
                if (w->isVisible() && w != &form && !qobject_cast<QMenu *>(w))
                    shown << w;
            QWidget *window = modal ? modal : shown.value(0);
            if (!window)
                return;
            catcher.stop();
            type = window->font();
            size = window->frameGeometry().size();
            if (auto *option = window->findChild<QRadioButton *>())
                circle = option->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, option);
            window->hide();
        });
        catcher.start();
        form.findChild<QAction *>(opener)->trigger();
        QTRY_VERIFY(!catcher.isActive());
        QVERIFY2(type.pointSizeF() <= scaled.pointSizeF() && type.pointSizeF() >= QApplication::font().pointSizeF(),
                 opener);
        QVERIFY2(size.width() <= room.width() && size.height() <= room.height(), opener);
        if (QByteArray(opener) == "mnuBlind") {
            QCOMPARE(type.pointSizeF(), scaled.pointSizeF());
            QVERIFY(circle > QApplication::style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth));
        }
    }
}

// Keyboard alone reaches every command: each menu and each command in it has an access key, and
// no two in one menu share one.
void TestCaptions::everyMenuCommandHasItsOwnAccessKey()
{
    MainWindowHarness h;
    h.writePreferences();
    Form1 &form = h.start();
    QStringList problems;
    auto keyOf = [](const QString &text) {
        for (qsizetype i = 0; i + 1 < text.size(); ++i) {
            if (text[i] != u'&')
                continue;
            if (text[i + 1] != u'&')
                return text[i + 1].toUpper();
            ++i;
        }
        return QChar();
    };
    std::function<void(const QString &, const QList<QAction *> &)> check = [&](const QString &where,
                                                                                const QList<QAction *> &actions) {
        QHash<QChar, QString> taken;
        for (QAction *a : actions) {
            if (a->isSeparator() || !a->isVisible())
                continue;
            const QChar key = keyOf(a->text());
            if (key.isNull())
                problems << where + ": \"" + a->text() + "\" has no access key";
            else if (taken.contains(key))
                problems << where + ": \"" + a->text() + "\" and \"" + taken[key] + "\" share " + key;
            else
                taken.insert(key, a->text());
            if (a->menu())
                check(where + " > " + QString(a->text()).remove(u'&'), a->menu()->actions());
        }
    };
    check(QStringLiteral("menu bar"), form.menuBar()->actions());
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
}

void TestCaptions::postContestFieldsMatchTheEntryLine()
{
    MainWindowHarness h;
    h.writePreferences();
    Form1 &form = h.start();
    form.findChild<QAction *>("mnuPostContest")->trigger();
    const QFont entry = h.field("txtCall")->font();
    for (const char *name : {"txtPostConDate", "txtPostConTime"}) {
        QLineEdit *field = h.field(QString::fromLatin1(name));
        QVERIFY(field->isVisible());
        QCOMPARE(field->font(), entry);
        // A whole date and time show without scrolling.
        QVERIFY(field->fontMetrics().horizontalAdvance(QStringLiteral("2026/12/05")) < field->width()
                || QByteArray(name) == "txtPostConTime");
    }
}

void TestCaptions::fittingWidensIntoFreeRoomOnly_data()
{
    QTest::addColumn<int>("neighbourLeft");   // -1: no neighbour on the row
    QTest::addColumn<int>("neighbourTop");
    QTest::addColumn<bool>("rightAligned");
    QTest::addColumn<bool>("mustShrinkType");

    QTest::newRow("free row") << -1 << 0 << false << false;
    QTest::newRow("neighbour on another row") << 40 << 60 << false << false;
    QTest::newRow("neighbour right after it") << 42 << 0 << false << true;
    QTest::newRow("right-aligned grows left") << -1 << 0 << true << false;
}

void TestCaptions::fittingWidensIntoFreeRoomOnly()
{
    QFETCH(int, neighbourLeft);
    QFETCH(int, neighbourTop);
    QFETCH(bool, rightAligned);
    QFETCH(bool, mustShrinkType);

    QWidget window;
    window.resize(400, 100);
    auto *caption = new QLabel(QStringLiteral("A caption much longer than its box"), &window);
    caption->setGeometry(rightAligned ? 300 : 0, 0, 40, 20);
    if (rightAligned)
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QWidget *neighbour = nullptr;
    if (neighbourLeft >= 0) {
        neighbour = new QLineEdit(&window);
        neighbour->setGeometry(neighbourLeft, neighbourTop, 100, 20);
    }
    const QFont before = caption->font();
    const QRect neighbourBefore = neighbour ? neighbour->geometry() : QRect();

    captionfit::fitCaptions(&window);

    const QRect g = caption->geometry();
    QCOMPARE(g.top(), 0);
    QCOMPARE(g.height(), 20);
    QVERIFY(g.left() >= 0 && g.right() < window.width());
    if (neighbour) {
        QCOMPARE(neighbour->geometry(), neighbourBefore);
        if (neighbourTop == 0)
            QVERIFY(!g.intersects(neighbour->geometry()));
    }
    if (rightAligned)
        QCOMPARE(g.right(), 339);  // the right edge stays, the caption grows to the left
    QCOMPARE(caption->font() != before, mustShrinkType);
    if (!mustShrinkType)
        QVERIFY(captionfit::neededWidth(caption) <= caption->width());
}

int main(int argc, char *argv[])
{
    // The offscreen platform takes its screen from a configuration file.
    const QString size = qEnvironmentVariable("VARDEL_TEST_SCREEN", QStringLiteral("1024x768"));
    const QStringList wh = size.split(u'x');
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screen.json"));
    QFile f(config);
    if (wh.size() != 2 || !f.open(QIODevice::WriteOnly))
        return 2;
    f.write(QStringLiteral("{\"windowFrameMargins\":false,\"screens\":[{\"name\":\"test\",\"x\":0,\"y\":0,\"width\":%1,\"height\":%2,"
                           "\"logicalDpi\":96,\"logicalBaseDpi\":96,\"dpr\":1}]}")
                .arg(wh[0], wh[1]).toUtf8());
    f.close();
    qputenv("QT_QPA_PLATFORM", QStringLiteral("offscreen:configfile=%1").arg(config).toUtf8());
    QApplication app(argc, argv);
    // Another desktop type, as a font setting tool gives one: "DejaVu Serif,11".
    const QStringList type = qEnvironmentVariable("VARDEL_TEST_FONT").split(u',');
    if (type.size() == 2)
        QApplication::setFont(QFont(type[0], type[1].toInt()));
    TestCaptions test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_captions.moc"
