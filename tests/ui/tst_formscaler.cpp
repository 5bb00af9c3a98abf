#include "fakes.h"
#include "core/preferences.h"
#include "ui/formscaler.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

using namespace formscale;

namespace {

// A 320 x 240 pixel window (4800 x 3600 twips) with one control of each kind.
struct Sample {
    QWidget window;
    QLabel *label;
    QLabel *image;
    QComboBox *combo;
    QTreeWidget *tree;
    QFrame *line;
    QGroupBox *group;
    QPushButton *inGroup;

    Sample()
    {
        window.resize(320, 240);
        QFont f = window.font();
        f.setPointSizeF(8);
        window.setFont(f);
        label = new QLabel(QStringLiteral("Call"), &window);
        label->setGeometry(10, 20, 100, 30);
        image = new QLabel(&window);
        QPixmap pm(16, 16);
        pm.fill(Qt::red);
        image->setPixmap(pm);
        image->setGeometry(200, 10, 16, 16);
        QFont imageFont = image->font();
        imageFont.setPointSizeF(9);
        image->setFont(imageFont);
        combo = new QComboBox(&window);
        combo->setGeometry(10, 60, 100, 21);
        tree = new QTreeWidget(&window);
        tree->setColumnCount(2);
        tree->header()->setStretchLastSection(false);
        tree->header()->resizeSection(0, 100);
        tree->header()->resizeSection(1, 50);
        tree->setGeometry(10, 120, 300, 80);
        line = new QFrame(&window);
        line->setFrameShape(QFrame::HLine);
        line->setGeometry(0, 100, 320, 3);
        group = new QGroupBox(QStringLiteral("Mode"), &window);
        group->setGeometry(150, 40, 160, 60);
        inGroup = new QPushButton(QStringLiteral("CW"), group);
        inGroup->setGeometry(10, 20, 60, 25);
    }
};

}  // namespace

class TestFormScaler : public QObject {
    Q_OBJECT
private slots:
    void windowArithmetic_data();
    void windowArithmetic();
    void fontsAndColumns();
    void targetArithmetic_data();
    void targetArithmetic();
    void percentAnswer_data();
    void percentAnswer();

    void scaleToScreenScalesEveryKind();
    void scaleToTargetSetsFontName();
    void shrinkToPercentScalesAroundCentre();
    void relayoutKeepsFonts();
    void errorsGoToFormResizeErrorBox();

    void formSizeCommand_data();
    void formSizeCommand();
    void formSizeSaveFailureMakesNoPromise();
    void taskbarCommand();
};

void TestFormScaler::windowArithmetic_data()
{
    QTest::addColumn<double>("screenW");
    QTest::addColumn<double>("screenH");
    QTest::addColumn<double>("unitsPerTwip");
    QTest::addColumn<double>("designW");
    QTest::addColumn<double>("designH");
    QTest::addColumn<bool>("lift");
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("top");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");

    // 1280 x 1024 pixels is 19200 x 15360 twips.
    QTest::newRow("twips, lifted") << 19200.0 << 15360.0 << 1.0 << 4800.0 << 3600.0 << true
                                   << 4800.0 << 3670.0 << 9600.0 << 7680.0;
    QTest::newRow("twips, centred") << 19200.0 << 15360.0 << 1.0 << 4800.0 << 3600.0 << false
                                    << 4800.0 << 3840.0 << 9600.0 << 7680.0;
    QTest::newRow("pixels, lifted") << 1280.0 << 1024.0 << 1.0 / 15 << 320.0 << 240.0 << true
                                    << 320.0 << 256.0 - 170.0 / 15 << 640.0 << 512.0;
    QTest::newRow("design screen is identity") << 640.0 << 480.0 << 1.0 / 15 << 640.0 << 480.0
                                               << false << 0.0 << 0.0 << 640.0 << 480.0;
}

void TestFormScaler::windowArithmetic()
{
    QFETCH(double, screenW);
    QFETCH(double, screenH);
    QFETCH(double, unitsPerTwip);
    QFETCH(double, designW);
    QFETCH(double, designH);
    QFETCH(bool, lift);
    const FormScaler s(screenW, screenH, unitsPerTwip);
    QFETCH(double, left);
    QFETCH(double, top);
    QFETCH(double, width);
    QFETCH(double, height);
    const Box b = s.window(designW, designH, lift);
    QCOMPARE(b.width, width);
    QCOMPARE(b.height, height);
    QCOMPARE(b.left, left);
    QCOMPARE(b.top, top);
}

