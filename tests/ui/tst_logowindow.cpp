#include "fakes.h"
#include "ui/logowindow.h"

#include <QImage>
#include <QPointer>
#include <QtTest>

class TestLogoWindow : public QObject {
    Q_OBJECT
private slots:
    void builtInPictureClosesItself();
    void splashFileShownAndClickCloses();
};

void TestLogoWindow::builtInPictureClosesItself()
{
    TestEnv env;
    QPointer<frmKorvexLogo> logo = showLogo(env.path());  // no splash.jpg there
    QVERIFY(logo);
    QVERIFY(logo->isVisible());
    QVERIFY(!logo->showsSplashFile());
    // The picture is drawn, not blank: the name stands in white on the dark ground.
    const QImage picture = frmKorvexLogo::builtInPicture(logo->size()).toImage();
    QSet<QRgb> colours;
    for (int x = 0; x < picture.width(); x += 2)
        colours.insert(picture.pixel(x, picture.height() / 2));
    QVERIFY(colours.contains(qRgb(255, 255, 255)));
    // Returns at once and goes by itself; the start-up never waits for it.
    QTRY_VERIFY_WITH_TIMEOUT(logo.isNull(), frmKorvexLogo::kShowMs + 2000);
}

void TestLogoWindow::splashFileShownAndClickCloses()
{
    TestEnv env;
    QImage splash(120, 80, QImage::Format_RGB32);
    splash.fill(Qt::darkGreen);
    QVERIFY(splash.save(env.file("splash.jpg"), "JPG"));
    QPointer<frmKorvexLogo> logo = showLogo(env.path());
    QVERIFY(logo->showsSplashFile());
    QCOMPARE(logo->size(), QSize(120, 80));
    QTest::mouseClick(logo.data(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(logo.isNull(), 1000);  // deleted on close
}

QTEST_MAIN(TestLogoWindow)
#include "tst_logowindow.moc"
