#include "fakes.h"
#include "core/qsorecord.h"
#include "stats/graphqso.h"
#include "stats/qsograph.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QtTest>

#include <cmath>

namespace {

const QDateTime kStart(QDate(2026, 8, 1), QTime(0, 1, 0), Qt::UTC);

QsoRecord contactAt(const QDateTime &utc)
{
    QsoRecord r;
    r.call = QStringLiteral("W1AW");
    r.points = QStringLiteral("1");
    r.date = utc.toString(QStringLiteral("yyyy/MM/dd"));
    r.time = utc.toString(QStringLiteral("hh:mm:ss"));
    r.mode = QStringLiteral("PH");
    return r;
}

QList<QsoRecord> logAtOffsets(const QList<qint64> &seconds)
{
    QList<QsoRecord> log;
    for (qint64 s : seconds)
        log.append(contactAt(kStart.addSecs(s)));
    return log;
}

QList<qint64> every(qint64 from, qint64 to, qint64 step)
{
    QList<qint64> out;
    for (qint64 s = from; s <= to; s += step)
        out.append(s);
    return out;
}

// A weekend of operating: bursts of varying pace, short breaks, a night's sleep.
QList<QsoRecord> contestWeekend()
{
    QRandomGenerator rng(1010);
    QList<QsoRecord> log;
    QDateTime t = kStart;
    struct Session { int minutes; int meanGap; };
    const QList<Session> sessions{{90, 40}, {60, 70}, {120, 30}, {45, 90}, {80, 50},
                                  {150, 25}, {60, 120}, {100, 45}, {70, 35}};
    const QList<int> breaks{8, 25, 12, 40, 420, 15, 30, 10, 0};
    for (qsizetype s = 0; s < sessions.size(); ++s) {
        const QDateTime end = t.addSecs(sessions[s].minutes * 60);
        while (t < end) {
            log.append(contactAt(t));
            t = t.addSecs(5 + rng.bounded(sessions[s].meanGap * 2));
        }
        t = t.addSecs(breaks[s] * 60);
    }
    return log;
}

QString saveShot(const QWidget &w, const QString &folder, const QString &name)
{
    const QImage image = const_cast<QWidget &>(w).grab().toImage();
    const QString path = QDir(folder).filePath(name);
    image.save(path);
    return path;
}

}  // namespace

class TstQsoGraph : public QObject {
    Q_OBJECT
private slots:
    void contactThreshold_data();
    void contactThreshold();
    void shortGapIsRamped();
    void longPauseDropsToZero();
    void allInOneSecondHasNoZeroSpan();
    void constantRateIsCentred();
    void axisLabels();
    void outOfOrderAndUnreadableRecords();
    void placementRoundsHalvesToEven();
    void firstPointsNearTheStart_data();
    void firstPointsNearTheStart();
    void windowMessageAndBackground();
    void screenshots();
};

void TstQsoGraph::contactThreshold_data()
{
    QTest::addColumn<int>("contacts");
    QTest::addColumn<bool>("graphs");
    QTest::newRow("none") << 0 << false;
    QTest::newRow("6") << 6 << false;
    QTest::newRow("7") << 7 << true;
}

void TstQsoGraph::contactThreshold()
{
    QFETCH(int, contacts);
    QFETCH(bool, graphs);
    QsoGraph g;
    QCOMPARE(g.build(logAtOffsets(every(0, (contacts - 1) * 60, 60).mid(0, contacts))), graphs);
    QCOMPARE(g.isReady(), graphs);
}

void TstQsoGraph::shortGapIsRamped()
{
    // One hour: 2.4 s per point. Contacts at points 1 and 10, the rest well after.
    QsoGraph g;
    QVERIFY(g.build(logAtOffsets({0, 24, 1800, 1830, 1860, 1890, 3600})));
    QCOMPARE(g.secondsPerPoint(), 2.4);
    QCOMPARE(g.raw(1), 6.0f);
    QCOMPARE(g.raw(10), 12.0f);  // two contacts inside ten minutes
    // Bridged points 2..9 climb in equal steps of (12 - 6) / 8 from the value before the gap.
    for (int p = 2; p <= 9; ++p)
        QCOMPARE(g.raw(p), 6.0f + float(p - 2) * 0.75f);
    // Before averaging starts at point 7 the smoothed line is the bridged one.
    QCOMPARE(g.smoothed(5), 8.25f);
    QCOMPARE(g.smoothed(8), (6.0f + 6.75f + 7.5f + 8.25f + 9.0f + 9.75f + 10.5f) / 7);
}