void TestFormScaler::fontsAndColumns()
{
    const FormScaler s(19200, 15360);
    QCOMPARE(s.fontRatio(), 2.0);                 // min(2, 2.133)
    QCOMPARE(s.controlFont(8), 16.0);
    QCOMPARE(s.windowFont(9), 9 * 15360.0 / 7200);
    QCOMPARE(s.column(1000), 2000.0);
    QCOMPARE(s.control({100, 100, 300, 450}), (Box{200, 15360.0 / 72, 600, 450 * 15360.0 / 7200}));
    // A tall screen: the width ratio is the smaller one.
    QCOMPARE(FormScaler(768, 1024, 1.0 / 15).fontRatio(), 1.2);
}

void TestFormScaler::targetArithmetic_data()
{
    QTest::addColumn<bool>("fill");
    QTest::addColumn<double>("fontFactor");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("fontScale");

    // Window 320 x 240 on a 1280 x 1024 target, base 640 x 480.
    QTest::newRow("proportional") << false << 1.0 << 640.0 << 512.0 << 320.0 << 2.0;
    QTest::newRow("fill") << true << 1.0 << 1280.0 << 1024.0 << 0.0 << 4.0;
    QTest::newRow("half font factor") << true << 0.5 << 1280.0 << 1024.0 << 0.0 << 2.5;
    QTest::newRow("fonts kept") << false << 0.0 << 640.0 << 512.0 << 320.0 << 1.0;
}

void TestFormScaler::targetArithmetic()
{
    QFETCH(bool, fill);
    QFETCH(double, fontFactor);
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(double, left);
    QFETCH(double, fontScale);
    const TargetScale t = targetScale(320, 240, 1280, 1024, 640, 480, fill, fontFactor);
    QCOMPARE(t.window.width, width);
    QCOMPARE(t.window.height, height);
    QCOMPARE(t.window.left, left);
    QCOMPARE(t.window.top, (1024 - t.window.height) / 2);  // no lift
    QCOMPARE(t.fontScale, fontScale);
}

void TestFormScaler::percentAnswer_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("numeric");
    QTest::addColumn<int>("percent");
    QTest::newRow("above range") << "120" << true << 100;
    QTest::newRow("below range") << "10" << true << 30;
    QTest::newRow("letters") << "abc" << false << 0;
    QTest::newRow("number then letters") << "90%" << false << 0;
    QTest::newRow("blanks around") << " 90 " << true << 90;
    QTest::newRow("half rounds to even, down") << "96.5" << true << 96;
    QTest::newRow("half rounds to even, up") << "97.5" << true << 98;
    QTest::newRow("just below the floor") << "29.5" << true << 30;
    QTest::newRow("negative") << "-5" << true << 30;
}

void TestFormScaler::percentAnswer()
{
    QFETCH(QString, answer);
    QFETCH(bool, numeric);
    QFETCH(int, percent);
    int parsed = 0;
    QCOMPARE(parsePercent(answer, parsed), numeric);
    if (numeric)
        QCOMPARE(parsed, percent);
}

