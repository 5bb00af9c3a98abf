// The band maps as the operator uses them: clicks, hover, the window and the spot panel.
#include "bandmap/bandmaprow.h"
#include "bandmap/bandmaps.h"
#include "bandmap/spectrummap.h"
#include "bandmap/spotpanel.h"
#include "fakes.h"

#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using namespace bandmap;

namespace {
struct Maps {
    FakeClock clock;
    FakeDialogs dialogs;
    QList<Spot> spots = QList<Spot>(50);
    QStringList worked;
    QWidget window;
    BandMaps maps{clock, dialogs,
                  {[this] { return spots; }, [this](int slot) { spots[slot].hz = 0; },
                   [this](const QString &call) { return worked.contains(call); }},
                  [] { return 5.0f; }};
    BandMapRow *strip = nullptr;

    Maps()
    {
        clock.set(QDateTime(QDate(2026, 12, 5), QTime(12, 0, 0)), 5);
        window.resize(640, 480);
        strip = maps.strip(&window);
        strip->setGeometry(6, 400, 620, 70);
        strip->show();
        window.show();
    }
    void spot(int slot, const QString &call, double mhz, const QString &prefix, int ageSeconds = 0)
    {
        spots[slot] = {call, hzOfMhz(mhz), clock.localNow().addSecs(-ageSeconds), prefix};
    }
    QPoint at(BandMapRow *row, int slot) const { return row->spotRect(slot).center(); }
};

// Runs `check` on the band map window once it is open, then closes it.
void whileOpen(BandMaps &maps, std::function<void(SpectrumMap *)> check)
{
    QTimer::singleShot(0, [&maps, check] {
        SpectrumMap *w = maps.spectrumMap();
        if (w) {
            check(w);
            w->reject();
        }
    });
}
}  // namespace

class TestBandMaps : public QObject {
    Q_OBJECT

private slots:
    void stripShowsSpotsAtTheirFrequencies()
    {
        Maps m;
        m.spot(40, "W1AW", 28.401, "W1");
        m.spot(49, "JA1ABC", 28.499, "JA1");
        m.spot(45, "DL1AA", 14.2, "DL1");
        m.maps.DisplayBandMapLabels();
        QCOMPARE(m.strip->scale().texts[2], QStringLiteral("28.450"));
        const QLine line = m.strip->line();
        const QRect low = m.strip->spotRect(40);
        const QRect high = m.strip->spotRect(49);
        QVERIFY(low.isValid() && high.isValid());
        QVERIFY(m.strip->spotRect(45).isNull());
        // 28.401 is a hundredth of the way along 28.400..28.500, 28.499 ninety-nine.
        const double len = line.x2() - line.x1();
        QVERIFY(qAbs(low.center().x() - (line.x1() + 0.01 * len)) <= 1);
        QVERIFY(qAbs(high.center().x() - (line.x1() + 0.99 * len)) <= 1);
        QVERIFY(low.bottom() < line.y1());
    }

    void stripRedrawsOnlyWhenShowing()
    {
        Maps m;
        m.spot(49, "W1AW", 28.4, "W1");
        m.strip->hide();
        m.maps.DisplayBandMapLabels();
        QVERIFY(m.strip->spots().isEmpty());
        m.strip->show();
        m.maps.DisplayBandMapLabels();
        QCOMPARE(m.strip->spots().size(), 1);
    }

    void agedSpotsFadeAndVanish()
    {
        Maps m;
        m.spot(49, "W1AW", 28.4, "W1");
        m.maps.DisplayBandMapLabels();
        QCOMPARE(m.strip->spots().first().age, Age::Fresh);
        m.clock.advance(3599);
        m.maps.DisplayBandMapLabels();
        QCOMPARE(m.strip->spots().first().age, Age::Old);
        m.clock.advance(1);
        m.maps.DisplayBandMapLabels();
        QVERIFY(m.strip->spots().isEmpty());
    }

    // A station in the log is grey and struck through on the map, whatever its age, and the
    // hover line says it was worked; the others keep their age colour.
    void workedStationsAreGrey()
    {
        Maps m;
        m.spot(48, "W1AW", 28.4, "W1");
        m.spot(49, "KH6XX", 28.5, "KH6");
        m.worked << "W1AW";
        m.maps.DisplayBandMapLabels();
        const QImage picture = m.strip->grab().toImage();
        auto greyIn = [&](const QRect &r) {
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    if (picture.pixelColor(x, y) == BandMapRow::workedColour())
                        return true;
            return false;
        };
        QVERIFY(greyIn(m.strip->spotRect(48)));
        QVERIFY(!greyIn(m.strip->spotRect(49)));
        QSignalSpy hovered(&m.maps, &BandMaps::spotHovered);
        QTest::mouseMove(m.strip, m.at(m.strip, 48));
        QTRY_COMPARE(hovered.size(), 1);
        QVERIFY(hovered.first().first().toString().endsWith("(worked)"));
    }