void TstQsoGraph::longPauseDropsToZero()
{
    // A contact every 30 s for 20 minutes, a 20-minute pause, 20 more minutes.
    QList<qint64> offsets = every(0, 1200, 30) + every(2400, 3600, 30);
    QsoGraph g;
    QVERIFY(g.build(logAtOffsets(offsets)));
    QCOMPARE(g.smoothed(750), 0.0f);
    QCOMPARE(g.dataMinimum(), 0.0f);
    QVERIFY(!g.activeStep(750));
    // Twenty contacts in ten minutes at full pace: 120 an hour on either side of the pause.
    QCOMPARE(g.smoothed(400), 120.0f);
    QCOMPARE(g.smoothed(1400), 120.0f);
    QVERIFY(g.activeStep(400) && g.activeStep(1400));
    QCOMPARE(g.dataMaximum(), 120.0f);
    QCOMPARE(g.rateLabel(16, QLocale::c()), QStringLiteral("120.0"));
}

void TstQsoGraph::allInOneSecondHasNoZeroSpan()
{
    QsoGraph g;
    QVERIFY(g.build(logAtOffsets(QList<qint64>(7, 0))));
    QCOMPARE(g.spanSeconds(), qint64(0));
    QCOMPARE(g.smoothed(1), 42.0f);
    QCOMPARE(g.smoothed(2), 0.0f);
    QCOMPARE(g.scaleMinimum(), 0.0f);
    QCOMPARE(g.scaleMaximum(), 42.0f);
    for (int k = 0; k < QsoGraph::kTimeLabels; ++k)
        QCOMPARE(g.timeLabel(k), QStringLiteral("00:01"));
    const QPointF top = g.plotPoint(1, QRectF(0, 0, 1500, 400));
    QVERIFY(std::isfinite(top.x()) && std::isfinite(top.y()));
    QCOMPARE(top.y(), 400 - (400 * 0.995 + 1));
}

void TstQsoGraph::constantRateIsCentred()
{
    // One contact every ten minutes for 1000 minutes: every point is bridged at 6 an hour.
    QsoGraph g;
    QVERIFY(g.build(logAtOffsets(every(0, 60000, 600))));
    QCOMPARE(g.dataMinimum(), 6.0f);
    QCOMPARE(g.dataMaximum(), 6.0f);
    QCOMPARE(g.scaleMinimum(), 0.0f);
    QCOMPARE(g.scaleMaximum(), 12.0f);
    QCOMPARE(g.rateLabel(8, QLocale::c()), QStringLiteral("6.0"));
    const QRectF frame(10, 20, 1500, 400);
    const QPointF mid = g.plotPoint(750, frame);
    QCOMPARE(mid.x(), 760.0);
    QCOMPARE(mid.y(), 420 - (6 * (400.0 / 12) * 0.995 + 1));
}

void TstQsoGraph::axisLabels()
{
    // Fourteen hours from 22:00 on 31 July: one label per hour across midnight.
    QList<qint64> offsets = every(0, 14 * 3600, 1800);
    QList<QsoRecord> log;
    for (qint64 s : offsets)
        log.append(contactAt(QDateTime(QDate(2026, 7, 31), QTime(22, 0), Qt::UTC).addSecs(s)));
    QsoGraph g;
    QVERIFY(g.build(log));
    QCOMPARE(g.timeLabel(0), QStringLiteral("22:00"));
    QCOMPARE(g.dateLabel(0), QStringLiteral("07/31"));
    QCOMPARE(g.timeLabel(2), QStringLiteral("00:00"));
    QCOMPARE(g.dateLabel(2), QStringLiteral("08/01"));
    QCOMPARE(g.timeLabel(14), QStringLiteral("12:00"));
    // One contact per half hour is 6 an hour between pauses: range 0..6 in steps of 0.375.
    QCOMPARE(g.rateLabel(0, QLocale::c()), QStringLiteral("0.0"));
    QCOMPARE(g.rateLabel(4, QLocale::c()), QStringLiteral("1.5"));
    QCOMPARE(g.rateLabel(16, QLocale::c()), QStringLiteral("6.0"));
    QCOMPARE(g.rateLabel(5, QLocale(QLocale::German)), QStringLiteral("1,9"));
}

void TstQsoGraph::outOfOrderAndUnreadableRecords()
{
    const QList<qint64> inOrder = every(0, 3600, 120);
    QsoGraph expected;
    QVERIFY(expected.build(logAtOffsets(inOrder)));

    // A contact typed in late with its real (earlier) time, and one with a broken time.
    QList<QsoRecord> log = logAtOffsets(inOrder);
    const QsoRecord late = log.takeAt(5);
    log.append(late);
    QsoRecord broken = contactAt(kStart);
    broken.time = QStringLiteral("99:99");
    log.insert(3, broken);

    QsoGraph g;
    QVERIFY(g.build(log));
    QCOMPARE(g.contactCount(), int(inOrder.size()));
    QCOMPARE(g.spanSeconds(), qint64(3600));
    for (int p = 1; p <= QsoGraph::kPoints; ++p)
        QCOMPARE(g.smoothed(p), expected.smoothed(p));
}

