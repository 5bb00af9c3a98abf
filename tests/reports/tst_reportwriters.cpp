#include "reportfixtures.h"

#include "reports/cabrillowriter.h"
#include "reports/adifwriter.h"
#include "reports/coversheetwriter.h"
#include "reports/tallisexport.h"
#include "reports/reportconstants.h"

#include <QRegularExpression>
#include <QTest>

using namespace reports;

class TestReportWriters : public QObject {
    Q_OBJECT

private:
    static QString title() { return QString::fromLatin1(kMainWindowTitle); }
    static QByteArray join(const QStringList &lines)
    {
        QByteArray out;
        for (const QString &l : lines)
            out += l.toLatin1() + "\r\n";
        return out;
    }

private slots:
    void cabrilloWholeFile()
    {
        QByteArray bytes;
        QVERIFY(CabrilloWriter(fixtures::station(), fixtures::fields(), "8", title())
                    .build(fixtures::smallLog(), bytes));
        const QByteArray expected = join({
            "START-OF-LOG: Korvex's Vardel 2.9                               ",
            "CONTEST: 10-10 SUMMER PHONE",
            "CALLSIGN: K1XYZ",
            "TEN TEN NUMBER: 12345",
            "CATEGORY: CLUB",
            "OPERATORS: ANN/12345",
            "OPERATING QTH: CT",
            "CHAPTER ASSIGNMENT: Nutmeg",
            "CLAIMED SCORE: 8",
            "QSOs WITH 10-10 NUMBERS: 3",
            "QSOs WITHOUT 10-10 NUMBERS: 2",
            "NAME: Ann Smith",
            "ADDRESS: 1 Main St",
            "ADDRESS: Hartford CT 06101",
            "SOAPBOX: Great fun",
            "QSO: 28000 PH 2009-08-01 1805 K1XYZ      12345 ANN        CT  K1ABC      01234 JOE        MA",
            "QSO: 28000 PH 2009-08-01 1807 K1XYZ      12345 ANN        CT  VE3XYZ     00000 BOB        ON",
            "QSO: 28000 PH 2009-08-02 0102 K1XYZ      12345 ANN        CT  JA1AAA     00007 TARO       DX",
            // A value longer than its slot pushes the rest right by one blank, never cut.
            "QSO: 28000 CW 2009-08-02 0200 K1XYZ      12345 ANN        CT  W6LONGNAME 123456 BARTHOLOMEWS CA",
            "QSO: 28000 DG 2009/13/45 0304 K1XYZ      12345 ANN        CT  k1abc      00000 ann        DX",
            "END-OF-LOG:",
        });
        QCOMPARE(bytes, expected);
        QCOMPARE(bytes.indexOf("START-OF-LOG: ") + 14 + 50, bytes.indexOf("\r\n"));
    }

    void cabrilloEmptyLog()
    {
        QByteArray bytes;
        ReportFields blank;
        QVERIFY(CabrilloWriter({" W1AW ", "", "", ""}, blank, "0", title()).build({}, bytes));
        const QList<QByteArray> lines = bytes.split('\n');
        QCOMPARE(lines.size(), 17);  // 15 header lines, END-OF-LOG and the empty tail
        QCOMPARE(lines[2], QByteArray("CALLSIGN: W1AW\r"));
        QCOMPARE(lines[5], QByteArray("OPERATORS: \r"));
        QCOMPARE(lines[9], QByteArray("QSOs WITH 10-10 NUMBERS: 0\r"));
        QCOMPARE(lines[10], QByteArray("QSOs WITHOUT 10-10 NUMBERS: 0\r"));
        QCOMPARE(lines[15], QByteArray("END-OF-LOG:\r"));
    }

    void cabrilloRefusesNonNumericPoints()
    {
        auto log = fixtures::smallLog();
        log[2].points = "x";
        QByteArray bytes;
        QString why;
        QVERIFY(!CabrilloWriter(fixtures::station(), fixtures::fields(), "8", title()).build(log, bytes, &why));
        QVERIFY(why.contains("contact 3"));
        QVERIFY(bytes.isEmpty());
    }

