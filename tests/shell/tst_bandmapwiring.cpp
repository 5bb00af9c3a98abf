// The band maps on the real main window, driven as an operator would.
#include "mainwindowharness.h"

#include "bandmap/bandmaprow.h"
#include "bandmap/bandmaps.h"
#include "bandmap/spectrummap.h"
#include "shell/bandmapwiring.h"
#include "spotting/spotstore.h"

#include <QMenu>

namespace {
// A cluster line in its fixed columns: frequency in kHz at 16, call at 27.
QString clusterRecord(const QString &kHz, const QString &call)
{
    return QStringLiteral("de W3LPL:     %1  %2 CQ 10-10                 1423Z").arg(kHz, 9).arg(call, -12);
}

struct Spotted : MainWindowHarness {
    BandMapRow *strip = nullptr;

    Form1 &startWithStrip()
    {
        writePreferences();
        writeLog({rec("W1AW")});
        Form1 &f = start();
        f.bandMaps().PacketResize(false, SpotPanel::Display::BandMap);
        strip = find<BandMapRow>("lblDX");
        return f;
    }
    void spot(const QString &call, const QString &kHz)
    {
        window->spotStore().BandMapSpots(call, kHz, clusterRecord(kHz, call));
    }
    // Runs `check` on the band map window once it is open, then closes it.
    void whileOpen(std::function<void(SpectrumMap *)> check)
    {
        QTimer::singleShot(0, [this, check] {
            if (SpectrumMap *w = window->bandMaps().maps().spectrumMap()) {
                check(w);
                w->reject();
            }
        });
    }
};
}  // namespace

class TestBandMapWiring : public QObject {
    Q_OBJECT

private slots:
    void stripRedrawsOnEachSpot()
    {
        Spotted h;
        h.startWithStrip();
        QVERIFY(h.strip && h.strip->isVisible());
        h.spot("JA1XYZ", "28401.0");
        h.spot("W1AW", "28499.0");
        h.spot("DL1AA", "14025.0");
        QCOMPARE(h.strip->spots().size(), 2);
        // A screen reader reads the map as its spots, the worked one marked.
        QCOMPARE(h.strip->accessibleName(), QStringLiteral("10 m band map"));
        QVERIFY(h.strip->accessibleDescription().contains(QStringLiteral("JA1XYZ")));
        QVERIFY(h.strip->accessibleDescription().contains(QStringLiteral("(worked)")));
        QCOMPARE(h.strip->scale().texts[0], QStringLiteral("28.400"));
        QCOMPARE(h.strip->scale().texts[4], QStringLiteral("28.500"));
        // The strip sits under the other controls, which made room for it.
        QVERIFY(h.strip->geometry().top() > h.find<QTreeWidget>("ListView1")->geometry().bottom());
    }