void TestFormScaler::scaleToScreenScalesEveryKind()
{
    Sample s;
    const QString error = scaleToScreen(&s.window, QRect(0, 0, 1280, 1024), true);
    QVERIFY2(error.isEmpty(), qPrintable(error));

    QCOMPARE(s.window.size(), QSize(640, 512));
    QCOMPARE(s.window.pos(), QPoint(320, 245));  // 256 less 11.3 pixels
    QCOMPARE(s.window.font().pointSizeF(), 8 * 1024.0 / 480);

    QCOMPARE(s.label->geometry(), QRect(20, 43, 200, 64));
    QCOMPARE(s.label->font().pointSizeF(), 16.0);
    QCOMPARE(s.image->geometry(), QRect(400, 21, 32, 34));
    QCOMPARE(s.image->font().pointSizeF(), 9.0);  // pictures have no font to scale
    QCOMPARE(s.combo->x(), 20);
    QCOMPARE(s.combo->width(), 200);
    QVERIFY(s.combo->height() >= s.combo->sizeHint().height());
    QCOMPARE(s.tree->header()->sectionSize(0), 200);
    QCOMPARE(s.tree->header()->sectionSize(1), 100);
    // A line's end points move with the screen, its stroke does not thicken.
    QCOMPARE(s.line->geometry(), QRect(0, 213, 640, 3));
    // Controls inside a frame scale in the frame's coordinates.
    QCOMPARE(s.group->geometry(), QRect(300, 85, 320, 128));
    QCOMPARE(s.inGroup->geometry(), QRect(20, 43, 120, 53));
    QCOMPARE(s.inGroup->font().pointSizeF(), 16.0);
}

void TestFormScaler::scaleToTargetSetsFontName()
{
    Sample s;
    const QString error = scaleToTarget(&s.window, QRect(0, 0, 1280, 1024), 640, 480, false, 1.0,
                                        QStringLiteral("Liberation Sans"));
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(s.window.geometry(), QRect(320, 256, 640, 512));
    QCOMPARE(s.label->geometry(), QRect(20, 43, 200, 64));
    QCOMPARE(s.label->font().family(), QStringLiteral("Liberation Sans"));
    QCOMPARE(s.label->font().pointSizeF(), 16.0);  // 1 + (min(2, 2.133) - 1) x 1
    QCOMPARE(s.tree->header()->sectionSize(0), 200);
}

void TestFormScaler::shrinkToPercentScalesAroundCentre()
{
    Sample s;
    s.window.resize(1000, 800);
    s.label->setGeometry(100, 200, 300, 40);
    QVERIFY(shrinkToPercent(&s.window, QRect(0, 0, 1000, 800), 90).isEmpty());
    QCOMPARE(s.window.geometry(), QRect(50, 40, 900, 720));
    QCOMPARE(s.label->geometry(), QRect(90, 180, 270, 36));
    QCOMPARE(s.label->font().pointSizeF(), 7.2);
    QCOMPARE(s.window.font().pointSizeF(), 7.2);
    QCOMPARE(s.tree->header()->sectionSize(0), 90);

    // 100 % leaves the full-screen layout alone.
    const QRect before = s.label->geometry();
    QVERIFY(shrinkToPercent(&s.window, QRect(0, 0, 1000, 800), 100).isEmpty());
    QCOMPARE(s.label->geometry(), before);
}

void TestFormScaler::relayoutKeepsFonts()
{
    Sample s;
    s.window.resize(1000, 800);
    s.label->setGeometry(100, 200, 300, 40);
    s.window.show();
    QVERIFY(relayout(&s.window, QRect(0, 0, 1000, 760)).isEmpty());
    QVERIFY(s.window.isVisible());
    QCOMPARE(s.window.size(), QSize(1000, 760));
    QCOMPARE(s.label->geometry(), QRect(100, 190, 300, 38));
    QCOMPARE(s.label->font().pointSizeF(), 8.0);
    QCOMPARE(s.tree->header()->sectionSize(0), 100);
}

void TestFormScaler::errorsGoToFormResizeErrorBox()
{
    QWidget empty;
    empty.resize(0, 0);
    QVERIFY(!scaleToScreen(&empty, QRect(0, 0, 800, 600), true).isEmpty());
    Sample s;
    QVERIFY(!scaleToScreen(&s.window, QRect(), true).isEmpty());
    QCOMPARE(s.window.size(), QSize(320, 240));  // nothing half done

    FakeDialogs dialogs;
    resizeForm(&empty, dialogs);
    QCOMPARE(dialogs.titles(), QStringList{QStringLiteral("Form Resize Error")});
    QVERIFY(!dialogs.shown.first().text.isEmpty());

    dialogs.shown.clear();
    resizeFormCentred(&s.window, dialogs);  // a real (offscreen) screen: no complaint
    QVERIFY(dialogs.shown.isEmpty());
    QVERIFY(s.window.width() > 320);
}

