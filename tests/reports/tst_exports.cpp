#include "fakes.h"
#include "reportenv.h"

#include "reports/adifwriter.h"
#include "reports/exportjobs.h"
#include "reports/reportactions.h"
#include "reports/tallisexport.h"
#include "reports/tallisoptions.h"
#include "platform/clock.h"
#include "ui/sharedpreferences.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using namespace reports;

Q_DECLARE_METATYPE(QsoRecord)

class TestExports : public QObject {
    Q_OBJECT

    static QByteArray countryTable()
    {
        return "\"USA\",291\r\n\"Canada\",1\r\n\"Alaska\",6\r\n\"Hawaii\",110\r\n\"Japan\",339\r\n";
    }
    static AdifCountryTable table()
    {
        AdifCountryTable t;
        t.names = {"USA", "Canada", "Alaska", "Hawaii", "Japan"};
        t.numbers = {291, 1, 6, 110, 339};
        return t;
    }
    static QsoRecord joe() { return {"K1ABC", "JOE", "MA", "1234", "2", "2009/08/01", "18:05:30", "PH"}; }

    using Env = fixtures::ReportEnv;

private slots:
    void adifRecord_data()
    {
        QTest::addColumn<QsoRecord>("record");
        QTest::addColumn<QString>("power");
        QTest::addColumn<QString>("comment");
        QTest::addColumn<QString>("expected");
        const QString tail = "<Ten_Ten:4>1234 <Comment:14>Vardel Contest\r\n<eor>\r\n\r\n";
        QTest::newRow("every field") << joe() << "100" << "Vardel Contest"
            << "<Call:5>K1ABC <Qso_Date:8:d>20090801 <Band:3>10M <Mode:3>SSB <Tx_Pwr:3>100 \r\n"
               "<Time_On:4>1805 <DXCC:3>291 <State:2>MA <Name:3>JOE \r\n" + tail;
        QTest::newRow("no power runs on") << joe() << "" << "Vardel Contest"
            << "<Call:5>K1ABC <Qso_Date:8:d>20090801 <Band:3>10M <Mode:3>SSB "
               "<Time_On:4>1805 <DXCC:3>291 <State:2>MA <Name:3>JOE \r\n" + tail;
        QTest::newRow("power trailing blanks") << joe() << "100  " << "Vardel Contest"
            << "<Call:5>K1ABC <Qso_Date:8:d>20090801 <Band:3>10M <Mode:3>SSB <Tx_Pwr:3>100 \r\n"
               "<Time_On:4>1805 <DXCC:3>291 <State:2>MA <Name:3>JOE \r\n" + tail;
        QsoRecord r = joe();
        r.memberNumber = "none";
        QTest::newRow("none has no Ten_Ten") << r << "" << "C"
            << "<Call:5>K1ABC <Qso_Date:8:d>20090801 <Band:3>10M <Mode:3>SSB "
               "<Time_On:4>1805 <DXCC:3>291 <State:2>MA <Name:3>JOE \r\n<Comment:1>C\r\n<eor>\r\n\r\n";
        r = {"VE3XYZ", "BOB", "ON", "None", "1", "2009/08/01", "8:05:30", "CW"};
        QTest::newRow("Canada, short hour") << r << "" << ""
            << "<Call:6>VE3XYZ <Qso_Date:8:d>20090801 <Band:3>10M <Mode:2>CW "
               "<Time_On:4>0805 <DXCC:1>1 <Name:3>BOB \r\n<eor>\r\n\r\n";
        r = {"W1AW", "", "HI", "", "2", "2009/02/30", "01:02", "cw"};
        QTest::newRow("Hawaii, bad date, no name, empty number") << r << "" << ""
            << "<Call:4>W1AW <Band:3>10M <Mode:2>CW <Time_On:4>0102 <DXCC:3>110 <State:2>HI <Ten_Ten:0> <eor>\r\n\r\n";
        r = {"kl7aa", "SAM", "ak", "5", "2", "2009/08/01", "23:59:59", "ph"};
        QTest::newRow("Alaska by state, lower case") << r << "" << ""
            << "<Call:5>kl7aa <Qso_Date:8:d>20090801 <Band:3>10M <Mode:3>SSB <Time_On:4>2359 <DXCC:1>6 "
               "<State:2>ak <Name:3>SAM \r\n<Ten_Ten:1>5 <eor>\r\n\r\n";
        r = {"JA1AAA", "TARO", "Japan", "7", "2", "2009/08/01", "00:00:00", "RY"};
        QTest::newRow("country, other mode") << r << "" << ""
            << "<Call:6>JA1AAA <Qso_Date:8:d>20090801 <Band:3>10M <Mode:2>RY <Time_On:4>0000 <DXCC:3>339 "
               "<Name:4>TARO \r\n<Ten_Ten:1>7 <eor>\r\n\r\n";
        r = {"ZZ9ZZ", "", "Atlantis", "None", "1", "", "", "CW"};
        QTest::newRow("unknown country, nothing else") << r << "" << ""
            << "<Call:5>ZZ9ZZ <Band:3>10M <Mode:2>CW <Time_On:4>0000 <eor>\r\n\r\n";
    }
    void adifRecord()
    {
        QFETCH(QsoRecord, record);
        QFETCH(QString, power);
        QFETCH(QString, comment);
        QFETCH(QString, expected);
        const AdifCountryTable t = table();
        AdifWriter writer(t, {power, comment, QString(), QString(), {}});
        QCOMPARE(writer.record(record), expected);
    }

