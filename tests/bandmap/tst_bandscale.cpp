// The band-map arithmetic both maps draw from: rows, zoom, placement and age.
#include "bandmap/bandscale.h"

#include <QTest>

using namespace bandmap;

namespace {
const QDateTime kNow(QDate(2026, 12, 5), QTime(12, 0, 0));

QList<Spot> spotsAt(const QList<double> &freqs)
{
    QList<Spot> out;
    for (double f : freqs)
        out.append({QStringLiteral("K1ABC"), hzOfMhz(f), kNow, QStringLiteral("K1")});
    return out;
}
}  // namespace

class TestBandScale : public QObject {
    Q_OBJECT

private slots:
    void rowMembership_data()
    {
        QTest::addColumn<double>("freq");
        QTest::addColumn<int>("row");
        QTest::newRow("5.35 between bands") << 5.35 << -1;
        QTest::newRow("3.45 below 80 m") << 3.45 << -1;
        QTest::newRow("1.8 lower edge") << 1.8 << -1;
        QTest::newRow("1.85 160 m") << 1.85 << 0;
        QTest::newRow("14.000 edge") << 14.0 << -1;
        QTest::newRow("14.025") << 14.025 << 4;
        QTest::newRow("14.35 edge") << 14.35 << -1;
        QTest::newRow("10.15 edge") << 10.15 << -1;
        QTest::newRow("10.1499 30 m") << 10.1499 << 3;
        QTest::newRow("18.068 edge") << 18.068 << -1;
        QTest::newRow("18.1 17 m") << 18.1 << 5;
        QTest::newRow("7.3 edge") << 7.3 << -1;
        QTest::newRow("28.000 edge") << 28.0 << -1;
        QTest::newRow("29.700 edge") << 29.7 << -1;
        QTest::newRow("28.4 10 m") << 28.4 << kTenMetreRow;
        QTest::newRow("50.125 6 m") << 50.125 << 9;
        QTest::newRow("144.2 2 m") << 144.2 << 10;
        QTest::newRow("0 removed") << 0.0 << -1;
    }
    void rowMembership()
    {
        QFETCH(double, freq);
        QFETCH(int, row);
        QCOMPARE(rowOf(hzOfMhz(freq)), row);
    }

