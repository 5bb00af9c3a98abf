#include "fakes.h"
#include "pastecheck.h"
#include "core/preferences.h"
#include "core/prefixtable.h"
#include "logging/stationsetup.h"
#include "ui/sharedpreferences.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

class TestStationSetup : public QObject {
    Q_OBJECT

    struct Rig {
        TestEnv env;
        Preferences prefs;
        PrefixTable prefixes;
        SharedPreferences shared;
        FakeSettingsStore settings;
        FakeDialogs dialogs;
        Rig()
        {
            prefixes.setRows({{"DL", "Germany", "EU", -10.0f, 51.0f, {}, {}, {}},
                              {"JA", "Japan", "AS", -139.5f, 35.75f, {}, {}, {}},
                              {"JX", "Jan Mayen", "EU", 8.0f, 71.0f, {}, {}, {}}});
            shared.load(env.file("SharedUserPreferences.xml"));
        }
        QByteArray sharedFile() const { return env.read("SharedUserPreferences.xml"); }
    };

    static QLineEdit *field(QWidget *w, const char *name)
    {
        auto *edit = w->findChild<QLineEdit *>(name);
        if (!edit)
            qFatal("no field %s", name);
        return edit;
    }

private slots:
    void pastedTextKeepsTheFilesReadable()
    {
        Rig rig;
        frmStationID dialog(rig.prefs, rig.prefixes, rig.shared, rig.settings, rig.dialogs);
        dialog.show();
        pastecheck::everyFieldRefusesUnstorableText(&dialog);
        QLineEdit *call = field(&dialog, "Text1");
        call->clear();
        QGuiApplication::clipboard()->setText("k1\"xyz\r\n");
        call->paste();
        QCOMPARE(call->text(), QString("K1XYZ"));  // capitals, as typed
    }
    void opensWithPreferences()
    {
        Rig rig;
        rig.prefs.ownCall = "K1ABC";
        rig.prefs.ownLongitude = 72.5f;
        rig.prefs.ownLatitude = 41.25f;
        rig.prefs.utcOffset = 5;
        rig.prefs.currentMode = "ph";
        rig.settings.values["UserCallSign"] = "W9XYZ";
        frmStationID dialog(rig.prefs, rig.prefixes, rig.shared, rig.settings, rig.dialogs);
        QCOMPARE(dialog.windowTitle(), QString(" Amateur Station I.D."));
        QCOMPARE(field(&dialog, "Text1")->text(), QString("K1ABC"));  // preferences win
        QCOMPARE(field(&dialog, "Text3")->text(), QString("72.5"));
        QCOMPARE(field(&dialog, "Text4")->text(), QString("41.25"));
        QCOMPARE(field(&dialog, "Text6")->text(), QString("5"));
        QVERIFY(dialog.findChild<QRadioButton *>("Option2")->isChecked());
        QVERIFY(!dialog.findChild<QRadioButton *>("Option1")->isChecked());

        rig.prefs.ownCall.clear();
        frmStationID firstStart(rig.prefs, rig.prefixes, rig.shared, rig.settings, rig.dialogs);
        QCOMPARE(field(&firstStart, "Text1")->text(), QString("W9XYZ"));
    }