    void adifDesignatorAskedOnce()
    {
        const AdifCountryTable t = table();
        QStringList answers{"", "psk31", "never"};
        int asked = 0;
        AdifWriter writer(t, {"", "", "", "", [&] { return answers.value(asked++); }});
        QList<QsoRecord> log;
        for (int i = 0; i < 4; ++i)
            log.append({"K1ABC", "", "MA", "None", "1", "2009/08/01", "18:05:30", i == 1 ? "PH" : "DG"});
        const QString text = QString::fromLatin1(writer.build(log));
        QCOMPARE(asked, 2);  // the empty answer is asked again at the next digital contact
        QCOMPARE(text.count("<Mode:5>PSK31 "), 2);
        QCOMPARE(text.count("<Mode:"), 3);  // the first digital contact has no mode
    }

    void adifHeader()
    {
        const AdifCountryTable t = table();
        AdifWriter writer(t, {"", "", QString::fromLatin1(kMainWindowTitle), "12/05/26 12:00", {}});
        const QByteArray bytes = writer.build({});
        QVERIFY(bytes.startsWith("ADIF Export from Korvex's Vardel 2.9\r\n"));
        QVERIFY(bytes.endsWith("\r\nLog exported on: 12/05/26 12:00\r\n\r\n<EOH>\r\n\r\n"));
        QCOMPARE(bytes.count("\r\n"), 7);
    }

