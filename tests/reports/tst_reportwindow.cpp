#include "fakes.h"
#include "reportenv.h"
#include "pastecheck.h"

#include "reports/adifwriter.h"
#include "reports/cabrillowriter.h"
#include "reports/coversheetwriter.h"
#include "reports/exportcli.h"
#include "reports/reportactions.h"
#include "reports/reportjobs.h"
#include "reports/reportprinter.h"
#include "core/frequencylog.h"
#include "reports/reportwindow.h"
#include "reports/tallisexport.h"
#include "reports/tallisoptions.h"
#include "ui/sharedpreferences.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using namespace reports;

namespace {
class NoPrinter : public PrintTarget {
public:
    std::unique_ptr<QPagedPaintDevice> open(const QString &, QString *error) override
    {
        *error = "No default printer is set up on this computer.";
        return nullptr;
    }
};
}  // namespace

class TestReportWindow : public QObject {
    Q_OBJECT

    using Env = fixtures::ReportEnv;

    static void type(Form2 &w, const char *field, const QString &text)
    {
        auto *edit = w.findChild<QLineEdit *>(field);
        QVERIFY(edit);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    static void click(Form2 &w, const char *name)
    {
        auto *b = w.findChild<QAbstractButton *>(name);
        QVERIFY(b);
        b->click();
    }

private slots:
    void refusesWithoutOwnCall()
    {
        Env e;
        e.prefs.ownCall = "  ";
        bool windowOpened = false;
        QTimer guard;  // closes the window should it open; gone with this test
        guard.setSingleShot(true);
        connect(&guard, &QTimer::timeout, this, [&] {
            if (QWidget *w = QApplication::activeModalWidget()) {
                windowOpened = true;
                w->close();
            }
        });
        guard.start(0);
        openReportWindow(nullptr, e.ctx);
        QVERIFY(!windowOpened);
        QCOMPARE(e.dialogs.titles(), QStringList{"Please complete the Setup form first!"});
        QCOMPARE(e.dialogs.shown[0].text, QString("Please complete the Setup information by clicking Setup from the "
                                                  "menu options before preparing the Summary data."));
    }

    void opensModallyWithLoadedFields()
    {
        Env e({{"K1ABC", "JOE", "MA", "1234", "2", "2009/08/01", "18:05:30", "PH"},
               {"K2AA", "AL", "NY", "None", "1", "2009/08/03", "00:05:30", "PH"}});
        e.settings.values["UserAddressName"] = "Ann Smith";
        e.settings.values["UserAddressLine2"] = "Hartford";
        QStringList seen;
        QTimer::singleShot(0, this, [&] {
            auto *w = qobject_cast<Form2 *>(QApplication::activeModalWidget());
            QVERIFY(w);
            seen << w->windowTitle();
            for (const char *name : {"Text10", "Text2", "Text11", "Text5", "Text6", "Text7", "Text8"})
                seen << w->findChild<QLineEdit *>(name)->text();
            seen << QString::number(w->findChild<QRadioButton *>("Option3")->isChecked())
                 << QString::number(w->findChild<QRadioButton *>("Option19")->isChecked());
            w->close();
        });
        openReportWindow(nullptr, e.ctx);
        QCOMPARE(seen, QStringList({"Print / Write Summary Information", "2026", "08/01", "08/03", "Ann Smith", "",
                                    "Hartford", "", "1", "1"}));
    }

    void invalidDatesLeaveDateFieldsEmpty()
    {
        Env e({{"K1ABC", "JOE", "MA", "1234", "2", "2009/13/01", "18:05:30", "PH"}});
        Form2 w(e.ctx);
        QCOMPARE(w.findChild<QLineEdit *>("Text2")->text(), QString());
        QCOMPARE(w.findChild<QLineEdit *>("Text11")->text(), QString());
    }

    void pastedTextIsFiltered()
    {
        Env e;
        Form2 w(e.ctx);
        pastecheck::everyFieldRefusesUnstorableText(&w);
        Form3 options;
        pastecheck::everyFieldRefusesUnstorableText(&options);
    }

    void keyFilters()
    {
        Env e;
        Form2 w(e.ctx);
        type(w, "Text4", "ann/\"12345");
        type(w, "Text8", "ct\"");
        type(w, "Text3", "say \"hi\"");
        type(w, "Text10", "20\"09");
        const ReportFields f = w.fields();
        QCOMPARE(f.operators, QString("ANN/12345"));
        QCOMPARE(f.operatingQth, QString("CT"));
        QCOMPARE(f.comment, QString("say hi"));
        QCOMPARE(f.year, QString("2009"));  // every field keeps the quote out

        // Capitals are a to z only, as the entry line makes them: other letters stay as typed.
        // (QTest::keyClicks takes ASCII only, so the keys carry their text themselves.)
        auto typeText = [&w](const char *field, const QString &text) {
            auto *edit = w.findChild<QLineEdit *>(field);
            edit->clear();
            for (const QChar c : text) {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
                QApplication::sendEvent(edit, &press);
            }
        };
        typeText("Text8", QString::fromUtf8("m\u00fcller stra\u00dfe"));
        QCOMPARE(w.fields().operatingQth, QString::fromUtf8("M\u00fcLLER STRA\u00dfE"));
        typeText("Text3", QString::fromUtf8("m\u00fcller"));
        QCOMPARE(w.fields().comment, QString::fromUtf8("m\u00fcller"));
    }

    void cabrilloFromWindow()
    {
        Env e;
        Form2 w(e.ctx);
        w.findChild<QRadioButton *>("Option6")->click();
        w.findChild<QRadioButton *>("Option18")->click();
        type(w, "Text10", "2009");
        type(w, "Text2", "08/01");
        type(w, "Text11", "08/02");
        type(w, "Text5", "  Ann Smith ");
        type(w, "Text6", "1 Main St");
        type(w, "Text7", "Hartford CT 06101");
        type(w, "Text8", "ct");
        type(w, "Text4", "ann/12345");
        type(w, "Text1", "Nutmeg");
        type(w, "Text3", "Great fun");
        const QString out = e.data("K1XYZ.log");
        e.dialogs.fileAnswers << out;
        click(w, "Command4");

        QCOMPARE(e.dialogs.shown.size(), 2);
        QCOMPARE(e.dialogs.shown[0].kind, QString("save"));
        QCOMPARE(e.dialogs.shown[0].extra, out);
        QCOMPARE(e.dialogs.shown[0].text, QString("LOG Files (*.log)"));
        QCOMPARE(e.dialogs.shown[1].title, QString("File Written Successfully."));
        QCOMPARE(e.dialogs.shown[1].text, "The file was successfully written to the directory:\r\n\r\n" + out
                                              + ".\r\n\r\nAttach this file to an e-mail addressed to "
                                              + kSponsorSubmissionAddress + ".");
        ReportFields f = fixtures::fields();
        f.name = "  Ann Smith ";
        QByteArray expected;
        QVERIFY(CabrilloWriter(fixtures::station(), f, "8", kMainWindowTitle).build(fixtures::smallLog(), expected));
        QCOMPARE(e.readData("K1XYZ.log"), expected);

        // "Cabrillo 3.0" beside it writes the same log with the standard header.
        e.dialogs.fileAnswers << e.data("K1XYZ-3.log");
        click(w, "Command7");
        QCOMPARE(e.dialogs.titles().last(), QString("File Written Successfully."));
        QVERIFY(CabrilloWriter(fixtures::station(), f, "8", kMainWindowTitle, CabrilloWriter::Format::Cabrillo3)
                    .build(fixtures::smallLog(), expected));
        QCOMPARE(e.readData("K1XYZ-3.log"), expected);
        QVERIFY(expected.startsWith("START-OF-LOG: 3.0\r\n"));

        QCOMPARE(e.settings.values.value("UserAddressName"), QString("Ann Smith"));
        QCOMPARE(e.settings.values.value("UserAddressLine1"), QString("1 Main St"));
        QCOMPARE(e.settings.values.value("UserAddressLine2"), QString("Hartford CT 06101"));
        QFile shared(e.shared.path());
        QVERIFY(shared.open(QIODevice::ReadOnly));
        QVERIFY(shared.readAll().endsWith("<OWN_ADDRESS_NAME>Ann Smith</OWN_ADDRESS_NAME>\r\n"
                                          "<OWN_ADDRESS_LINE1>1 Main St</OWN_ADDRESS_LINE1>\r\n"
                                          "<OWN_ADDRESS_LINE2>Hartford CT 06101</OWN_ADDRESS_LINE2>\r\n"));

        // The next opening offers the stored address again.
        Form2 again(e.ctx);
        QCOMPARE(again.findChild<QLineEdit *>("Text5")->text(), QString("Ann Smith"));
        QCOMPARE(again.findChild<QLineEdit *>("Text4")->text(), QString());
    }

    // The station setup's class is chosen when the window opens and reaches the 3.0 header; the
    // party stays Winter Phone until the operator takes the one the log fits.
    void stationClassAndProposedParty()
    {
        Env e({{"K1ABC", "JOE", "MA", "1234", "2", "2026/06/06", "18:05:30", "DG"},
               {"K2AA", "AL", "NY", "None", "1", "2026/06/07", "00:05:30", "DG"}});
        e.settings.values["EntryClass"] = "Low";
        Form2 w(e.ctx);
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QVERIFY(w.findChild<QRadioButton *>("Option25")->isChecked());
        QVERIFY(w.findChild<QRadioButton *>("Option3")->isChecked());
        auto *proposed = w.findChild<QPushButton *>("cmdProposed");
        QCOMPARE(proposed->text(), QString("&Log fits: Open Season PSK"));
        // Through the window, as a key from the keyboard comes, so the access key is looked up.
        QTest::keyClick(w.windowHandle(), Qt::Key_L, Qt::AltModifier);
        QTRY_VERIFY(w.findChild<QRadioButton *>("Option22")->isChecked());  // an access key clicks after a flash
        QCOMPARE(w.fields().contest, Contest::OpenSeason);

        e.dialogs.fileAnswers << e.data("K1XYZ-3.log");
        click(w, "Command7");
        const QByteArray bytes = e.readData("K1XYZ-3.log");
        QVERIFY(bytes.contains("\r\nCONTEST: 10-10-OPEN-SEASON\r\n"));
        QVERIFY(bytes.contains("\r\nCATEGORY-POWER: LOW\r\n"));
        QVERIFY(bytes.contains("\r\nCATEGORY-MODE: DIGI\r\n"));
    }

    void cabrilloCancelAndFailureStoreNothing_data()
    {
        QTest::addColumn<QString>("answer");  // relative to the product data folder; empty = cancel
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("cancel") << QString() << QStringList{"Save As"};
        QTest::newRow("missing folder") << "no/such/K1XYZ.log" << QStringList{"Save As", "Unable to write file."};
    }
    void cabrilloCancelAndFailureStoreNothing()
    {
        QFETCH(QString, answer);
        QFETCH(QStringList, titles);
        Env e;
        e.settings.values["UserAddressName"] = "Old";
        if (!answer.isEmpty())
            e.dialogs.fileAnswers << e.data(answer);
        Form2 w(e.ctx);
        type(w, "Text5", "New");
        click(w, "Command4");
        QCOMPARE(e.dialogs.titles(), titles);
        QCOMPARE(e.settings.values.value("UserAddressName"), QString("Old"));
        QVERIFY(!QFile::exists(e.shared.path()));
        QVERIFY(QDir(e.folders.productDataFolder).entryList(QDir::Files).isEmpty());
    }

    void nonNumericPointsIsReported()
    {
        Env e;
        QsoRecord bad = e.log.record(2);
        bad.points = "x";
        e.log.replaceRecord(2, bad);
        e.dialogs.fileAnswers << e.data("K1XYZ.log") << e.data("K1XYZ.sum");
        ReportJobs jobs(e.ctx);
        QVERIFY(!jobs.writeCabrillo(fixtures::fields()));
        QVERIFY(!jobs.writeCoverSheet(fixtures::fields()));
        QCOMPARE(e.dialogs.titles(), QStringList({"Save As", "Unable to write file.", "Save As", "Unable to write file."}));
        QVERIFY(e.dialogs.shown[1].text.contains("contact 2"));
        QVERIFY(QDir(e.folders.productDataFolder).entryList(QDir::Files).isEmpty());
        QVERIFY(e.settings.values.isEmpty());
        // The printed cover sheet ends silently: no printer asked, no message.
        NoPrinter none;
        e.ctx.printTarget = &none;
        QVERIFY(!ReportJobs(e.ctx).printCoverSheet(fixtures::fields()));
        QCOMPARE(e.dialogs.shown.size(), 4);
    }

    void proposedFileNameStem_data()
    {
        QTest::addColumn<QString>("ownCall");
        QTest::addColumn<QString>("file");
        QTest::newRow("portable suffix") << "W1AW/3" << "W1AW.log";
        QTest::newRow("blanks trimmed") << "  K3ABC/P " << "K3ABC.log";
        QTest::newRow("lower case") << "ve3xyz" << "YourCall.log";
        QTest::newRow("stops at lower case") << "K1aBC" << "K1.log";
        QTest::newRow("hyphen") << "AB1-CD" << "AB1.log";
    }
    void proposedFileNameStem()
    {
        QFETCH(QString, ownCall);
        QFETCH(QString, file);
        Env e;
        e.prefs.ownCall = ownCall;
        ReportJobs(e.ctx).writeCabrillo({});
        QCOMPARE(e.dialogs.shown.value(0).extra, e.data(file));
    }

    void coverAndDupeFiles()
    {
        Env e;
        Form2 w(e.ctx);
        w.findChild<QRadioButton *>("Option6")->click();
        w.findChild<QRadioButton *>("Option18")->click();
        type(w, "Text10", "2009");
        type(w, "Text2", "08/01");
        type(w, "Text11", "08/02");
        type(w, "Text5", "Ann Smith");
        type(w, "Text6", "1 Main St");
        type(w, "Text7", "Hartford CT 06101");
        type(w, "Text8", "CT");
        type(w, "Text4", "ANN/12345");
        type(w, "Text1", "Nutmeg");
        type(w, "Text3", "Great fun");
        e.dialogs.fileAnswers << e.data("K1XYZ.sum") << e.data("K1XYZ.dup");
        click(w, "Command2");
        click(w, "Command1");

        QByteArray cover;
        QVERIFY(CoverSheetWriter(fixtures::station(), fixtures::fields(), "8").build(fixtures::smallLog(), cover));
        QCOMPARE(e.readData("K1XYZ.sum"), cover);
        QCOMPARE(e.readData("K1XYZ.dup"), DupeSheetWriter("K1XYZ").build(fixtures::smallLog()));
        QCOMPARE(e.dialogs.titles(), QStringList({"Save As", "Cover Sheet Written Successfully.", "  Thanks!",
                                                  "Save As", "Dupe Sheet Written Successfully."}));
        QCOMPARE(e.dialogs.shown[0].text, QString("LOG Files (*.sum)"));
        QCOMPARE(e.dialogs.shown[3].text, QString("Dupe Files (*.dup)"));
        QVERIFY(e.dialogs.shown[1].text.endsWith(".\r\n\r\nAttach this file and the log file (.log) to an e-mail "
                                                 "addressed to " + QString(kSponsorSubmissionAddress) + "."));
        QCOMPARE(e.dialogs.shown[2].text,
                 QString("Thanks for using this program.  I hope that you enjoyed it!  If so, please tell a friend!"));
        QCOMPARE(e.dialogs.shown[4].text, "The file was successfully written to the directory:\r\n\r\n"
                                              + e.data("K1XYZ.dup")
                                              + ".\r\n\r\nThe dupe file is not required for electronic submission.");
    }

    void printWithoutPrinterSaysSo()
    {
        Env e;
        NoPrinter none;
        e.ctx.printTarget = &none;
        Form2 w(e.ctx);
        for (const char *button : {"Command3", "Command5", "Command6"})
            click(w, button);
        QCOMPARE(e.dialogs.titles(), QStringList({"Unable to print.", "Unable to print.", "Unable to print."}));
    }

    void commandLineWritesTheWindowsBytes()
    {
        Env e;
        QVERIFY(e.prefs.save(e.env.file("tntnprf.txt")));
        const QStringList report{"--contest", "summer-phone", "--entry", "club", "--year", "2009", "--start", "08/01",
                                 "--end", "08/02", "--name", "Ann Smith", "--address1", "1 Main St", "--address2",
                                 "Hartford CT 06101", "--qth", "CT", "--operators", "ANN/12345", "--chapter", "Nutmeg",
                                 "--comment", "Great fun"};
        const auto log = fixtures::smallLog();

        QCOMPARE(runExportCommand(QStringList{"cabrillo", "--out", "a.log"} + report), 0);
        QByteArray expected;
        QVERIFY(CabrilloWriter(fixtures::station(), fixtures::fields(), "8", kMainWindowTitle).build(log, expected));
        QCOMPARE(e.env.read("a.log"), expected);

        QCOMPARE(runExportCommand(QStringList{"cabrillo", "--format", "3.0", "--out", "b.log"} + report), 0);
        QVERIFY(CabrilloWriter(fixtures::station(), fixtures::fields(), "8", kMainWindowTitle,
                               CabrilloWriter::Format::Cabrillo3)
                    .build(log, expected));
        QCOMPARE(e.env.read("b.log"), expected);

        QCOMPARE(runExportCommand(QStringList{"cover", "--out", "a.sum"} + report), 0);
        QVERIFY(CoverSheetWriter(fixtures::station(), fixtures::fields(), "8").build(log, expected));
        QCOMPARE(e.env.read("a.sum"), expected);

        // Without --out the file goes where the window proposes it.
        QCOMPARE(runExportCommand({"dupe"}), 0);
        QCOMPARE(e.readData("K1XYZ.dup"), DupeSheetWriter("K1XYZ").build(log));

        QCOMPARE(runExportCommand({"tallis", "--tallis-mode", "ssb", "--number-field", "comments", "--power", "5"}), 0);
        QCOMPARE(e.env.read("LogExp.txt"), TallisExport::build(log, {"5", false, false}));

        e.env.write("ADIFCnt.txt", "\"USA\",291\r\n\"Canada\",1\r\n\"Japan\",339\r\n");
        QCOMPARE(runExportCommand({"adif", "--out", "a.adi", "--power", "", "--designator", "psk31"}), 0);
        AdifCountryTable table;
        QVERIFY(table.load(e.env.file("ADIFCnt.txt")));
        const QString now = "same";
        QByteArray adif = AdifWriter(table, {"", "Vardel Contest", kMainWindowTitle, now, [] { return "psk31"; }})
                              .build(log);
        QByteArray written = e.env.read("a.adi");
        const qsizetype at = written.indexOf("Log exported on: ") + 17;
        written.replace(at, written.indexOf("\r\n", at) - at, now.toLatin1());
        QCOMPARE(written, adif);
        QVERIFY(written.contains("<Mode:5>PSK31"));
    }

    // "--adif-version 3.1": a contest log a strict ADIF reader takes whole, every field's length
    // exact, with the contest's own fields; the classic export is unchanged (above).
    void commandLineWritesAContestAdif()
    {
        Env e;
        QVERIFY(e.prefs.save(e.env.file("tntnprf.txt")));
        e.env.write("ADIFCnt.txt", "\"USA\",291\r\n\"Canada\",1\r\n\"Japan\",339\r\n");
        // The rig gave the first contact's frequency: the reports use it, the band edge elsewhere.
        QVERIFY(FrequencyLog::append(e.env.file(FrequencyLog::kFileName), fixtures::smallLog()[0], {28025400, {}}));
        QCOMPARE(runExportCommand({"cabrillo", "--format", "3.0", "--out", "f.log"}), 0);
        QList<QByteArray> qsos;
        for (const QByteArray &l : e.env.read("f.log").split('\n'))
            if (l.startsWith("QSO:"))
                qsos << l;
        QVERIFY(qsos.value(0).startsWith("QSO: 28025 PH"));
        QVERIFY(qsos.value(1).startsWith("QSO: 28000 PH"));
        QCOMPARE(runExportCommand({"adif", "--adif-version", "3.1", "--out", "c.adi", "--designator", "psk31",
                                   "--contest", "summer-phone", "--adif-comment", ""}),
                 0);
        const QByteArray bytes = e.env.read("c.adi");
        // A strict reader: text before the first tag is the header's comment; every field is
        // <NAME:length> followed by exactly that many characters.
        QList<QMap<QString, QString>> records;
        QMap<QString, QString> header, current;
        bool inHeader = true;
        qsizetype at = bytes.indexOf('<');
        QVERIFY(at > 0);
        while (at >= 0 && at < bytes.size()) {
            const qsizetype close = bytes.indexOf('>', at);
            QVERIFY(close > at);
            const QString tag = QString::fromLatin1(bytes.mid(at + 1, close - at - 1));
            const QString name = tag.section(u':', 0, 0).toUpper();
            if (name == u"EOH" || name == u"EOR") {
                QVERIFY2(!(name == u"EOH") || inHeader, "a second header end");
                if (name == u"EOH") {
                    header = current;
                    inHeader = false;
                } else {
                    QVERIFY(!inHeader);
                    records << current;
                }
                current.clear();
                at = bytes.indexOf('<', close);
                continue;
            }
            bool ok = false;
            const int length = tag.section(u':', 1, 1).toInt(&ok);
            QVERIFY2(ok, qPrintable(tag));
            QVERIFY2(!current.contains(name), qPrintable("twice in one record: " + name));
            current.insert(name, QString::fromLatin1(bytes.mid(close + 1, length)));
            const qsizetype next = bytes.indexOf('<', close + 1 + length);
            // Only blanks and line ends between a value and the next tag.
            QVERIFY(bytes.mid(close + 1 + length, (next < 0 ? bytes.size() : next) - close - 1 - length).trimmed().isEmpty());
            at = next;
        }
        QVERIFY(current.isEmpty());
        QCOMPARE(header.value("ADIF_VER"), QString("3.1.4"));
        QCOMPARE(header.value("PROGRAMID"), QString("Vardel"));
        QCOMPARE(header.value("PROGRAMVERSION"), QString("2.9"));
        QCOMPARE(header.value("CREATED_TIMESTAMP").size(), 15);
        const auto log = fixtures::smallLog();
        QCOMPARE(records.size(), log.size());
        for (const auto &r : records) {
            QCOMPARE(r.value("STATION_CALLSIGN"), QString("K1XYZ"));
            QCOMPARE(r.value("CONTEST_ID"), QString("10-10-SUMMER-PHONE"));
            QCOMPARE(r.value("BAND"), QString("10m"));
            QVERIFY(QStringList({"CW", "SSB", "PSK"}).contains(r.value("MODE")));
            QVERIFY(!r.value("STX_STRING").isEmpty());
        }
        QCOMPARE(records[0].value("TIME_ON"), QString("180530"));
        QCOMPARE(records[0].value("FREQ"), QString("28.025400"));
        QVERIFY(!records[1].contains("FREQ"));
        QCOMPARE(records[0].value("SRX_STRING"), QString("JOE MA 1234"));
        QCOMPARE(records[0].value("STATE"), QString("MA"));
        QCOMPARE(records[0].value("DXCC"), QString("291"));
        QCOMPARE(records[1].value("VE_PROV"), QString("ON"));
        QCOMPARE(records[1].value("DXCC"), QString("1"));
        QVERIFY(!records[1].contains("TEN_TEN"));  // "None" sent no number
        QCOMPARE(records[2].value("DXCC"), QString("339"));
        QCOMPARE(records[4].value("MODE"), QString("PSK"));
        QCOMPARE(records[4].value("SUBMODE"), QString("PSK31"));
        QCOMPARE(records[4].value("DXCC"), QString("291"));  // from the call: the typed "X" says nothing
        QVERIFY(!records[4].contains("QSO_DATE"));           // the stored date is not a date
    }

    // The command line finds the folders the program uses, here a documents folder spelt in
    // lower case: the file lands where the window proposes it, and the ADIF country table placed
    // in the shared folder is found.
    void commandLineUsesTheProgramsFolders()
    {
        TestEnv env;
        QVERIFY(fixtures::prefs().save(env.file("tntnprf.txt")));
        fixtures::writeLog(env.file("log.txt"), fixtures::smallLog());
        const QString maker = env.file("documents/Korvex Software");
        QVERIFY(QDir().mkpath(maker + "/Vardel") && QDir().mkpath(maker + "/Shared"));
        env.write("documents/Korvex Software/Shared/ADIFCnt.txt", "\"USA\",291\r\n");

        QCOMPARE(runExportCommand({"dupe"}), 0);
        QVERIFY(QFile::exists(maker + "/Vardel/K1XYZ.dup"));
        QCOMPARE(runExportCommand({"adif"}), 0);
        QVERIFY(env.read("documents/Korvex Software/Vardel/Vardel.adi").contains("<DXCC:3>291"));
        QVERIFY(!QFileInfo::exists(env.file("Documents")));
    }

    void commandLineErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("withPrefs");
        QTest::addColumn<int>("code");
        QTest::newRow("help") << QStringList{"--help"} << true << 0;
        QTest::newRow("no kind") << QStringList{} << true << 2;
        QTest::newRow("unknown kind") << QStringList{"pdf"} << true << 2;
        QTest::newRow("unknown option") << QStringList{"dupe", "--colour", "red"} << true << 2;
        QTest::newRow("unknown Cabrillo format") << QStringList{"cabrillo", "--format", "2.0"} << true << 2;
        QTest::newRow("unknown contest") << QStringList{"cabrillo", "--contest", "easter"} << true << 2;
        QTest::newRow("no station data") << QStringList{"dupe", "--out", "x.dup"} << false << 1;
        QTest::newRow("no country table, none shipped") << QStringList{"adif", "--out", "x.adi"} << true << 1;
        QTest::newRow("fresh account: the shipped table") << QStringList{"adif", "--out", "x.adi"} << true << 0;
        QTest::newRow("unwritable") << QStringList{"dupe", "--out", "no/such/x.dup"} << true << 1;
    }
    void commandLineErrors()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, withPrefs);
        QFETCH(int, code);
        Env e;
        if (withPrefs)
            QVERIFY(e.prefs.save(e.env.file("tntnprf.txt")));
        const QByteArray oldData = qgetenv("VARDEL_DATA_DIR");
        if (QByteArray(QTest::currentDataTag()).contains("none shipped"))
            qputenv("VARDEL_DATA_DIR", e.env.file("nothing shipped here").toLocal8Bit());
        else
            qputenv("VARDEL_DATA_DIR", qgetenv("VARDEL_TEST_DATA_DIR"));
        QCOMPARE(runExportCommand(args), code);
        qputenv("VARDEL_DATA_DIR", oldData);
        if (QByteArray(QTest::currentDataTag()).contains("shipped table"))
            QVERIFY(e.env.read("x.adi").contains("<DXCC:3>291"));
    }
};

QTEST_MAIN(TestReportWindow)
#include "tst_reportwindow.moc"
