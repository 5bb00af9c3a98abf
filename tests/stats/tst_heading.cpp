#include "stats/heading.h"

#include <QTest>

#include <limits>

class TestHeading : public QObject {
    Q_OBJECT

private slots:
    void headingAndMiles_data()
    {
        QTest::addColumn<float>("ownLat");
        QTest::addColumn<float>("ownLong");
        QTest::addColumn<float>("lat");
        QTest::addColumn<float>("lng");
        QTest::addColumn<QString>("bearing");
        QTest::addColumn<QString>("miles");
        // Longitudes count positive west.
        QTest::newRow("to London") << 39.f << 77.f << 51.5f << 0.f << " 49" << " 3,662";
        QTest::newRow("same parallel, west") << 39.f << 77.f << 39.f << 100.f << " 277" << " 1,231";
        QTest::newRow("same parallel, east") << 39.f << 77.f << 39.f << 50.f << " 81" << " 1,443";
        QTest::newRow("to Japan") << 39.f << 77.f << 36.4f << -138.38f << " 332" << " 6,756";
        QTest::newRow("under a thousand") << 39.f << 77.f << 44.35f << 78.75f << " 347" << " 380";
        QTest::newRow("due north on the meridian") << 39.f << 77.f << 50.f << 77.f << " 0" << " 759";
        QTest::newRow("due south on the meridian") << 39.f << 77.f << 20.f << 77.f << " 180" << " 1,312";
        QTest::newRow("southern hemisphere") << -33.9f << -18.4f << -34.6f << 58.4f << " 245" << " 4,266";
    }
    void headingAndMiles()
    {
        QFETCH(float, ownLat);
        QFETCH(float, ownLong);
        QFETCH(float, lat);
        QFETCH(float, lng);
        QFETCH(QString, bearing);
        QFETCH(QString, miles);
        const HeadingLabels got = hdcalc(ownLat, ownLong, lat, lng, QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(got.bearing, bearing);
        QCOMPARE(got.miles, miles);
    }

    void noAnswerBlanksBoth_data()
    {
        const float nan = std::numeric_limits<float>::quiet_NaN();
        const float inf = std::numeric_limits<float>::infinity();
        QTest::addColumn<float>("ownLat");
        QTest::addColumn<float>("ownLong");
        QTest::addColumn<float>("lat");
        QTest::addColumn<float>("lng");
        QTest::newRow("same place") << 39.f << 77.f << 39.f << 77.f;
        QTest::newRow("antipodes") << 39.f << 77.f << -39.f << -103.f;
        QTest::newRow("not a number") << 39.f << 77.f << nan << 0.f;
        QTest::newRow("own not a number") << 39.f << nan << 51.5f << 0.f;
        QTest::newRow("infinite") << inf << 77.f << 51.5f << 0.f;
    }
    void noAnswerBlanksBoth()
    {
        QFETCH(float, ownLat);
        QFETCH(float, ownLong);
        QFETCH(float, lat);
        QFETCH(float, lng);
        const HeadingLabels got = hdcalc(ownLat, ownLong, lat, lng, QLocale::c());
        QCOMPARE(got.bearing, QString());
        QCOMPARE(got.miles, QString());
    }

    void thousandsSeparatorFollowsLocale()
    {
        QCOMPARE(hdcalc(39, 77, 51.5f, 0, QLocale(QLocale::German, QLocale::Germany)).miles, QString(" 3.662"));
        QCOMPARE(hdcalc(39, 77, 51.5f, 0, QLocale::c()).miles, QString(" 3,662"));
        // Without a locale argument the default locale decides.
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        const QString french = hdcalc(39, 77, 51.5f, 0).miles;
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        const QString english = hdcalc(39, 77, 51.5f, 0).miles;
        QLocale::setDefault(before);
        QCOMPARE(french, QString(" 3") + QLocale(QLocale::French).groupSeparator() + "662");
        QCOMPARE(english, QString(" 3,662"));
    }
};

QTEST_GUILESS_MAIN(TestHeading)
#include "tst_heading.moc"