    void countryTableLoad_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("entries");  // -1: refused
        QTest::newRow("table") << countryTable() << 5;
        QTest::newRow("empty") << QByteArray() << 0;
        QTest::newRow("missing number") << QByteArray("\"USA\",291\r\n\"Canada\"\r\n") << -1;
        QTest::newRow("number not numeric") << QByteArray("\"USA\",abc\r\n") << -1;
        QTest::newRow("open quote") << QByteArray("\"USA,291\r\n") << -1;
        QByteArray full;
        for (int i = 0; i < 1000; ++i)
            full += "\"C" + QByteArray::number(i) + "\"," + QByteArray::number(i) + "\r\n";
        QTest::newRow("1000 entries") << full << 1000;
        QTest::newRow("1001 entries") << full + "\"X\",1\r\n" << -1;
    }
    void countryTableLoad()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, entries);
        TestEnv env;
        env.write("ADIFCnt.txt", bytes);
        AdifCountryTable t;
        QString why;
        QCOMPARE(t.load(env.file("ADIFCnt.txt"), &why), entries >= 0);
        if (entries >= 0)
            QCOMPARE(t.names.size(), entries);
        else
            QVERIFY(!why.isEmpty());
        if (entries == 5)
            QCOMPARE(t.lookup(" canada "), 1);
    }

    void adifExportFlow()
    {
        Env e({joe(), {"K2AA", "AL", "NY", "None", "1", "2009/08/01", "18:10:00", "DG"},
               {"K3BB", "BO", "PA", "9", "2", "2009/08/01", "18:11:00", "DG"}});
        // Two tables: the one in the shared folder wins over the working directory's.
        e.env.write("ADIFCnt.txt", "\"USA\",999\r\n");
        QFile shared(QDir(e.folders.sharedFolder).filePath("ADIFCnt.txt"));
        QVERIFY(shared.open(QIODevice::WriteOnly));
        shared.write(countryTable());
        shared.close();
        const QString out = QDir(e.folders.productDataFolder).filePath("Vardel.adi");
        e.dialogs.inputAnswers << "100  " << "Vardel Contest" << "psk31";
        e.dialogs.fileAnswers << out;
        QVERIFY(exportjobs::exportAdif(e.ctx, nullptr));

        QCOMPARE(e.dialogs.titles(), QStringList({"Please enter your transmitter output power.",
                                                  "Please enter a comment.", "Save As", "Digital Mode Designator?",
                                                  "File Written Successfully."}));
        QCOMPARE(e.dialogs.shown[0].extra, QString("100"));
        QCOMPARE(e.dialogs.shown[1].extra, QString("Vardel Contest"));
        QCOMPARE(e.dialogs.shown[2].extra, out);
        QCOMPARE(e.dialogs.shown[2].text, QString("ADIF Files (*.adi)"));
        QCOMPARE(e.dialogs.shown[3].extra, QString("RTTY"));
        QCOMPARE(e.dialogs.shown[4].text, "The file was successfully written to the directory:\r\n\r\n" + out + ".");

        const QByteArray bytes = e.env.read(out.mid(e.env.path().size() + 1));
        QVERIFY(bytes.contains("Log exported on: " + generalDateTime(e.clock.localNow()).toLatin1() + "\r\n"));
        QVERIFY(bytes.contains("<Tx_Pwr:3>100 \r\n<Time_On:4>1805 <DXCC:3>291 "));
        QCOMPARE(bytes.count("<Mode:5>PSK31 "), 2);
        QCOMPARE(bytes.count("<eor>\r\n\r\n"), 3);
    }

    void adifExportStops_data()
    {
        QTest::addColumn<bool>("haveTable");
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("no country table") << false
            << QStringList{"Please enter your transmitter output power.", "Please enter a comment.", "Unable to write file."};
        QTest::newRow("save cancelled") << true
            << QStringList{"Please enter your transmitter output power.", "Please enter a comment.", "Save As"};
    }
    void adifExportStops()
    {
        QFETCH(bool, haveTable);
        QFETCH(QStringList, titles);
        Env e({joe()});
        if (haveTable)
            e.env.write("ADIFCnt.txt", countryTable());
        QVERIFY(!exportjobs::exportAdif(e.ctx, nullptr));
        QCOMPARE(e.dialogs.titles(), titles);
        QVERIFY(!QFile::exists(QDir(e.folders.productDataFolder).filePath("Vardel.adi")));
    }

    void tallisLine_data()
    {
        QTest::addColumn<QsoRecord>("record");
        QTest::addColumn<bool>("cw");
        QTest::addColumn<bool>("numberInOther");
        QTest::addColumn<QString>("line");
        QTest::newRow("worked example") << joe() << false << true
            << R"("K1ABC","2009/08/01","10","SSB","100","18:05:30",,,,"USA","MA",,"1234",,,"JOE  10-10 Contest")";
        QTest::newRow("number in comment") << joe() << true << false
            << R"("K1ABC","2009/08/01","10","CW","100","18:05:30",,,,"USA","MA",,"",,,"JOE  10-10 Contest  1234")";
        const QsoRecord none{"VE3XYZ", "BOB", "Ontario", "None", "1", "2009/08/01", "18:07", "CW"};
        QTest::newRow("None in other") << none << true << true
            << R"("VE3XYZ","2009/08/01","10","CW","100","18:07",,,,"Ontario","",,"",,,"BOB  10-10 Contest")";
        QTest::newRow("None in comment") << none << true << false
            << R"("VE3XYZ","2009/08/01","10","CW","100","18:07",,,,"Ontario","",,"",,,"BOB  10-10 Contest  ")";
        QsoRecord ak{"KL7AA", "SAM", "AK", "5", "2", "2009/08/01", "18:07:00", "PH"};
        QTest::newRow("AK as state") << ak << true << true
            << R"("KL7AA","2009/08/01","10","CW","100","18:07:00",,,,"USA","AK",,"5",,,"SAM  10-10 Contest")";
        ak.qth = "Alaska";
        QTest::newRow("Alaska as country") << ak << true << true
            << R"("KL7AA","2009/08/01","10","CW","100","18:07:00",,,,"Alaska","AK",,"5",,,"SAM  10-10 Contest")";
        ak.qth = "hawaii";
        QTest::newRow("hawaii lower case") << ak << true << true
            << R"("KL7AA","2009/08/01","10","CW","100","18:07:00",,,,"hawaii","HI",,"5",,,"SAM  10-10 Contest")";
    }
    void tallisLine()
    {
        QFETCH(QsoRecord, record);
        QFETCH(bool, cw);
        QFETCH(bool, numberInOther);
        QFETCH(QString, line);
        TallisExport::Options o;
        o.cw = cw;
        o.numberInOther = numberInOther;
        QCOMPARE(TallisExport::line(record, o), line);
        QCOMPARE(line.count(u','), 15);  // sixteen fields
    }

    // The options dialog driven by keys; its answers reach every line of LogExp.txt.
    void tallisExportThroughDialog_data()
    {
        QTest::addColumn<bool>("pressWrite");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("Write File")
            << true << QByteArray(R"("K1ABC","2009/08/01","10","SSB","5","18:05:30",,,,"USA","MA",,"",,,"JOE  10-10 Contest  1234")");
        QTest::newRow("closed by frame uses defaults")
            << false << QByteArray(R"("K1ABC","2009/08/01","10","CW","100","18:05:30",,,,"USA","MA",,"1234",,,"JOE  10-10 Contest")");
    }
    void tallisExportThroughDialog()
    {
        QFETCH(bool, pressWrite);
        QFETCH(QByteArray, line);
        Env e({joe()});
        bool seen = false;
        QTimer::singleShot(0, this, [&] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog && dialog->objectName() == "Form3");
            QCOMPARE(dialog->windowTitle(), QString("Tallis Export Options"));
            auto *power = dialog->findChild<QLineEdit *>("Text1");
            QCOMPARE(power->text(), QString("100"));
            power->selectAll();
            QTest::keyClicks(power, "\"5\"");
            dialog->findChild<QRadioButton *>("Option4")->click();
            dialog->findChild<QRadioButton *>("Option2")->click();
            seen = true;
            if (pressWrite)
                dialog->findChild<QPushButton *>("Command1")->click();
            else
                dialog->reject();
        });
        exportForTallis(nullptr, e.ctx);
        QVERIFY(seen);
        QCOMPARE(e.env.read("LogExp.txt"), line + "\r\n");
        QCOMPARE(e.dialogs.titles(), QStringList{"Export Successful!"});
        QCOMPARE(e.dialogs.shown[0].text, exportjobs::tallisSuccessMessage(e.env.path()));
    }

    void tallisEmptyLogAndFailure()
    {
        Env e(QList<QsoRecord>{});
        QVERIFY(exportjobs::writeTallisFile(e.ctx, nullptr, {}));
        QVERIFY(QFile::exists(e.env.file("LogExp.txt")));
        QCOMPARE(e.env.read("LogExp.txt"), QByteArray());
        QVERIFY(exportjobs::tallisSuccessMessage("/w").startsWith(
            "LogExp.txt has been written to this program's working directory /w.  Import these"));

        e.ctx.folders.workingDir = e.env.file("no/such/folder");
        QVERIFY(!exportjobs::writeTallisFile(e.ctx, nullptr, {}));
        QCOMPARE(e.dialogs.titles().last(), QString("Unable to write file."));
    }

    void clipboardText_data()
    {
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty list") << QStringList{"Rec#", "Call", "Pnts"} << QList<QStringList>{}
                                    << "Rec#\tCall\tPnts\r\n";
        QTest::newRow("rows") << QStringList{"Rec#", "Call", "Pnts"}
                              << QList<QStringList>{{"2", "K1ABC", "2"}, {"1", "", "1"}}
                              << "Rec#\tCall\tPnts\r\n2\tK1ABC\t2\r\n1\t\t1\r\n";
        QTest::newRow("one column") << QStringList{"Rec#"} << QList<QStringList>{{"2"}, {"1"}}
                                    << "Rec#\r\n2\t1\t";
    }
    void clipboardText()
    {
        QFETCH(QStringList, headers);
        QFETCH(QList<QStringList>, rows);
        QFETCH(QString, text);
        QCOMPARE(listedItemsText(headers, rows), text);
    }

    void copyListedItemsToClipboard()
    {
        QTreeWidget list;
        list.setHeaderLabels({"Rec#", "Call", "Name", "QTH", "1010#", "Date / Time", "Mode", "Pnts"});
        new QTreeWidgetItem(&list, QStringList{"2", "VE3XYZ", "BOB", "ON", "None", "08/01 18:07", "PH", "1"});
        new QTreeWidgetItem(&list, QStringList{"1", "K1ABC", "JOE", "MA", "1234", "08/01 18:05", "PH", "2"});
        list.sortItems(1, Qt::AscendingOrder);  // the operator sorted by call: the shown order counts
        const QString expected = "Rec#\tCall\tName\tQTH\t1010#\tDate / Time\tMode\tPnts\r\n"
                                 "1\tK1ABC\tJOE\tMA\t1234\t08/01 18:05\tPH\t2\r\n"
                                 "2\tVE3XYZ\tBOB\tON\tNone\t08/01 18:07\tPH\t1\r\n";
        QCOMPARE(copyListedItems(list), expected);
        QCOMPARE(QGuiApplication::clipboard()->text(), expected);
    }
};

QTEST_MAIN(TestExports)
#include "tst_exports.moc"
