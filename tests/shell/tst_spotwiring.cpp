#include "mainwindowharness.h"
#include "spotting/spotstore.h"
#include "spotting/packetspotfrm.h"
#include "../spotting/spotfixtures.h"

#include <QListWidget>
#include <QRadioButton>
#include <QMenu>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTcpServer>

class TestSpotWiring : public QObject {
    Q_OBJECT

private slots:
    void ctrlDAndMenuOpenTheWindowOnce();
    void spotsReachTheDxListAndOwnCallAlerts();
    void doneShowsTheListUnderTheContacts();
    void bandMapToListWhileRunning();
};

void TestSpotWiring::ctrlDAndMenuOpenTheWindowOnce()
{
    MainWindowHarness h;
    h.writePreferences();
    Form1 &form = h.start();
    QVERIFY(!form.findChild<PacketSpotfrm *>());
    h.type("txtCall", "W1");
    QTest::keyClick(h.field("txtCall"), Qt::Key_D, Qt::ControlModifier);
    auto *window = form.findChild<PacketSpotfrm *>();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QCOMPARE(window->windowTitle(), QString(" DX Spotting Setup"));
    QCOMPARE(h.field("txtCall")->text(), QString("W1"));  // Ctrl+D typed nothing
    // Escape closes it as Done does, from any of its fields.
    QVERIFY(!QFile::exists(h.env.file("PackSpot.txt")));
    QTest::keyClick(window->findChild<QLineEdit *>("txtTelnetHost"), Qt::Key_Escape);
    QVERIFY(!window->isVisible());
    QVERIFY(QFile::exists(h.env.file("PackSpot.txt")));

    QAction *configure = form.findChild<QAction *>("mnuDXSpotting");
    QVERIFY(configure);
    QCOMPARE(configure->text(), QString("&Configure"));
    configure->trigger();
    QCOMPARE(form.findChildren<PacketSpotfrm *>().size(), 1);
    QVERIFY(window->isVisible());
    window->cmdDone_Click();
    QVERIFY(!window->isVisible());
}

void TestSpotWiring::spotsReachTheDxListAndOwnCallAlerts()
{
    MainWindowHarness h;
    h.writePreferences("K1XYZ");
    Form1 &form = h.start();
    SpotStore *store = &form.spotStore();
    QSignalSpy changed(store, &SpotStore::spotsChanged);
    auto *txtDX = form.findChild<QTreeWidget *>("txtDX");
    QVERIFY(txtDX);
    const QString line = clusterLine("W3LPL", "28025.0", "JA1XYZ", "CW") + "\r\n";
    store->BandMapSpots("JA1XYZ", "28025.0", line.mid(3).trimmed());
    QCOMPARE(changed.count(), 1);
    QCOMPARE(txtDX->topLevelItemCount(), 1);
    QCOMPARE(txtDX->topLevelItem(0)->text(0), QString("JA1XYZ"));
    QCOMPARE(txtDX->topLevelItem(0)->text(1), QString("28.025"));
    QCOMPARE(txtDX->topLevelItem(0)->text(2), QString("Japan"));
    QCOMPARE(txtDX->topLevelItem(0)->text(6), QString("1423"));

    store->BandMapSpots("K1XYZ", "garbled", "de W3LPL: K1XYZ");
    QCOMPARE(h.label("lblDialog"), QString("You've been spotted! "));
    QCOMPARE(h.label("lblDupe"), QString("You've been spotted!  de W3LPL: K1XYZ"));
    QCOMPARE(txtDX->topLevelItemCount(), 1);

    // A click on a spot puts its call in the entry line.
    emit txtDX->itemClicked(txtDX->topLevelItem(0), 0);
    QCOMPARE(h.field("txtCall")->text(), QString("JA1XYZ"));
}

void TestSpotWiring::doneShowsTheListUnderTheContacts()
{
    MainWindowHarness h;
    h.writePreferences();
    h.env.write("PackSpot.txt", "\"9600\"\r\n\"N\"\r\n\"8\"\r\n\"1\"\r\n1\r\n\"N\"\r\n\"None\"\r\n0\r\n"
                                "1\r\n0\r\n#TRUE#\r\n\"03\"\r\n\"\"\r\n\"\"\r\n");
    Form1 &form = h.start();
    form.findChild<QAction *>("mnuDXSpotting")->trigger();
    auto *window = form.findChild<PacketSpotfrm *>();
    auto *txtDX = form.findChild<QTreeWidget *>("txtDX");
    window->cmdDone_Click();
    QVERIFY(!txtDX->isVisible());  // source None: the main window keeps its own display
    auto *contacts = form.findChild<QTreeWidget *>("ListView1");
    const int fullHeight = contacts->height();
    window->findChild<QListWidget *>("List1")->setCurrentRow(2);  // Telnet
    window->cmdDone_Click();
    QVERIFY(txtDX->isVisible());
    QVERIFY(contacts->height() < fullHeight);
    // At the foot of the window, over none of its other controls.
    for (QWidget *w : form.clientArea()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (w != txtDX && w->isVisible())
            QVERIFY2(!w->geometry().intersects(txtDX->geometry()), qPrintable(w->objectName()));
    }
    // Band Map instead: the strip takes the list's place.
    window->findChild<QRadioButton *>("OptBand")->setChecked(true);
    window->cmdDone_Click();
    QVERIFY(!txtDX->isVisible());
    auto *strip = form.findChild<QWidget *>("lblDX");
    QVERIFY(strip && strip->isVisible());
    QCOMPARE(strip->geometry(), txtDX->geometry());
}

// From the band map to the list while a cluster is connected: the list takes the strip's place
// at the foot, clear of the buttons under the contacts.
void TestSpotWiring::bandMapToListWhileRunning()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    MainWindowHarness h;
    h.writePreferences();
    Form1 &form = h.start();
    QTest::keyClick(h.field("txtCall"), Qt::Key_D, Qt::ControlModifier);
    auto *window = form.findChild<PacketSpotfrm *>();
    window->findChild<QListWidget *>("List1")->setCurrentRow(2);  // Telnet
    window->findChild<QLineEdit *>("txtTelnetHost")->setText("127.0.0.1");
    window->findChild<QLineEdit *>("txtTelnetPort")->setText(QString::number(server.serverPort()));
    window->findChild<QRadioButton *>("OptBand")->setChecked(true);
    window->Command1_Click();
    QTRY_VERIFY(server.hasPendingConnections());
    window->cmdDone_Click();
    auto *strip = form.findChild<QWidget *>("lblDX");
    QVERIFY(strip->isVisible());
    QTest::keyClick(h.field("txtCall"), Qt::Key_D, Qt::ControlModifier);
    window->findChild<QRadioButton *>("OptList")->setChecked(true);
    window->cmdDone_Click();
    auto *txtDX = form.findChild<QTreeWidget *>("txtDX");
    QVERIFY(txtDX->isVisible() && !strip->isVisible());
    for (QWidget *w : form.clientArea()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (w != txtDX && w->isVisible())
            QVERIFY2(!w->geometry().intersects(txtDX->geometry()), qPrintable(w->objectName()));
    }
}

QTEST_MAIN(TestSpotWiring)
#include "tst_spotwiring.moc"