    void rightClickPicksTheCall()
    {
        Maps m;
        m.spot(48, "W1AW", 28.4, "W1");
        m.spot(49, "KH6XX", 28.5, "KH6");
        m.maps.DisplayBandMapLabels();
        QSignalSpy picked(&m.maps, &BandMaps::callPicked);
        QTest::mouseClick(m.strip, Qt::RightButton, {}, m.at(m.strip, 48));
        QCOMPARE(picked.size(), 1);
        QCOMPARE(picked.first().first().toString(), QStringLiteral("W1AW"));
        QCOMPARE(m.spots[48].hz, 28400000);  // still on the map
    }

    void hoverShowsCallFrequencyAndTime()
    {
        Maps m;
        m.spot(49, "W1AW", 28.4, "W1", 90);
        m.maps.DisplayBandMapLabels();
        QSignalSpy hovered(&m.maps, &BandMaps::spotHovered);
        QTest::mouseMove(m.strip, m.at(m.strip, 49));
        QTRY_COMPARE(hovered.size(), 1);
        QCOMPARE(hovered.first().first().toString(), QStringLiteral("W1AW  28.400  16:58:30"));
    }

    void backgroundClickAsksForTheSpottingWindow()
    {
        Maps m;
        QSignalSpy wanted(&m.maps, &BandMaps::spottingWindowRequested);
        QTest::mouseClick(m.strip, Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(wanted.size(), 1);
    }

    // Left click on either map removes the spot from both; the right button does nothing on
    // the window.
    void leftClickRemovesFromBothMaps_data()
    {
        QTest::addColumn<bool>("fromWindow");
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("removed");
        QTest::newRow("strip left") << false << int(Qt::LeftButton) << true;
        QTest::newRow("strip middle") << false << int(Qt::MiddleButton) << true;
        QTest::newRow("window left") << true << int(Qt::LeftButton) << true;
        QTest::newRow("window right") << true << int(Qt::RightButton) << false;
    }
    void leftClickRemovesFromBothMaps()
    {
        QFETCH(bool, fromWindow);
        QFETCH(int, button);
        QFETCH(bool, removed);
        Maps m;
        m.spot(47, "W1AW", 28.4, "W1");
        m.spot(48, "DL1AA", 14.2, "DL1");
        m.spot(49, "KH6XX", 28.5, "KH6");
        m.maps.DisplayBandMapLabels();
        bool seen = false;
        QRect onWindowAfter;
        if (fromWindow) {
            whileOpen(m.maps, [&](SpectrumMap *w) {
                BandMapRow *ten = w->rows()[kTenMetreRow];
                seen = ten->spotRect(49).isValid() && w->rows()[4]->spotRect(48).isValid();
                QTest::mouseClick(ten, Qt::MouseButton(button), {}, m.at(ten, 49));
                onWindowAfter = ten->spotRect(49);
            });
            m.maps.showSpectrumMap(&m.window);
            QVERIFY(seen);
        } else {
            QTest::mouseClick(m.strip, Qt::MouseButton(button), {}, m.at(m.strip, 49));
            whileOpen(m.maps, [&](SpectrumMap *w) { onWindowAfter = w->rows()[kTenMetreRow]->spotRect(49); });
            m.maps.showSpectrumMap(&m.window);
        }
        QCOMPARE(m.spots[49].hz == 0, removed);
        QCOMPARE(onWindowAfter.isNull(), removed);
        QCOMPARE(m.strip->spotRect(49).isNull(), removed);
        QVERIFY(m.strip->spotRect(47).isValid());
        QVERIFY(m.maps.spectrumMap() == nullptr);
    }

    void windowShowsElevenRows()
    {
        Maps m;
        m.spot(46, "A", 5.35, "A");
        m.spot(47, "B", 50.125, "B");
        m.spot(48, "C", 144.2, "C");
        m.spot(49, "D", 3.45, "D");
        QStringList seen;
        whileOpen(m.maps, [&](SpectrumMap *w) {
            seen << w->windowTitle() << QString::number(w->rows().size());
            for (BandMapRow *row : w->rows()) {
                for (const PlacedSpot &s : row->spots())
                    seen << row->objectName() + "=" + s.caption;
            }
            seen << w->rows()[0]->scale().texts[0] << w->rows()[10]->scale().texts[4];
        });
        m.maps.showSpectrumMap(&m.window);
        QCOMPARE(seen, (QStringList{" HF Spectrum Map", "11", "lblHFSpots_9=B", "lblHFSpots_10=C",
                                    "1.800", "148.000"}));
    }

    void doubleClickOnStripOpensTheWindow()
    {
        Maps m;
        bool opened = false;
        whileOpen(m.maps, [&](SpectrumMap *) { opened = true; });
        // As a real double click arrives: a click, then the double-click press.
        QTest::mouseClick(m.strip, Qt::LeftButton, {}, QPoint(3, 3));
        QTest::mouseDClick(m.strip, Qt::LeftButton, {}, QPoint(3, 3));
        QVERIFY(opened);
    }

    // Two quick clicks on a label remove it; the second must not open the window.
    void doubleClickOnALabelRemovesOnly()
    {
        Maps m;
        m.spot(49, "W1AW", 28.4, "W1");
        m.maps.DisplayBandMapLabels();
        const QPoint label = m.at(m.strip, 49);
        bool opened = false;
        whileOpen(m.maps, [&](SpectrumMap *) { opened = true; });
        QTest::mouseClick(m.strip, Qt::LeftButton, {}, label);
        QTest::mouseDClick(m.strip, Qt::LeftButton, {}, label);
        QCOMPARE(m.spots[49].hz, 0);
        QVERIFY(!opened);
        QCoreApplication::processEvents();  // let the pending check run while nothing is open
    }

    // The main window's controls give up a tenth of their height to the spot panel and get it
    // back when the source is None.
    void packetResize_data()
    {
        QTest::addColumn<QStringList>("steps");  // "band", "list" or "none"
        QTest::addColumn<bool>("stripShown");
        QTest::addColumn<bool>("listShown");
        QTest::addColumn<bool>("shrunk");
        QTest::newRow("band map") << QStringList{"band"} << true << false << true;
        QTest::newRow("list") << QStringList{"list"} << false << true << true;
        QTest::newRow("band then list") << QStringList{"band", "list"} << false << true << true;
        QTest::newRow("list then band") << QStringList{"list", "band"} << true << false << true;
        QTest::newRow("band then none") << QStringList{"band", "none"} << false << false << false;
        QTest::newRow("none alone") << QStringList{"none"} << false << false << false;
        QTest::newRow("twice band") << QStringList{"band", "band"} << true << false << true;
    }
    void packetResize()
    {
        QFETCH(QStringList, steps);
        QFETCH(bool, stripShown);
        QFETCH(bool, listShown);
        QFETCH(bool, shrunk);
        Maps m;
        m.strip->hide();
        auto *call = new QLabel(&m.window);
        call->setGeometry(10, 100, 200, 40);
        auto *recent = new QTreeWidget(&m.window);
        recent->setGeometry(10, 200, 300, 200);
        auto *list = new QTreeWidget(&m.window);
        SpotPanel panel(&m.window, m.maps);
        panel.setList(list);
        for (const QString &s : steps)
            panel.PacketResize(s == "none", s == "list" ? SpotPanel::Display::List : SpotPanel::Display::BandMap);
        QCOMPARE(panel.stripShowing(), stripShown);
        QCOMPARE(panel.listShowing(), listShown);
        QCOMPARE(call->geometry(), shrunk ? QRect(10, 90, 200, 36) : QRect(10, 100, 200, 40));
        QCOMPARE(recent->geometry(), shrunk ? QRect(10, 180, 300, 180) : QRect(10, 200, 300, 200));
        if (shrunk) {
            // Below the lowest control, 1 % in and 97 % wide, to the foot of the window.
            const QRect area = m.strip->geometry();
            QCOMPARE(list->geometry(), area);
            QVERIFY(area.top() > recent->geometry().bottom());
            QCOMPARE(area.left(), 6);
            QCOMPARE(area.width(), 621);
            QVERIFY(area.bottom() < 480 && area.bottom() > 470);
        }
    }
};

QTEST_MAIN(TestBandMaps)
#include "tst_bandmaps.moc"