void TestFormScaler::formSizeCommand_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("saves");
    QTest::addColumn<QString>("messageTitle");

    const QString restart = QStringLiteral("For this setting to take effect please restart this program.");
    QTest::newRow("within range") << "85" << 85 << 1 << restart;
    QTest::newRow("too large") << "120" << 100 << 1 << restart;
    QTest::newRow("too small") << "10" << 30 << 1 << restart;
    QTest::newRow("not a number") << "abc" << 100 << 0 << "Numeric Values Required";
    QTest::newRow("cancelled") << "" << 100 << 0 << QString();
}

void TestFormScaler::formSizeCommand()
{
    QFETCH(QString, answer);
    QFETCH(QString, messageTitle);
    QFETCH(int, stored);
    QFETCH(int, saves);
    FakeDialogs dialogs;
    dialogs.inputAnswers.enqueue(answer);
    Preferences prefs;
    prefs.formSizePercent = 100;
    int saveCalls = 0;
    FormSizeCommands commands(dialogs, prefs, [&] { ++saveCalls; return true; });

    QCOMPARE(commands.formSize(nullptr), saves == 1);
    QCOMPARE(prefs.formSizePercent, stored);
    QCOMPARE(saveCalls, saves);

    const FakeDialogs::Shown &ask = dialogs.shown.first();
    QCOMPARE(ask.title, QStringLiteral("Please enter screen percentage."));
    QCOMPARE(ask.text, QStringLiteral("Enter the % of the screen you would like the form to cover.  "
                                      "Try between 90 and 100 for best results.  Values below 75 "
                                      "do not display well."));
    QCOMPARE(ask.extra, QStringLiteral("100"));
    if (messageTitle.isEmpty()) {
        QCOMPARE(dialogs.shown.size(), 1);
    } else {
        QCOMPARE(dialogs.shown.size(), 2);
        QCOMPARE(dialogs.shown[1].title, messageTitle);
        QCOMPARE(dialogs.shown[1].text,
                 answer == "abc" ? QStringLiteral("Please enter only numeric values.")
                                 : QStringLiteral("This program must be closed and restarted for "
                                                  "this setting to take effect."));
    }
}

void TestFormScaler::formSizeSaveFailureMakesNoPromise()
{
    FakeDialogs dialogs;
    dialogs.inputAnswers.enqueue(QStringLiteral("90"));
    Preferences prefs;
    FormSizeCommands commands(dialogs, prefs, [] { return false; });
    QVERIFY(!commands.formSize(nullptr));
    QCOMPARE(dialogs.shown.size(), 1);  // only the question
}

void TestFormScaler::taskbarCommand()
{
    FakeDialogs dialogs;
    Preferences prefs;
    prefs.formSizePercent = 90;
    int saves = 0;
    FormSizeCommands commands(dialogs, prefs, [&] { ++saves; return true; });
    QWidget window;
    window.resize(640, 480);

    QCOMPARE(commands.taskbar(&window), FormSizeCommands::TaskbarResult::Refused);
    QCOMPARE(dialogs.titles(),
             QStringList{QStringLiteral("Please set your form size to 100% to use this option.")});
    QCOMPARE(dialogs.shown.first().text,
             QStringLiteral("The form size must be set to 100% to use the taskbar display option."));
    QCOMPARE(prefs.taskbarOption, 0);
    QCOMPARE(saves, 0);

    dialogs.shown.clear();
    prefs.formSizePercent = 100;
    const ScreenArea screen = screenAreaOf(&window);
    QCOMPARE(commands.taskbar(&window), FormSizeCommands::TaskbarResult::TurnedOn);
    QCOMPARE(prefs.taskbarOption, 1);
    QCOMPARE(saves, 1);
    QCOMPARE(window.geometry(), screen.work);
    QCOMPARE(commands.taskbar(&window), FormSizeCommands::TaskbarResult::TurnedOff);
    QCOMPARE(prefs.taskbarOption, 0);
    QCOMPARE(saves, 2);
    QCOMPARE(window.geometry(), screen.full);
    QVERIFY(dialogs.shown.isEmpty());
    QCOMPARE(mainWindowArea(screen, prefs), screen.full);
}

QTEST_MAIN(TestFormScaler)
#include "tst_formscaler.moc"