    // Right button on a label: the call goes into the entry line and the leave handling runs.
    void rightClickPicksIntoTheEntryLine_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<bool>("dupe");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("status");
        QTest::newRow("new station") << "JA1XYZ" << false << "txtRSTR" << "";
        QTest::newRow("worked before")
            << "W1AW" << true << "txtCall" << "Duplicate W1AW BOB CT 2026/12/05 16:00:00  Rec#  1";
    }
    void rightClickPicksIntoTheEntryLine()
    {
        QFETCH(QString, call);
        QFETCH(bool, dupe);
        QFETCH(QString, focus);
        QFETCH(QString, status);
        Spotted h;
        h.startWithStrip();
        h.spot(call, "28400.0");
        h.spot("K5ABC", "28500.0");
        QTest::mouseClick(h.strip, Qt::RightButton, {}, h.strip->spotRect(48).center());
        QCOMPARE(h.window->dupeFound(), dupe);
        QCOMPARE(h.focusName(), focus);
        QCOMPARE(h.label("lblDialog"), status);
        if (!dupe) {
            QCOMPARE(h.field("txtCall")->text(), call);
            QCOMPARE(h.field("txtCntry")->text(), QStringLiteral("Japan"));
        }
    }

    // The same from the keyboard: Alt+Right and Alt+Left step along the band, showing each spot
    // as the hover does; Alt+Down picks it, with the dupe check; with nothing stepped to, the
    // newest spot is picked.
    void keysStepAndPickWithoutTheMouse()
    {
        Spotted h;
        h.startWithStrip();
        h.spot("K5ABC", "28500.0");
        h.spot("JA1XYZ", "28400.0");  // the newest, lower on the band
        h.field("txtCall")->setFocus();
        h.key(Qt::Key_Down);  // no modifier: not a band-map key
        QTest::keyClick(h.field("txtCall"), Qt::Key_Right, Qt::AltModifier);
        QVERIFY(h.label("lblDupe").contains("JA1XYZ"));
        QTest::keyClick(h.field("txtCall"), Qt::Key_Right, Qt::AltModifier);
        QVERIFY(h.label("lblDupe").contains("K5ABC"));
        QTest::keyClick(h.field("txtCall"), Qt::Key_Right, Qt::AltModifier);  // stays at the top
        QVERIFY(h.label("lblDupe").contains("K5ABC"));
        QTest::keyClick(h.field("txtCall"), Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(h.field("txtCall")->text(), QStringLiteral("K5ABC"));
        QCOMPARE(h.focusName(), QStringLiteral("txtRSTR"));

        h.field("txtCall")->clear();
        h.field("txtCall")->setFocus();
        QTest::keyClick(h.field("txtCall"), Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(h.field("txtCall")->text(), QStringLiteral("JA1XYZ"));
    }

    void hoverShowsTheSpotInTheDupeLine()
    {
        Spotted h;
        h.startWithStrip();
        h.spot("JA1XYZ", "28401.0");
        QTest::mouseMove(h.strip, h.strip->spotRect(49).center());
        // Local 12:00 and offset 5: the spot came in at 17:00 UTC.
        QTRY_COMPARE(h.label("lblDupe"), QStringLiteral("JA1XYZ  28.401  17:00:00"));
    }

    void leftClickRemovesFromBothMapsNotFromTheList()
    {
        Spotted h;
        h.startWithStrip();
        h.spot("JA1XYZ", "28401.0");
        h.spot("K5ABC", "28450.0");
        h.spot("W1AW", "28499.0");
        QTest::mouseClick(h.strip, Qt::LeftButton, {}, h.strip->spotRect(48).center());
        QVERIFY(h.strip->spotRect(48).isNull());
        QVERIFY(h.strip->spotRect(49).isValid());
        QCOMPARE(h.window->spotStore().dxList().size(), 3);

        // The window opened by Ctrl+B agrees; a click there takes the spot off the strip too.
        QStringList onWindow;
        h.whileOpen([&](SpectrumMap *w) {
            BandMapRow *ten = w->rows()[bandmap::kTenMetreRow];
            for (const bandmap::PlacedSpot &s : ten->spots())
                onWindow << s.text.section(' ', 0, 0);
            QTest::mouseClick(ten, Qt::LeftButton, {}, ten->spotRect(49).center());
        });
        h.key(Qt::Key_Escape);  // clear whatever the entry line holds first
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(onWindow, (QStringList{"JA1XYZ", "W1AW"}));
        QVERIFY(h.strip->spotRect(49).isNull());
        QVERIFY(h.strip->spotRect(47).isValid());
        QCOMPARE(h.window->spotStore().dxList().size(), 3);
        QVERIFY(!h.window->bandMaps().maps().spectrumMap());
    }

    void menuOpensTheWindow()
    {
        Spotted h;
        h.startWithStrip();
        auto *view = h.window->findChild<QAction *>("mnuViewSpectrumMap");
        QVERIFY(view && view->isVisible());
        QCOMPARE(view->text(), QStringLiteral("&View Spectrum Map"));
        QString title;
        h.whileOpen([&](SpectrumMap *w) { title = w->windowTitle(); });
        view->trigger();
        QCOMPARE(title, QStringLiteral(" HF Spectrum Map"));
    }

    // The DX list the program shows: a click picks a row's call through the same leave step as
    // a strip pick (dupe check, lookup, on to the name); a double click opens the band map window.
    void dxListPicksAndOpens_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<bool>("dupe");
        QTest::addColumn<QString>("focus");
        QTest::newRow("new station") << "JA1XYZ" << false << "txtRSTR";
        QTest::newRow("worked before") << "W1AW" << true << "txtCall";
    }
    void dxListPicksAndOpens()
    {
        QFETCH(QString, call);
        QFETCH(bool, dupe);
        QFETCH(QString, focus);
        Spotted h;
        h.startWithStrip();
        h.window->bandMaps().PacketResize(false, SpotPanel::Display::List);
        auto *list = h.find<QTreeWidget>("txtDX");
        QVERIFY(list && list->isVisible() && !h.strip->isVisible());
        QCOMPARE(list->geometry(), h.strip->geometry());
        h.spot(call, "28400.0");
        h.field("txtRSTR")->setFocus();
        const QRect row = list->visualItemRect(list->topLevelItem(0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
        QCOMPARE(h.window->dupeFound(), dupe);
        QCOMPARE(h.focusName(), focus);
        if (!dupe) {
            QCOMPARE(h.field("txtCall")->text(), call);
            QTest::keyClicks(QApplication::focusWidget(), "BOB");
            QCOMPARE(h.field("txtRSTR")->text(), QStringLiteral("BOB"));
            QCOMPARE(h.field("txtCall")->text(), call);
        }
        bool opened = false;
        h.whileOpen([&](SpectrumMap *) { opened = true; });
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row.center());
        QVERIFY(opened);
        QVERIFY(!h.dialogs.wasShown("Form Resize Error"));
    }

    void noneGivesTheRoomBack()
    {
        Spotted h;
        h.startWithStrip();
        const QRect shrunk = h.find<QTreeWidget>("ListView1")->geometry();
        h.window->bandMaps().PacketResize(true, SpotPanel::Display::BandMap);
        QVERIFY(!h.strip->isVisible());
        const QRect back = h.find<QTreeWidget>("ListView1")->geometry();
        QVERIFY(qAbs(back.height() * 0.9 - shrunk.height()) <= 1);
        QVERIFY(qAbs(back.top() * 0.9 - shrunk.top()) <= 1);
    }
};

QTEST_MAIN(TestBandMapWiring)
#include "tst_bandmapwiring.moc"