    void memberNumber_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("written");
        QTest::newRow("None") << "None" << "00000";
        QTest::newRow("none is not None") << "none" << "0none";
        QTest::newRow("empty") << "" << "00000";
        QTest::newRow("one digit") << "7" << "00007";
        QTest::newRow("three") << "123" << "00123";
        QTest::newRow("five") << "12345" << "12345";
        QTest::newRow("six unchanged") << "123456" << "123456";
    }
    void memberNumber()
    {
        QFETCH(QString, stored);
        QFETCH(QString, written);
        QCOMPARE(CabrilloWriter::normalisedMemberNumber(stored), written);
    }

    void dxColumns_data()
    {
        QTest::addColumn<QString>("ownState");
        QTest::addColumn<QString>("qth");
        QTest::addColumn<QString>("own59");
        QTest::addColumn<QString>("other91");
        QTest::newRow("both states") << "CT" << "MA" << "CT " << "MA";
        QTest::newRow("own country") << "Japan" << "MA" << "DX " << "MA";
        QTest::newRow("other country") << "CT" << "Japan" << "CT " << "DX";
        QTest::newRow("one character own kept") << "X" << "MA" << "X  " << "MA";
        QTest::newRow("one character other is DX") << "CT" << "X" << "CT " << "DX";
        QTest::newRow("empty own kept") << "" << "" << "   " << "DX";
    }
    void dxColumns()
    {
        QFETCH(QString, ownState);
        QFETCH(QString, qth);
        QFETCH(QString, own59);
        QFETCH(QString, other91);
        StationInfo s = fixtures::station();
        s.state = ownState;
        const QString line = CabrilloWriter::qsoLine({"K1ABC", "JOE", qth, "1", "2", "2009/08/01", "18:05:30", "CW"}, s);
        QCOMPARE(line.mid(58, 3), own59);
        QCOMPARE(line.mid(90), other91);
    }

    // Every date and time form the log reader and the edit window accept reaches every writer
    // in one form, and the QSO line keeps its columns.
    void dateForms_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("storedTime");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("hhmm");
        QTest::newRow("stored form") << "2009/08/01" << "18:05:30" << "2009-08-01" << "1805";
        QTest::newRow("short month and day") << "2009/8/1" << "18:05" << "2009-08-01" << "1805";
        QTest::newRow("month first") << "08/01/2009" << "9:30" << "2009-08-01" << "0930";
        QTest::newRow("month first, dashes") << "8-1-2009" << "9:05:07" << "2009-08-01" << "0905";
        QTest::newRow("year first, dashes") << "2009-08-01" << "23:59" << "2009-08-01" << "2359";
        QTest::newRow("month 13") << "2009/13/01" << "18:05:30" << "2009/13/01" << "1805";
        QTest::newRow("february 30") << "2009/02/30" << "18:05:30" << "2009/02/30" << "1805";
        QTest::newRow("text") << "garbage" << "18:05:30" << "garbage" << "1805";
    }
    void dateForms()
    {
        QFETCH(QString, stored);
        QFETCH(QString, storedTime);
        QFETCH(QString, written);
        QFETCH(QString, hhmm);
        const QsoRecord r{"K1ABC", "JOE", "MA", "1", "2", stored, storedTime, "CW"};
        const QString line = CabrilloWriter::qsoLine(r, fixtures::station());
        QCOMPARE(line.mid(14, written.size()), written);
        QCOMPARE(line.mid(25, 4), hhmm);
        if (written.size() == 10)
            QCOMPARE(line.mid(30, 5), QString("K1XYZ"));  // the own call in its column
        const bool valid = written.contains(u'-');
        QCOMPARE(AdifWriter::adifDate(stored), valid ? QString(written).remove(u'-') : QString());
        QCOMPARE(AdifWriter::adifTime(storedTime), hhmm);
        const QString tallis = TallisExport::line(r, {});
        QVERIFY(tallis.contains(valid ? "\"" + QString(written).replace(u'-', u'/') + "\"" : "\"" + stored + "\""));
    }

    // The standard header: a Cabrillo 3.0 reader must know every tag, every contest name and
    // category value, and read every QSO line.
    void cabrillo3IsReadByAStrictParser_data()
    {
        QTest::addColumn<int>("contest");
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("modes");
        QTest::addColumn<QString>("contestName");
        QTest::addColumn<QString>("operatorCategory");
        QTest::addColumn<QString>("power");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("station");
        QTest::newRow("winter phone, individual") << int(Contest::WinterPhone) << int(EntryClass::Individual) << "PH"
                                                  << "10-10-WINTER-PHONE" << "SINGLE-OP" << "HIGH" << "SSB" << "FIXED";
        QTest::newRow("spring cw, qrp") << int(Contest::SpringCw) << int(EntryClass::Qrp) << "CW"
                                        << "10-10-SPRING-CW" << "SINGLE-OP" << "QRP" << "CW" << "FIXED";
        QTest::newRow("spring cw/dg, digital only") << int(Contest::SpringCw) << int(EntryClass::Individual) << "DG"
                                                    << "10-10-SPRING-DIGITAL" << "SINGLE-OP" << "HIGH" << "DIGI" << "FIXED";
        QTest::newRow("spring digital, low") << int(Contest::SpringDigital) << int(EntryClass::Low) << "DG"
                                             << "10-10-SPRING-DIGITAL" << "SINGLE-OP" << "LOW" << "DIGI" << "FIXED";
        QTest::newRow("open season, high") << int(Contest::OpenSeason) << int(EntryClass::High) << "DG"
                                           << "10-10-OPEN-SEASON" << "SINGLE-OP" << "HIGH" << "DIGI" << "FIXED";
        QTest::newRow("spirit of 76, mobile") << int(Contest::SpiritOf76) << int(EntryClass::Mobile) << "CW PH DG"
                                              << "10-10-SPIRIT-OF-76" << "SINGLE-OP" << "HIGH" << "MIXED" << "MOBILE";
        QTest::newRow("summer phone, club") << int(Contest::SummerPhone) << int(EntryClass::Club) << "PH"
                                            << "10-10-SUMMER-PHONE" << "MULTI-OP" << "HIGH" << "SSB" << "FIXED";
        QTest::newRow("fall cw with digital") << int(Contest::FallCw) << int(EntryClass::Individual) << "CW DG"
                                              << "10-10-FALL-CW" << "SINGLE-OP" << "HIGH" << "MIXED" << "FIXED";
        QTest::newRow("fall cw/dg, digital only") << int(Contest::FallCw) << int(EntryClass::Qrp) << "DG"
                                                  << "10-10-FALL-DIGITAL" << "SINGLE-OP" << "QRP" << "DIGI" << "FIXED";
        QTest::newRow("fall digital, low") << int(Contest::FallDigital) << int(EntryClass::Low) << "DG"
                                           << "10-10-FALL-DIGITAL" << "SINGLE-OP" << "LOW" << "DIGI" << "FIXED";
        QTest::newRow("sprint, mixed") << int(Contest::Sprint) << int(EntryClass::Individual) << "CW PH"
                                       << "10-10-SPRINT" << "SINGLE-OP" << "HIGH" << "MIXED" << "FIXED";
        QTest::newRow("sprint, one mode") << int(Contest::Sprint) << int(EntryClass::Low) << "CW"
                                          << "10-10-SPRINT" << "SINGLE-OP" << "LOW" << "CW" << "FIXED";
    }
    void cabrillo3IsReadByAStrictParser()
    {
        QFETCH(int, contest);
        QFETCH(int, entry);
        QFETCH(QString, modes);
        QFETCH(QString, contestName);
        QFETCH(QString, operatorCategory);
        QFETCH(QString, power);
        QFETCH(QString, mode);
        QFETCH(QString, station);
        // The header tags of Cabrillo 3.0 and the 10-10 names of its contest list.
        static const QStringList tags{
            "START-OF-LOG", "END-OF-LOG", "CALLSIGN", "CONTEST", "CATEGORY-ASSISTED", "CATEGORY-BAND",
            "CATEGORY-MODE", "CATEGORY-OPERATOR", "CATEGORY-POWER", "CATEGORY-STATION", "CATEGORY-TIME",
            "CATEGORY-TRANSMITTER", "CATEGORY-OVERLAY", "CERTIFICATE", "CLAIMED-SCORE", "CLUB", "CREATED-BY",
            "EMAIL", "GRID-LOCATOR", "LOCATION", "NAME", "ADDRESS", "ADDRESS-CITY", "ADDRESS-STATE-PROVINCE",
            "ADDRESS-POSTALCODE", "ADDRESS-COUNTRY", "OPERATORS", "OFFTIME", "SOAPBOX", "QSO", "X-QSO"};
        static const QStringList contests{"10-10-WINTER-PHONE", "10-10-SPRING-CW",   "10-10-SPRING-DIGITAL",
                                          "10-10-OPEN-SEASON",  "10-10-SPIRIT-OF-76", "10-10-SUMMER-PHONE",
                                          "10-10-FALL-CW",      "10-10-FALL-DIGITAL", "10-10-SPRINT"};
        static const QHash<QString, QStringList> values{
            {"CATEGORY-OPERATOR", {"SINGLE-OP", "MULTI-OP", "CHECKLOG"}},
            {"CATEGORY-POWER", {"HIGH", "LOW", "QRP"}},
            {"CATEGORY-STATION", {"DISTRIBUTED", "FIXED", "MOBILE", "PORTABLE", "ROVER", "ROVER-LIMITED",
                                  "ROVER-UNLIMITED", "EXPEDITION", "HQ", "SCHOOL", "EXPLORER"}},
            {"CATEGORY-BAND", {"ALL", "160M", "80M", "40M", "20M", "15M", "10M", "6M", "2M"}},
            {"CATEGORY-MODE", {"CW", "DIGI", "FM", "RTTY", "SSB", "MIXED"}}};

        QList<QsoRecord> log = fixtures::smallLog();
        const QStringList modeList = modes.split(u' ');
        for (qsizetype i = 0; i < log.size(); ++i)
            log[i].mode = modeList[i % modeList.size()];
        ReportFields f = fixtures::fields();
        f.contest = Contest(contest);
        f.entryClass = EntryClass(entry);
        QByteArray bytes;
        QVERIFY(CabrilloWriter(fixtures::station(), f, "8", title(), CabrilloWriter::Format::Cabrillo3)
                    .build(log, bytes));
        const QStringList lines = QString::fromLatin1(bytes).split("\r\n");
        QCOMPARE(lines.first(), QString("START-OF-LOG: 3.0"));
        QCOMPARE(lines.last(), QString());
        QCOMPARE(lines[lines.size() - 2], QString("END-OF-LOG:"));
        QHash<QString, QString> header;
        int qsos = 0;
        for (const QString &line : lines.mid(0, lines.size() - 1)) {
            const qsizetype colon = line.indexOf(u':');
            QVERIFY2(colon > 0, qPrintable(line));
            const QString tag = line.left(colon);
            QVERIFY2(tags.contains(tag) || tag.startsWith("X-"), qPrintable("unknown tag: " + line));
            QVERIFY2(line.size() == colon + 1 || line.at(colon + 1) == u' ', qPrintable(line));
            const QString value = line.mid(colon + 1).trimmed();
            if (tag == "QSO") {
                // freq mo date time call-sent exch-sent call-rcvd exch-rcvd: 28000 CW yyyy-mm-dd hhmm ...
                static const QRegularExpression qso(
                    "^28000 (CW|PH|FM|RY|DG) \\d{4}-\\d{2}-\\d{2} \\d{4} K1XYZ +\\S+ +\\S+ +\\S+ +\\S+ +\\S+ +\\S+ +\\S+$");
                const int rec = qsos++;
                if (QDate::fromString(log[rec].date, "yyyy/MM/dd").isValid())
                    QVERIFY2(qso.match(value).hasMatch(), qPrintable(line));
                continue;
            }
            if (values.contains(tag))
                QVERIFY2(values[tag].contains(value), qPrintable(line));
            if (tag != "ADDRESS" && tag != "SOAPBOX" && tag != "END-OF-LOG")
                QVERIFY2(!header.contains(tag), qPrintable("twice: " + line));
            header.insert(tag, value);
        }
        QCOMPARE(qsos, log.size());
        QVERIFY(contests.contains(header["CONTEST"]));
        QCOMPARE(header["CONTEST"], contestName);
        QCOMPARE(header["CATEGORY-OPERATOR"], operatorCategory);
        QCOMPARE(header["CATEGORY-POWER"], power);
        QCOMPARE(header["CATEGORY-MODE"], mode);
        QCOMPARE(header["CATEGORY-STATION"], station);
        QCOMPARE(header["CALLSIGN"], QString("K1XYZ"));
        QCOMPARE(header["CLAIMED-SCORE"], QString("8"));
        QCOMPARE(header["CREATED-BY"], QString("Vardel 2.9"));
        QCOMPARE(header["X-TEN-TEN-NUMBER"], QString("12345"));
        QCOMPARE(header["X-QSOS-WITH-10-10-NUMBERS"], QString("3"));
        QCOMPARE(header["X-QSOS-WITHOUT-10-10-NUMBERS"], QString("2"));

        // The QSO lines are the sponsor format's, byte for byte.
        QByteArray sponsor;
        QVERIFY(CabrilloWriter(fixtures::station(), f, "8", title()).build(log, sponsor));
        QVERIFY(bytes.endsWith(sponsor.mid(sponsor.indexOf("QSO: "))));
    }

    // The party is proposed from the first contact's day and the modes worked; the season and
    // a digital-only log decide outside the parties' days.
    void proposesThePartyFromDatesAndModes_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("modes");
        QTest::addColumn<int>("expected");
        QTest::newRow("winter phone, saturday") << "2026/02/07" << "PH" << int(Contest::WinterPhone);
        QTest::newRow("winter phone, sunday") << "2026/02/08" << "PH" << int(Contest::WinterPhone);
        QTest::newRow("spring digital, Apr 30 a saturday") << "2022/04/23" << "DG" << int(Contest::SpringDigital);
        QTest::newRow("Apr 30 2022 is no full weekend") << "2022/04/30" << "CW" << int(Contest::SpringCw);
        QTest::newRow("spring cw") << "2026/05/02" << "CW DG" << int(Contest::SpringCw);
        QTest::newRow("spring cw days, digital only") << "2026/05/03" << "DG" << int(Contest::SpringDigital);
        QTest::newRow("open season") << "2026/06/06" << "DG" << int(Contest::OpenSeason);
        QTest::newRow("spirit of 76, any mode") << "2026/07/04" << "CW PH" << int(Contest::SpiritOf76);
        QTest::newRow("summer phone") << "2026/08/01" << "PH" << int(Contest::SummerPhone);
        QTest::newRow("sprint, any mode") << "2026/10/10" << "CW" << int(Contest::Sprint);
        QTest::newRow("fall cw, third weekend") << "2026/10/17" << "CW" << int(Contest::FallCw);
        QTest::newRow("fall cw, not the first weekend") << "2026/10/03" << "PH" << int(Contest::FallCw);
        QTest::newRow("autumn, digital only") << "2026/10/24" << "DG" << int(Contest::FallDigital);
        QTest::newRow("march phone") << "2026/03/15" << "PH" << int(Contest::WinterPhone);
        QTest::newRow("empty log: today's season") << "" << "" << int(Contest::FallCw);
        QTest::newRow("unreadable date: today's season") << "2026/13/01" << "PH" << int(Contest::FallCw);
    }
    void proposesThePartyFromDatesAndModes()
    {
        QFETCH(QString, date);
        QFETCH(QString, modes);
        QFETCH(int, expected);
        QList<QsoRecord> log;
        if (!date.isEmpty())
            for (const QString &mode : modes.split(u' ')) {
                QsoRecord r;
                r.call = "K1ABC";
                r.date = date;
                r.mode = mode;
                log << r;
            }
        QCOMPARE(int(proposedContest(log, QDate(2026, 12, 9))), expected);
    }

    // Every party is found again by its caption, its command-line spelling and its Cabrillo 3.0
    // name; every class by its caption.
    void namesReadBack()
    {
        QCOMPARE(allContests().size(), 9);
        for (Contest c : allContests()) {
            const QString caption = contestCaption(c);
            const QString cli = caption.toLower().replace(u' ', u'-');
            for (const QString &name : {caption, cli, CabrilloWriter::contest3(c, {})}) {
                Contest read = Contest(-1);
                QVERIFY2(contestFromName(name, read) && read == c, qPrintable(name));
            }
            QVERIFY(cabrilloContest(c).startsWith("10-10 "));
        }
        for (EntryClass e : {EntryClass::Individual, EntryClass::Club, EntryClass::Qrp, EntryClass::Low,
                             EntryClass::High, EntryClass::Mobile}) {
            EntryClass read = EntryClass(-1);
            QVERIFY(entryFromName(entryCaption(e).toLower(), read) && read == e);
        }
        Contest none;
        QVERIFY(!contestFromName("easter", none));
        EntryClass noClass;
        QVERIFY(!entryFromName("multi", noClass));
    }

    void coverSheet_data()
    {
        QTest::addColumn<QString>("comment");
        QTest::addColumn<QStringList>("tail");
        QTest::newRow("no comment") << QString() << QStringList{};
        QTest::newRow("one character") << "!" << QStringList{"", "Comment: !"};
        QTest::newRow("comment") << "Great fun" << QStringList{"", "Comment: Great fun"};
    }
    void coverSheet()
    {
        QFETCH(QString, comment);
        QFETCH(QStringList, tail);
        ReportFields f = fixtures::fields();
        f.comment = comment;
        QByteArray bytes;
        QVERIFY(CoverSheetWriter(fixtures::station(), f, "8").build(fixtures::smallLog(), bytes));
        QStringList lines{
            "10-10 QSO PARTY COVER SHEET for: K1XYZ",
            "",
            "QSO Party Name: Summer Phone",
            "",
            "Year: 2009",
            "",
            "From 0000z: 08/01 To 0000z: 08/02",
            "",
            "Call: K1XYZ  Name: Ann Smith  10-10#: 12345",
            "",
            "Mailing Address:",
            "",
            "Ann Smith",
            "1 Main St",
            "Hartford CT 06101",
            "",
            "Call Area or ARRL Country from which you operated during the QSO Party: CT",
            "",
            "Chapter assignment (if any): Nutmeg",
            "",
            "Entry is: Club",
            "",
            "Scoring",
            "Total contacts Number of Contacts Multiplier - - - Points - - -",
            "",
            "With 10-10 numbers: 3 X 2 = 6",
            "",
            "Without 10-10 numbers: 2 X 1 = 2",
            "",
            "Total Score = 8",
        };
        lines += tail;
        QCOMPARE(bytes, join(lines));
    }

    void coverSheetEmptyLogScoresZero()
    {
        QByteArray bytes;
        QVERIFY(CoverSheetWriter(fixtures::station(), ReportFields{}, "0").build({}, bytes));
        QVERIFY(bytes.contains("\r\nWith 10-10 numbers: 0 X 2 = 0\r\n"));
        QVERIFY(bytes.contains("\r\nWithout 10-10 numbers: 0 X 1 = 0\r\n"));
        QVERIFY(bytes.endsWith("\r\nTotal Score = 0\r\n"));
        QVERIFY(bytes.contains("QSO Party Name: Winter Phone\r\n"));
        QVERIFY(bytes.contains("Entry is: Individual\r\n"));
    }

    void coverSheetRefusesNonNumericPoints()
    {
        auto log = fixtures::smallLog();
        log[0].points = "";
        QByteArray bytes;
        QString why;
        QVERIFY(!CoverSheetWriter(fixtures::station(), fixtures::fields(), "8").build(log, bytes, &why));
        QVERIFY(!why.isEmpty());
    }

    void dupeSheetOrder()
    {
        QList<QsoRecord> log;
        for (const char *call : {"K2AA", "k1abc", "K1ABD", "W1AW", "K1ABC", "9A1A", "K1ABC", "K1AB"})
            log.append({call, "", "", "None", "1", "2009/08/01", "00:00:00", "CW"});
        QCOMPARE(DupeSheetWriter(" K1XYZ ").build(log),
                 join({"10-10 QSO Party Dupe Sheet for: K1XYZ", "", "9A1A", "K1AB", "K1ABC", "K1ABC", "K1ABD",
                       "K2AA", "W1AW", "k1abc"}));
        QCOMPARE(DupeSheetWriter("K1XYZ").build({}), join({"10-10 QSO Party Dupe Sheet for: K1XYZ", ""}));
    }

    void windows1252Bytes()
    {
        QList<QsoRecord> log{{"K1ABC", QString("JOS") + QChar(0xC9), "MA", "1", "2", "2009/08/01", "18:05:30", "CW"}};
        QByteArray bytes;
        ReportFields f;
        f.comment = QString("50") + QChar(0x20AC);
        QVERIFY(CabrilloWriter(fixtures::station(), f, "2", title()).build(log, bytes));
        QVERIFY(bytes.contains("SOAPBOX: 50\x80\r\n"));
        QVERIFY(bytes.contains(" JOS\xC9 "));
        QVERIFY(!bytes.contains("\n\n") && bytes.count('\n') == bytes.count("\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestReportWriters)
#include "tst_reportwriters.moc"