void TstQsoGraph::placementRoundsHalvesToEven()
{
    // 2.4 s per point: 6 s is point 2.5 -> 2, 18 s is point 7.5 -> 8.
    QsoGraph g;
    QVERIFY(g.build(logAtOffsets({0, 6, 18, 3000, 3100, 3200, 3600})));
    QCOMPARE(g.raw(2), 12.0f);
    QCOMPARE(g.raw(8), 18.0f);
    QCOMPARE(g.raw(7), 12.0f + 4 * (18.0f - 12.0f) / 5);  // ramp 2 -> 8 starts at point 3
}

void TstQsoGraph::firstPointsNearTheStart_data()
{
    // 15000 s over 1500 points: 10 s a point, so 4 s rounds to point 0 and 12 s to point 1.
    QTest::addColumn<QList<qint64>>("offsets");
    QTest::addColumn<float>("raw0");
    QTest::addColumn<float>("raw1");
    QTest::addColumn<float>("smoothed7");
    QTest::newRow("second contact on point 0")
        << QList<qint64>{0, 4, 5000, 5100, 10000, 14990, 15000} << 12.0f << 6.0f << 6.0f;
    QTest::newRow("third contact onto point 1")
        << QList<qint64>{0, 4, 12, 5000, 10000, 14990, 15000} << 12.0f << 18.0f << 18.0f;
}

void TstQsoGraph::firstPointsNearTheStart()
{
    QFETCH(QList<qint64>, offsets);
    QFETCH(float, raw0);
    QFETCH(float, raw1);
    QFETCH(float, smoothed7);
    QsoGraph g;
    QVERIFY(g.build(logAtOffsets(offsets)));
    QCOMPARE(g.raw(0), raw0);
    QCOMPARE(g.raw(1), raw1);
    // The line starts at the first contact's own rate whatever lands near it.
    QCOMPARE(g.smoothed(1), 6.0f);
    QCOMPARE(g.smoothed(7), smoothed7);
}

void TstQsoGraph::windowMessageAndBackground()
{
    FakeDialogs dialogs;
    const QList<QsoRecord> six = logAtOffsets(every(0, 300, 60));
    {
        GraphQSO w(six, dialogs);
        w.drawGraph();
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown[0].title, QStringLiteral("Not Enough Contacts to Graph."));
        QCOMPARE(dialogs.shown[0].text, GraphQSO::kTooFewText);
        QVERIFY(w.findChild<QLabel *>(QStringLiteral("lblTime_0"))->isHidden());
    }
    dialogs.shown.clear();
    const QList<QsoRecord> seven = logAtOffsets(every(0, 360, 60));
    GraphQSO w(seven, dialogs);
    QCOMPARE(w.windowTitle(), GraphQSO::kTitle);
    w.drawGraph();
    w.show();
    QVERIFY(dialogs.shown.isEmpty());
    auto *time0 = w.findChild<QLabel *>(QStringLiteral("lblTime_0"));
    auto *date14 = w.findChild<QLabel *>(QStringLiteral("lblDate_14"));
    auto *y16 = w.findChild<QLabel *>(QStringLiteral("lblY_16"));
    QVERIFY(time0 && date14 && y16);
    QVERIFY(time0->isVisible());
    QCOMPARE(time0->text(), QStringLiteral("00:01"));
    QCOMPARE(date14->text(), QStringLiteral("08/01"));
    // The peak: just after the sixth contact the average holds only its own 36 an hour.
    QCOMPARE(y16->text(), QLocale::system().toString(36.0, 'f', 1));

    auto *button = w.findChild<QPushButton *>(QStringLiteral("Command1"));
    QCOMPARE(button->text(), QStringLiteral("Black Background"));
    const QColor before = w.grab().toImage().pixelColor(2, 2);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(button->text(), QStringLiteral("White Background"));
    QVERIFY(!w.blackBackground());
    QCOMPARE(before, QColor(Qt::black));
    QCOMPARE(w.grab().toImage().pixelColor(2, 2), QColor(Qt::white));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(button->text(), QStringLiteral("Black Background"));
    QVERIFY(dialogs.shown.isEmpty());
}

void TstQsoGraph::screenshots()
{
    TestEnv env;
    QVERIFY(env.isValid());
    FakeDialogs dialogs;
    const QList<QsoRecord> log = contestWeekend();
    GraphQSO w(log, dialogs);
    w.fitToWorkArea();
    w.drawGraph();
    w.show();
    QVERIFY(w.graph().isReady());
    // The night's sleep shows as a gap in the activity strip.
    int idle = 0;
    for (int p = 2; p <= QsoGraph::kPoints; ++p)
        idle += w.graph().activeStep(p) ? 0 : 1;
    QVERIFY(idle > 100);
    const QString black = saveShot(w, env.path(), QStringLiteral("graph-black.png"));
    QTest::mouseClick(w.findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);
    const QString white = saveShot(w, env.path(), QStringLiteral("graph-white.png"));
    QVERIFY(QFileInfo(black).size() > 0 && QFileInfo(white).size() > 0);
    qInfo("graph screenshots: %s, %s", qPrintable(black), qPrintable(white));
}

QTEST_MAIN(TstQsoGraph)
#include "tst_qsograph.moc"
