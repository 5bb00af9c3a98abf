// The main window's commands that change or protect the log: station setup at start, edit and
// delete from the list, backup at close, new log at start, archive and restore.
#include "mainwindowharness.h"

#include <QAction>
#include <QDirIterator>
#include <QPushButton>
#include <QTest>
#include <QUdpSocket>
#include <QXmlStreamReader>

namespace {
// Runs `fill` on the next modal dialog, then clicks its `button`.
void onNextModal(std::function<void(QWidget *)> fill, const QString &button)
{
    QTimer::singleShot(0, [fill, button] {
        QWidget *modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        fill(modal);
        QTest::mouseClick(modal->findChild<QPushButton *>(button), Qt::LeftButton);
    });
}

QStringList backups(const MainWindowHarness &h)
{
    return QDir(h.env.file("Documents/Korvex Software/Vardel/BACKUP")).entryList(QDir::Files);
}
}  // namespace

class TestMainWindowRecords : public QObject {
    Q_OBJECT

private slots:
    void stationSetupAtStartPublishesAndSaves()
    {
        MainWindowHarness h;
        h.settings.values["UserCallSign"] = "W1ABC";
        Form1 &w = h.start();
        QCOMPARE(w.preferences().ownCall, QString("W1ABC"));  // the stored default call
        QCOMPARE(h.label("Label2"), QString("W1ABC"));
        Preferences onDisk;
        QVERIFY(onDisk.load(h.env.file("tntnprf.txt")));
        QCOMPARE(onDisk.ownCall, QString("W1ABC"));
        const QByteArray xml = h.env.read("Documents/Korvex Software/Shared/SharedUserPreferences.xml");
        QVERIFY(xml.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n<OWN_CALL>W1ABC</OWN_CALL>\r\n"));
        QVERIFY(xml.endsWith("</OWN_TEN_TEN>\r\n"));

        // Setup from the menu: Phone checks the PH mode item and is stamped on the next contact.
        onNextModal([](QWidget *d) { QTest::mouseClick(d->findChild<QWidget *>("Option2"), Qt::LeftButton); },
                    "Command1");
        w.findChild<QAction *>("mnuSetup")->trigger();
        QApplication::setActiveWindow(&w);
        QVERIFY(w.findChild<QAction *>("mnuSSB")->isChecked());
        h.logContact("K1ABC", "BOB", "CT", "1");
        QVERIFY(h.logLines().value(0).endsWith("\"PH\""));
    }

    void editFromTheListRewritesTheFile()
    {
        MainWindowHarness h;
        h.writePreferences();
        h.writeLog({MainWindowHarness::rec("K1ABC"), MainWindowHarness::rec("W2XYZ", "NY"),
                    MainWindowHarness::rec("N3AA", "PA")});
        Form1 &w = h.start();
        auto *list = h.find<QTreeWidget>("ListView1");
        list->setCurrentItem(list->topLevelItem(1));  // Rec# 2 (newest first)
        QCOMPARE(list->currentItem()->text(0), QString("2"));
        onNextModal([](QWidget *d) {
            d->findChild<QLineEdit *>("txtEditNum")->setText("None");
            d->findChild<QLineEdit *>("txtEditCall")->setText("W2XYA");
        }, "cmdDone");
        w.cmdEdit_Click();
        QCOMPARE(h.logLines().value(1),
                 QString("\"W2XYA\",\"BOB\",\"NY\",\"None\",\"1\",\"2026/12/05\",\"16:00:00\",\"CW\""));
        QCOMPARE(h.label("lblTotSec"), QString("5"));
        QCOMPARE(list->topLevelItem(1)->text(1), QString("W2XYA"));

        // An edit into a dupe is refused; the file is rewritten unchanged.
        const QByteArray before = h.env.read("log.txt");
        list->setCurrentItem(list->topLevelItem(0));  // Rec# 3
        QTimer::singleShot(0, [] {
            QWidget *d = QApplication::activeModalWidget();
            d->findChild<QLineEdit *>("txtEditCall")->setText("k1abc");
            QTest::mouseClick(d->findChild<QPushButton *>("cmdDone"), Qt::LeftButton);
            QVERIFY(d->findChild<QLabel *>("Label1")->isVisible());  // " Dupe!"
            d->close();
        });
        w.cmdEdit_Click();
        QCOMPARE(h.env.read("log.txt"), before);
    }

    // With an address set, each contact logged, edited and deleted goes out as one datagram,
    // the edit and the delete naming the contact by the ID its logging gave it.
    void broadcastsEachLogEditAndDelete()
    {
        QUdpSocket listener;
        QVERIFY(listener.bind(QHostAddress::LocalHost, 0));
        MainWindowHarness h;
        h.writePreferences("K1XYZ");
        h.settings.values["BroadcastAddresses"] = QStringLiteral("127.0.0.1:%1").arg(listener.localPort());
        Form1 &w = h.start();
        auto next = [&listener] {
            QMap<QString, QString> fields;
            if (!QTest::qWaitFor([&] { return listener.hasPendingDatagrams(); }, 3000))
                return fields;
            QByteArray datagram(int(listener.pendingDatagramSize()), Qt::Uninitialized);
            listener.readDatagram(datagram.data(), datagram.size());
            QXmlStreamReader x(datagram);
            while (!x.atEnd()) {
                if (x.readNext() != QXmlStreamReader::StartElement)
                    continue;
                if (fields.isEmpty())
                    fields.insert("kind", x.name().toString());
                else
                    fields.insert(x.name().toString(), x.readElementText());
            }
            return x.hasError() ? QMap<QString, QString>{{"error", x.errorString()}} : fields;
        };
        h.logContact("w1aw", "hiram", "ct", "1");
        const auto logged = next();
        QCOMPARE(logged.value("kind"), QString("contactinfo"));
        QCOMPARE(logged.value("call"), QString("W1AW"));
        QCOMPARE(logged.value("name"), QString("HIRAM"));
        QCOMPARE(logged.value("section"), QString("CT"));
        QCOMPARE(logged.value("mycall"), QString("K1XYZ"));
        QCOMPARE(logged.value("timestamp"), QString("2026-12-05 17:00:00"));
        QVERIFY(!logged.value("ID").isEmpty());

        auto *list = h.find<QTreeWidget>("ListView1");
        list->setCurrentItem(list->topLevelItem(0));
        onNextModal([](QWidget *d) { d->findChild<QLineEdit *>("txtEditCk")->setText("HIRAM & CO <1>"); }, "cmdDone");
        w.cmdEdit_Click();
        const auto edited = next();
        QCOMPARE(edited.value("kind"), QString("contactreplace"));
        QCOMPARE(edited.value("name"), QString("HIRAM & CO <1>"));  // escaped on the way, read back whole
        QCOMPARE(edited.value("ID"), logged.value("ID"));

        list->setCurrentItem(list->topLevelItem(0));
        h.dialogs.messageAnswers.enqueue(Dialogs::Answer::Yes);
        w.cmdDelete_Click();
        const auto deleted = next();
        QCOMPARE(deleted.value("kind"), QString("contactdelete"));
        QCOMPARE(deleted.value("ID"), logged.value("ID"));
        QVERIFY(!listener.hasPendingDatagrams());
    }

    // File > Export Contest ADIF 3.1: one dialog for the choices, then the save dialog.
    void contestAdifFromTheMenu()
    {
        MainWindowHarness h;
        h.writePreferences("K1XYZ");
        h.writeLog({MainWindowHarness::rec("JA1XYZ", "Japan")});
        QFile::copy(QDir(qEnvironmentVariable("VARDEL_TEST_DATA_DIR")).filePath("ADIFCnt.txt"), h.env.file("ADIFCnt.txt"));
        Form1 &w = h.start();
        h.dialogs.fileAnswers.enqueue(h.env.file("c.adi"));
        QTimer::singleShot(0, [] {
            QWidget *d = QApplication::activeModalWidget();
            QVERIFY(d && d->objectName() == "frmContestAdif");
            d->findChild<QLineEdit *>("txtDigitalMode")->setText("FT8");
            d->findChild<QLineEdit *>("txtPower")->setText("5");
            QMetaObject::invokeMethod(d, "accept");
        });
        w.findChild<QAction *>("mnuContestAdif")->trigger();
        const QByteArray adi = h.env.read("c.adi");
        QVERIFY2(adi.contains("<CONTEST_ID:13>10-10-FALL-CW"), adi.constData());  // a December log
        QVERIFY(adi.contains("<STATION_CALLSIGN:5>K1XYZ"));
        QVERIFY(adi.contains("<TX_PWR:1>5"));
        QVERIFY(adi.contains("<DXCC:3>339"));  // Japan, from the call
        QCOMPARE(h.dialogs.titles().last(), QString("File Written Successfully."));
    }

    void deleteRenumbers()
    {
        MainWindowHarness h;
        h.writePreferences();
        QList<QsoRecord> records;
        for (const char *c : {"K1A", "K2A", "K3A", "K4A", "K5A"})
            records.append(MainWindowHarness::rec(c));
        h.writeLog(records);
        Form1 &w = h.start();
        auto *list = h.find<QTreeWidget>("ListView1");
        list->setCurrentItem(list->topLevelItem(2));  // Rec# 3
        h.dialogs.messageAnswers.enqueue(Dialogs::Answer::Yes);
        w.cmdDelete_Click();
        QVERIFY(h.dialogs.wasShown("Are you sure?"));
        QCOMPARE(h.logLines().size(), 4);
        QCOMPARE(w.logStore().record(3).call, QString("K4A"));
        QCOMPARE(list->topLevelItem(0)->text(0), QString("4"));
        QCOMPARE(list->topLevelItem(0)->text(1), QString("K5A"));
    }

    // The same edit and delete from the keyboard alone: Ctrl+L into the list on the newest
    // contact, Up to the one before, Enter edits, Delete deletes, Esc leaves the typed call.
    void editAndDeleteWithKeys()
    {
        MainWindowHarness h;
        h.writePreferences();
        h.writeLog({MainWindowHarness::rec("K1A"), MainWindowHarness::rec("K2A"), MainWindowHarness::rec("K3A")});
        Form1 &w = h.start();
        auto *list = h.find<QTreeWidget>("ListView1");
        h.type("txtCall", "W9");
        h.key(Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), list);
        QCOMPARE(list->currentItem()->text(1), QString("K3A"));
        QVERIFY(h.find<QPushButton>("cmdEdit")->isVisible());
        QTest::keyClick(list, Qt::Key_Escape);
        QCOMPARE(QApplication::focusWidget(), h.field("txtCall"));
        QCOMPARE(h.field("txtCall")->text(), QString("W9"));

        h.key(Qt::Key_L, Qt::ControlModifier);
        QTest::keyClick(list, Qt::Key_Down);  // newest first: down is the one before
        QCOMPARE(list->currentItem()->text(1), QString("K2A"));
        onNextModal([](QWidget *d) { d->findChild<QLineEdit *>("txtEditCall")->setText("K2B"); }, "cmdDone");
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(w.logStore().record(2).call, QString("K2B"));
        QApplication::setActiveWindow(&w);  // as the desktop does when the dialog closes
        QCOMPARE(QApplication::focusWidget(), h.field("txtCall"));

        h.key(Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(list->currentItem()->text(1), QString("K3A"));
        h.dialogs.messageAnswers.enqueue(Dialogs::Answer::Yes);
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(h.logLines().size(), 2);
        QCOMPARE(w.logStore().record(2).call, QString("K2B"));
    }

    void backupOnlyWhenTheCountChanged()
    {
        MainWindowHarness h;
        h.writePreferences();
        h.writeLog({MainWindowHarness::rec("K1ABC")});
        h.start();
        h.window->close();
        QCOMPARE(backups(h).size(), 0);  // nothing logged since start

        MainWindowHarness h2;
        h2.writePreferences();
        h2.writeLog({MainWindowHarness::rec("K1ABC")});
        h2.clock.set(QDateTime(QDate(2026, 12, 5), QTime(12, 34)), 5);
        h2.start();
        h2.logContact("W2XYZ", "BOB", "NY", "1");
        h2.window->close();
        QCOMPARE(backups(h2), QStringList{"202612051234.log"});
        QCOMPARE(h2.env.read("Documents/Korvex Software/Vardel/BACKUP/202612051234.log"), h2.env.read("log.txt"));
    }

    // A log begun empty and edited this session is still backed up at close.
    void backupAfterAnEditOfANewLog()
    {
        MainWindowHarness h;
        h.writePreferences();
        Form1 &w = h.start();
        h.logContact("W2XYZ", "BOB", "NY", "1");
        auto *list = h.find<QTreeWidget>("ListView1");
        list->setCurrentItem(list->topLevelItem(0));
        onNextModal([](QWidget *) {}, "cmdDone");
        w.cmdEdit_Click();  // rewrites and reloads the log
        w.close();
        QCOMPARE(backups(h).size(), 1);
    }

    // A log deleted while the program runs is written again from memory on the next load.
    void vanishedLogIsWrittenAgain()
    {
        MainWindowHarness h;
        h.writePreferences();
        h.writeLog({MainWindowHarness::rec("K1ABC"), MainWindowHarness::rec("W2XYZ", "NY")});
        Form1 &w = h.start();
        const QByteArray before = h.env.read("log.txt");
        QFile::remove(h.env.file("log.txt"));
        w.findChild<QAction *>("mnuOpen")->trigger();
        QVERIFY(h.dialogs.wasShown("Log Written Again"));
        QVERIFY(!w.programEnded());
        QCOMPARE(h.env.read("log.txt"), before);
        QCOMPARE(w.logStore().count(), 2);
    }

    // Answering No at start erases the log only after a copy of it is in BACKUP.
    void newLogAtStartKeepsACopy()
    {
        MainWindowHarness h;
        h.writePreferences();
        h.writeLog({MainWindowHarness::rec("K1ABC"), MainWindowHarness::rec("W2XYZ")});
        const QByteArray old = h.env.read("log.txt");
        Form1 &w = h.start(false);
        QCOMPARE(w.logStore().count(), 0);
        QCOMPARE(h.env.read("log.txt"), QByteArray());
        QCOMPARE(backups(h).size(), 1);
        QCOMPARE(h.env.read("Documents/Korvex Software/Vardel/BACKUP/" + backups(h).first()), old);
    }

    void restoreReplacesAndReloads()
    {
        MainWindowHarness h;
        h.writePreferences();
        h.writeLog({MainWindowHarness::rec("K1ABC")});
        Form1 &w = h.start();
        h.env.write("archive.log", LogStore::formatLine(MainWindowHarness::rec("W9AAA"))
                                       + LogStore::formatLine(MainWindowHarness::rec("W9AAB")));
        h.dialogs.messageAnswers.enqueue(Dialogs::Answer::Ok);
        h.dialogs.messageAnswers.enqueue(Dialogs::Answer::Yes);
        h.dialogs.fileAnswers.enqueue(h.env.file("archive.log"));
        w.findChild<QAction *>("mnuRestore")->trigger();
        QCOMPARE(w.logStore().count(), 2);
        QCOMPARE(h.label("lblTotCon"), QString("2"));
        QCOMPARE(h.env.read("log.txt"), h.env.read("archive.log"));
    }

    void formSizeIsStoredForTheNextStart()
    {
        MainWindowHarness h;
        h.writePreferences();
        Form1 &w = h.start();
        h.dialogs.inputAnswers.enqueue("120");
        w.findChild<QAction *>("mnuFormSize")->trigger();
        Preferences onDisk;
        QVERIFY(onDisk.load(h.env.file("tntnprf.txt")));
        QCOMPARE(onDisk.formSizePercent, 100);
        h.dialogs.inputAnswers.enqueue("10");
        w.findChild<QAction *>("mnuFormSize")->trigger();
        QVERIFY(onDisk.load(h.env.file("tntnprf.txt")));
        QCOMPARE(onDisk.formSizePercent, 30);
        // The taskbar option needs 100 %.
        w.findChild<QAction *>("mnuTaskbar")->trigger();
        QVERIFY(h.dialogs.wasShown("Please set your form size to 100% to use this option."));
    }
};

QTEST_MAIN(TestMainWindowRecords)
#include "tst_mainwindowrecords.moc"
