#include "reportfixtures.h"

#include "reports/cabrillowriter.h"
#include "reports/coversheetwriter.h"
#include "reports/reportconstants.h"

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

    void dateForms_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("written");
        QTest::newRow("stored form") << "2009/08/01" << "2009-08-01";
        QTest::newRow("short month and day") << "2009/8/1" << "2009-08-01";
        QTest::newRow("month 13") << "2009/13/01" << "2009/13/01";
        QTest::newRow("february 30") << "2009/02/30" << "2009/02/30";
        QTest::newRow("text") << "garbage" << "garbage";
    }
    void dateForms()
    {
        QFETCH(QString, stored);
        QFETCH(QString, written);
        const QString line = CabrilloWriter::qsoLine({"K1ABC", "JOE", "MA", "1", "2", stored, "18:05:30", "CW"},
                                                     fixtures::station());
        QCOMPARE(line.mid(14, written.size()), written);
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