    void zoom_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QList<double>>("freqs");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("no spots") << kTenMetreRow << QList<double>{}
                                  << QStringList{"28.000", "28.425", "28.850", "29.275", "29.700"};
        QTest::newRow("one spot keeps the band")
            << kTenMetreRow << QList<double>{28.45}
            << QStringList{"28.000", "28.425", "28.850", "29.275", "29.700"};
        QTest::newRow("same frequency twice keeps the band")
            << kTenMetreRow << QList<double>{28.45, 28.45}
            << QStringList{"28.000", "28.425", "28.850", "29.275", "29.700"};
        QTest::newRow("two spots zoom with margin")
            << kTenMetreRow << QList<double>{28.401, 28.499}
            << QStringList{"28.400", "28.425", "28.450", "28.475", "28.500"};
        QTest::newRow("other bands and edges ignored")
            << kTenMetreRow << QList<double>{14.2, 28.0, 29.7, 28.401, 0, 28.499, 50.1}
            << QStringList{"28.400", "28.425", "28.450", "28.475", "28.500"};
        QTest::newRow("6 m zooms on its own spots")
            << 9 << QList<double>{28.5, 50.125, 50.2}
            << QStringList{"50.124", "50.143", "50.163", "50.182", "50.201"};
        QTest::newRow("160 m full range") << 0 << QList<double>{1.85}
                                          << QStringList{"1.800", "1.850", "1.900", "1.950", "2.000"};
    }
    void zoom()
    {
        QFETCH(int, row);
        QFETCH(QList<double>, freqs);
        QFETCH(QStringList, texts);
        const Scale s = zoomScale(kRows[size_t(row)], spotsAt(freqs));
        QCOMPARE(QStringList(s.texts.begin(), s.texts.end()), texts);
        QCOMPARE(s.lo, texts.first().toDouble());
        QCOMPARE(s.hi, texts.last().toDouble());
    }

    void age_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<int>("age");
        QTest::newRow("new") << 0 << int(Age::Fresh);
        QTest::newRow("599") << 599 << int(Age::Fresh);
        QTest::newRow("600") << 600 << int(Age::Recent);
        QTest::newRow("1799") << 1799 << int(Age::Recent);
        QTest::newRow("1800") << 1800 << int(Age::Old);
        QTest::newRow("3599") << 3599 << int(Age::Old);
        QTest::newRow("3600") << 3600 << int(Age::Expired);
        QTest::newRow("clock set back") << -300 << int(Age::Fresh);
    }
    void age()
    {
        QFETCH(int, seconds);
        QFETCH(int, age);
        QCOMPARE(int(ageOf(kNow.addSecs(-seconds), kNow)), age);
    }

    // Which spots each map draws, where, and with what text.
    void placement()
    {
        QList<Spot> spots(50);
        spots[0] = {"W1OLD", hzOfMhz(29.5), kNow.addSecs(-3000), "W1"};          // oldest slot still counts
        spots[10] = {"JA1XYZ", hzOfMhz(28.0), kNow, "JA1"};                      // on the edge
        spots[20] = {"DL1AA", hzOfMhz(14.2), kNow, "DL1"};                       // listed only on the strip
        spots[30] = {"G3ZZZ", hzOfMhz(28.6), kNow.addSecs(-3600), "G3"};         // an hour old
        spots[40] = {"VE3XX", 0, kNow, "VE3"};                           // removed
        spots[48] = {"K1LOW", hzOfMhz(28.1), kNow.addSecs(-700), "K1"};
        spots[49] = {"N2NEW", hzOfMhz(29.2), kNow.addSecs(-5), "N2"};

        const MapPicture strip = layout(spots, {kTenMetreRow}, kNow, 5);
        QCOMPARE(strip.scales.size(), 1);
        // The oldest slot counts for the zoom too: 28.1 and 29.5 bound it.
        QCOMPARE(strip.scales[0].texts[0], QStringLiteral("28.099"));
        QCOMPARE(strip.scales[0].texts[4], QStringLiteral("29.501"));
        QList<int> drawn;
        for (const PlacedSpot &p : strip.spots)
            drawn.append(p.slot);
        QCOMPARE(drawn, (QList<int>{0, 48, 49}));
        QCOMPARE(strip.spots[0].age, Age::Old);
        QCOMPARE(strip.spots[1].age, Age::Recent);
        QCOMPARE(strip.spots[2].age, Age::Fresh);
        QCOMPARE(strip.spots[2].caption, QStringLiteral("N2"));
        QCOMPARE(strip.spots[2].text, QStringLiteral("N2NEW  29.200  16:59:55"));
        const Scale &s = strip.scales[0];
        QVERIFY(qAbs(strip.spots[1].fraction - (28.1 - s.lo) / (s.hi - s.lo)) < 1e-9);
        QVERIFY(strip.spots[0].fraction > 0.99 && strip.spots[0].fraction < 1);

        QList<int> all;
        for (int r = 0; r < int(kRows.size()); ++r)
            all.append(r);
        const MapPicture window = layout(spots, all, kNow, 5);
        QCOMPARE(window.scales.size(), 11);
        QCOMPARE(window.scales[kTenMetreRow].texts, strip.scales[0].texts);
        drawn.clear();
        for (const PlacedSpot &p : window.spots)
            drawn.append(p.slot);
        QCOMPARE(drawn, (QList<int>{0, 20, 48, 49}));
        QCOMPARE(window.spots[1].row, 4);
        QVERIFY(qAbs(window.spots[1].fraction - 0.2 / 0.35) < 1e-6);  // 14.2 on 14.000..14.350
    }

    void spotTextOffset_data()
    {
        QTest::addColumn<float>("offset");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole hours") << 5.0f << "W1AW  28.400  17:30:00";
        QTest::newRow("half hour") << -5.5f << "W1AW  28.400  07:00:00";
        QTest::newRow("across midnight") << 12.0f << "W1AW  28.400  00:30:00";
    }
    void spotTextOffset()
    {
        QFETCH(float, offset);
        QFETCH(QString, text);
        const Spot spot{"W1AW", 28400000, QDateTime(QDate(2026, 12, 5), QTime(12, 30, 0)), "W1"};
        QCOMPARE(spotText(spot, offset), text);
    }
};

QTEST_GUILESS_MAIN(TestBandScale)
#include "tst_bandscale.moc"
