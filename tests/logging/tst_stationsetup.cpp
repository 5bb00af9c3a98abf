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

    // Enter is Done in every field; Done refuses an empty call and a country the table does
    // not know, keeping the dialog open on the field to mend.
    void enterIsDoneInEveryField_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("country");
        QTest::addColumn<bool>("done");
        for (const char *f : {"Text1", "Text8", "Text5", "Text6", "Text2", "Text7", "Text3", "Text4"})
            QTest::newRow(f) << f << "K1ABC" << "Japan" << true;
        QTest::newRow("empty call") << "Text8" << "" << "Japan" << false;
        QTest::newRow("unknown country") << "Text1" << "K1ABC" << "Atlantis" << false;
        QTest::newRow("no country at all") << "Text1" << "K1ABC" << "" << true;
    }
    void enterIsDoneInEveryField()
    {
        QFETCH(QString, name);
        QFETCH(QString, call);
        QFETCH(QString, country);
        QFETCH(bool, done);
        Rig rig;
        rig.prefs.ownCall = call;
        rig.prefs.ownCountry = country;
        frmStationID dialog(rig.prefs, rig.prefixes, rig.shared, rig.settings, rig.dialogs);
        QTest::keyClick(field(&dialog, qPrintable(name)), Qt::Key_Return);
        QCOMPARE(dialog.donePressed(), done);
        QCOMPARE(rig.sharedFile().isEmpty(), !done);
        QCOMPARE(rig.dialogs.shown.size(), done ? 0 : 1);
    }

    // The position always belongs to the country shown: a completion that is typed past, a
    // deleted name or a usual name ("United States") move it, and Done stores the table's name.
    void positionFollowsTheCountryShown()
    {
        Rig rig;
        rig.prefs.ownCall = "K1ABC";
        rig.prefixes.setRows({{"A6", "United Arab Emirates", "AS", -54.0f, 24.0f, {}, {}, {}},
                              {"K", "USA", "NA", 77.0f, 39.0f, {}, {}, {}}});
        frmStationID dialog(rig.prefs, rig.prefixes, rig.shared, rig.settings, rig.dialogs);
        QLineEdit *country = field(&dialog, "Text2");
        QLineEdit *lon = field(&dialog, "Text3");
        QLineEdit *lat = field(&dialog, "Text4");
        country->clear();
        QTest::keyClicks(country, "Uni");
        QCOMPARE(country->text(), QString("United Arab Emirates"));
        QCOMPARE(lat->text(), QString("24"));
        QTest::keyClicks(country, "ted S");
        QCOMPARE(country->text(), QString("United States"));  // a usual name of USA, offered
        QCOMPARE(lon->text(), QString("77"));
        QCOMPARE(lat->text(), QString("39"));
        QTest::keyClick(country, Qt::Key_End);
        for (int i = 0; i < 7; ++i)
            QTest::keyClick(country, Qt::Key_Backspace);  // "United"
        QCOMPARE(country->text(), QString("United"));
        QVERIFY(lon->text().isEmpty() && lat->text().isEmpty());
        country->selectAll();
        QTest::keyClicks(country, "u.s.a.");
        QCOMPARE(lat->text(), QString("39"));
        QTest::keyClick(country, Qt::Key_Return);
        QVERIFY(dialog.donePressed());
        QCOMPARE(dialog.fields().country, QString("USA"));
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
            dialog->findChild<QRadioButton *>("Option5")->click();  // Low
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
        QCOMPARE(rig.settings.values.value("EntryClass"), QString("Low"));
    }

    // The kept class is shown again in any letter case; an old "Individual" shows none.
    void entryClassShownAsKept_data()
    {
        QTest::addColumn<QString>("kept");
        QTest::addColumn<QString>("checked");
        QTest::newRow("mobile") << "mobile" << "Option8";
        QTest::newRow("qrp") << "QRP" << "Option4";
        QTest::newRow("individual") << "Individual" << "";
        QTest::newRow("nothing") << "" << "";
    }
    void entryClassShownAsKept()
    {
        QFETCH(QString, kept);
        QFETCH(QString, checked);
        Rig rig;
        rig.settings.values["EntryClass"] = kept;
        frmStationID dialog(rig.prefs, rig.prefixes, rig.shared, rig.settings, rig.dialogs);
        QStringList on;
        for (const char *name : {"Option4", "Option5", "Option6", "Option7", "Option8"})
            if (dialog.findChild<QRadioButton *>(name)->isChecked())
                on << name;
        QCOMPARE(on, checked.isEmpty() ? QStringList() : QStringList{checked});
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
            dialog->findChild<QRadioButton *>("Option7")->click();
            dialog->close();
        });
        QVERIFY(!runStationSetup(nullptr, rig.prefs, rig.prefixes, rig.shared, rig.settings, rig.dialogs));
        QCOMPARE(rig.prefs, before);
        QVERIFY(!rig.settings.values.contains("EntryClass"));
        QVERIFY(!QFile::exists(rig.env.file("SharedUserPreferences.xml")));
    }
};

QTEST_MAIN(TestStationSetup)
#include "tst_stationsetup.moc"