    void keyFilters_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::newRow("call: no space, no quote, capitals") << "Text1" << "w1 a\"w" << "W1AW";
        QTest::newRow("first name: no space") << "Text8" << "jo ann" << "JOANN";
        QTest::newRow("state keeps spaces") << "Text5" << "new \"york" << "NEW YORK";
        QTest::newRow("offset: no minus, no letters") << "Text6" << "-5.5h" << "5.5";
        QTest::newRow("offset keeps slash") << "Text6" << "1/2" << "1/2";
        QTest::newRow("longitude takes minus") << "Text3" << "-77.25e" << "-77.25";
        QTest::newRow("latitude idem") << "Text4" << "+41.5" << "41.5";
        QTest::newRow("10-10 only drops quote") << "Text7" << "12\"3a b" << "123a b";
    }
    void keyFilters()
    {
        QFETCH(QString, name);
        QFETCH(QString, keys);
        QFETCH(QString, text);
        Rig rig;
        frmStationID dialog(rig.prefs, rig.prefixes, rig.shared, rig.settings, rig.dialogs);
        QLineEdit *edit = field(&dialog, qPrintable(name));
        edit->clear();
        QTest::keyClicks(edit, keys);
        QCOMPARE(edit->text(), text);
        QVERIFY(!dialog.donePressed());
    }

    void countryCompletion()
    {
        Rig rig;
        frmStationID dialog(rig.prefs, rig.prefixes, rig.shared, rig.settings, rig.dialogs);
        QLineEdit *country = field(&dialog, "Text2");
        country->clear();
        // The last row in table order wins: "Jan Mayen" before "Japan".
        QTest::keyClicks(country, "j");
        QCOMPARE(country->text(), QString("Jan Mayen"));
        QCOMPARE(country->selectedText(), QString("an Mayen"));
        QCOMPARE(field(&dialog, "Text4")->text(), QString("71"));
        QTest::keyClicks(country, "ap");
        QCOMPARE(country->text(), QString("Japan"));
        QCOMPARE(country->cursorPosition(), 3);
        QCOMPARE(country->selectedText(), QString("an"));
        QCOMPARE(field(&dialog, "Text3")->text(), QString("-139.5"));
        QCOMPARE(field(&dialog, "Text4")->text(), QString("35.75"));

        // No hit: typed as is, the first letter in capitals.
        country->clear();
        QTest::keyClicks(country, "xy\"z");
        QCOMPARE(country->text(), QString("Xyz"));
    }

    void donePublishesInOrder()
    {
        Rig rig;
        frmStationID dialog(rig.prefs, rig.prefixes, rig.shared, rig.settings, rig.dialogs);
        for (const char *name : {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6", "Text7", "Text8"})
            field(&dialog, name)->clear();
        QTest::keyClicks(field(&dialog, "Text8"), "bob");
        QTest::keyClicks(field(&dialog, "Text5"), "ct");
        QTest::keyClicks(field(&dialog, "Text7"), "1234");
        QTest::keyClicks(field(&dialog, "Text2"), "ger");
        QTest::keyClicks(field(&dialog, "Text3"), "1/2");  // not a number: becomes 0
        QTest::keyClicks(field(&dialog, "Text1"), "k1abc");
        QVERIFY(rig.sharedFile().isEmpty());
        QTest::keyClick(field(&dialog, "Text1"), Qt::Key_Return);

        QVERIFY(dialog.donePressed());
        QCOMPARE(rig.sharedFile(),
                 QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n"
                            "<OWN_CALL>K1ABC</OWN_CALL>\r\n"
                            "<OWN_FIRST_NAME>BOB</OWN_FIRST_NAME>\r\n"
                            "<OWN_SPC>CT</OWN_SPC>\r\n"
                            "<OWN_UTC>0</OWN_UTC>\r\n"
                            "<OWN_COUNTRY>Germany</OWN_COUNTRY>\r\n"
                            "<OWN_LONGITUDE>0</OWN_LONGITUDE>\r\n"
                            "<OWN_LATITUDE>51</OWN_LATITUDE>\r\n"
                            "<OWN_TEN_TEN>1234</OWN_TEN_TEN>\r\n"));
        QCOMPARE(field(&dialog, "Text6")->text(), QString("0"));

        // A second run replaces the call in place.
        frmStationID again(rig.prefs, rig.prefixes, rig.shared, rig.settings, rig.dialogs);
        field(&again, "Text1")->setText("N2XX");
        again.Command1_Click();
        QVERIFY(rig.sharedFile().startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n"
                                            "<OWN_CALL>N2XX</OWN_CALL>\r\n<OWN_FIRST_NAME>"));
    }

    void enterIsDoneOnlyInSomeFields_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("done");
        QTest::newRow("call") << "Text1" << true;
        QTest::newRow("name") << "Text8" << true;
        QTest::newRow("state") << "Text5" << true;
        QTest::newRow("offset") << "Text6" << true;
        QTest::newRow("country") << "Text2" << false;
        QTest::newRow("10-10") << "Text7" << false;
    }
    void enterIsDoneOnlyInSomeFields()
    {
        QFETCH(QString, name);
        QFETCH(bool, done);
        Rig rig;
        frmStationID dialog(rig.prefs, rig.prefixes, rig.shared, rig.settings, rig.dialogs);
        QTest::keyClick(field(&dialog, qPrintable(name)), Qt::Key_Return);
        QCOMPARE(dialog.donePressed(), done);
        QCOMPARE(rig.sharedFile().isEmpty(), !done);
    }

    void offsetRefusesToLoseFocus()
    {
        Rig rig;
        frmStationID dialog(rig.prefs, rig.prefixes, rig.shared, rig.settings, rig.dialogs);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QLineEdit *offset = field(&dialog, "Text6");
        offset->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), offset);
        offset->setText("1/2");
        field(&dialog, "Text1")->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), offset);

        offset->setText("-3.5");
        field(&dialog, "Text1")->setFocus(Qt::TabFocusReason);
        QTest::qWait(20);
        QCOMPARE(QApplication::focusWidget(), field(&dialog, "Text1"));
    }

    void runTakesOverOnDone()
    {
        Rig rig;
        rig.prefs.ownCall = "K1ABC";
        rig.prefs.utcOffset = 5;
        QTimer::singleShot(0, [] {
            auto *dialog = qobject_cast<frmStationID *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->findChild<QRadioButton *>("Option2")->click();
            QLineEdit *lat = dialog->findChild<QLineEdit *>("Text4");
            lat->clear();
            QTest::keyClicks(lat, "41.5");
            QTest::keyClicks(dialog->findChild<QLineEdit *>("Text8"), "al");
            dialog->findChild<QPushButton *>("Command1")->click();
        });
        QVERIFY(runStationSetup(nullptr, rig.prefs, rig.prefixes, rig.shared, rig.settings, rig.dialogs));
        QCOMPARE(rig.prefs.currentMode, QString("PH"));
        QCOMPARE(rig.prefs.ownLatitude, 41.5f);
        QCOMPARE(rig.prefs.ownFirstName, QString("AL"));
        QCOMPARE(rig.prefs.ownCall, QString("K1ABC"));
        QCOMPARE(rig.prefs.utcOffset, 5.0f);
        QVERIFY(rig.sharedFile().contains("<OWN_LATITUDE>41.5</OWN_LATITUDE>"));
    }

    void closingDiscardsEdits()
    {
        Rig rig;
        rig.settings.values["UserCallSign"] = "W9XYZ";  // shown, but not taken over on close
        const Preferences before = rig.prefs;
        QTimer::singleShot(0, [] {
            auto *dialog = qobject_cast<frmStationID *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QTest::keyClicks(dialog->findChild<QLineEdit *>("Text8"), "al");
            dialog->findChild<QRadioButton *>("Option3")->click();
            dialog->close();
        });
        QVERIFY(!runStationSetup(nullptr, rig.prefs, rig.prefixes, rig.shared, rig.settings, rig.dialogs));
        QCOMPARE(rig.prefs, before);
        QVERIFY(!QFile::exists(rig.env.file("SharedUserPreferences.xml")));
    }
};

QTEST_MAIN(TestStationSetup)
#include "tst_stationsetup.moc"
