#include "fakes.h"
#include "spotfixtures.h"
#include "core/prefixtable.h"
#include "spotting/spotline.h"
#include "spotting/spotstore.h"
#include "spotting/spotterminal.h"

#include <QSignalSpy>
#include <QTest>

class TestSpotStore : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void clusterLineColumns();
    void callPrefix_data();
    void callPrefix();
    void spotCountry_data();
    void spotCountry();
    void splitSpotLine_data();
    void splitSpotLine();
    void shiftKeepsFiftyNewestInOrder();
    void sameCallHidesEarlierSpot_data();
    void sameCallHidesEarlierSpot();
    void ownCallAlertEvenWithoutFrequency_data();
    void ownCallAlertEvenWithoutFrequency();
    void otherBandsKeepOutOfTheSlots();
    void dxListRowAndLimit();
    void tncLineAssembly_data();
    void tncLineAssembly();
    void tncDuplicateWindow();
    void tncRunawayLineIsDropped();
    void telnetLinesAcrossReads();
    void telnetLineEnds_data();
    void telnetLineEnds();
    void droppedLinkForgetsItsHalfLine();
    void agwFrames_data();
    void agwFrames();
    void terminalTrim();

private:
    PrefixTable m_table;
    FakeClock m_clock;
};

void TestSpotStore::initTestCase()
{
    const QString path = qEnvironmentVariable("VARDEL_TEST_DATA_DIR") + "/arrlpre2.txt";
    QString error;
    QVERIFY2(m_table.load(path, &error), qPrintable(error));
    m_clock.set(QDateTime(QDate(2026, 12, 5), QTime(14, 23)));
}

void TestSpotStore::clusterLineColumns()
{
    const QString line = clusterLine("W3LPL", "28025.0", "K5ABC");
    QCOMPARE(line.mid(15, 9), QString("  28025.0"));
    QCOMPARE(line.mid(26, 5), QString("K5ABC"));
    QCOMPARE(line.mid(70, 4), QString("1423"));
}

void TestSpotStore::callPrefix_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("prefix");
    QTest::newRow("plain") << "W1AW" << "W1";
    QTest::newRow("two digits") << "3D2AG" << "3D2";
    QTest::newRow("no digit") << "RAEM" << "RAEM";
    QTest::newRow("two characters") << "W1" << "";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("prefix before slash") << "KH6/W1AW" << "KH6";
    QTest::newRow("designator after slash") << "W1AW/KH6" << "KH6";
    QTest::newRow("portable letter") << "W1AW/P" << "P";
    QTest::newRow("call area number") << "W1AW/4" << "W4";
    QTest::newRow("two-letter call area") << "DL1ABC/9" << "DL9";
    QTest::newRow("slash at half of odd length") << "VP2E/K1AB" << "VP2E";
}

void TestSpotStore::callPrefix()
{
    QFETCH(QString, call);
    QFETCH(QString, prefix);
    QCOMPARE(CallPrefix(call), prefix);
}

void TestSpotStore::spotCountry_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("country");
    QTest::newRow("usa") << "K5ABC" << "USA";
    QTest::newRow("japan") << "JA1XYZ" << "Japan";
    QTest::newRow("hawaii beats K") << "KH6ABC" << "Hawaii";
    QTest::newRow("portable designator") << "W1AW/KH6" << "Hawaii";
    QTest::newRow("one-letter suffix keeps call") << "G4ABC/P" << "England";
    QTest::newRow("KG4 five characters") << "KG4AB" << "Guantanamo Bay";
    QTest::newRow("KG4 six characters") << "KG4ABC" << "USA";
    QTest::newRow("KG4 four characters") << "KG4A" << "Guantanamo Bay";
    QTest::newRow("unknown") << "Q1ABC" << "";
    QTest::newRow("empty") << "" << "";
}

void TestSpotStore::spotCountry()
{
    QFETCH(QString, call);
    QFETCH(QString, country);
    QCOMPARE(SpotCountry(m_table, call), country);
}

void TestSpotStore::splitSpotLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("frequency");
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("record");
    QTest::newRow("cluster") << clusterLine("W3LPL", "28025.0", "K5ABC", "CW") + "\r\n"
                             << "28025.0" << "K5ABC"
                             << clusterLine("W3LPL", "28025.0", "K5ABC", "CW").mid(3).trimmed()
                                    + "\r\n";
    QTest::newRow("short line") << "DX de X:" << "" << "" << "de X:";
    QTest::newRow("cut inside the call") << "DX de W3LPL:     28025.0  K5A" << "28025.0" << "K5A"
                                         << "de W3LPL:     28025.0  K5A";
    // A column off (skimmers): read by the fields, the record laid out in the usual columns.
    QTest::newRow("skimmer one column off")
        << "DX de KM3T-#:   28024.0  K5ABC        CW    15 dB  22 WPM  CQ      1423Z\r\n"
        << "28024.0" << "K5ABC"
        << clusterLine("KM3T-#", "28024.0", "K5ABC", "CW 15 dB 22 WPM CQ").mid(3) + "\r\n";
    QTest::newRow("long spotter pushes everything right")
        << "DX de VE7CC-1-#:    28010.5 W1AW  up 1  0915Z FN31" << "28010.5" << "W1AW"
        << clusterLine("VE7CC-1-#", "28010.5", "W1AW", "up 1", "0915").mid(3) + " FN31";
    QTest::newRow("no fields to read keeps the columns")
        << "DX de W3LPL:     QRT" << "" << "" << "de W3LPL:     QRT";
}

void TestSpotStore::splitSpotLine()
{
    QFETCH(QString, line);
    const SpotLine spot = ::splitSpotLine(line);
    QFETCH(QString, frequency);
    QFETCH(QString, call);
    QFETCH(QString, record);
    QCOMPARE(spot.hasFrequency, !frequency.isEmpty());
    QCOMPARE(spot.spot.hz, qRound64(frequency.toDouble() * 1000));
    QCOMPARE(spot.spot.call, call);
    QCOMPARE(spot.spot.prefix, CallPrefix(call));
    QCOMPARE(spot.record, record);
}

namespace {
QString spotRecord(const QString &call, const QString &kHz = "28025.0")
{
    return clusterLine("W3LPL", kHz, call, "CW").mid(3);
}
}  // namespace

void TestSpotStore::shiftKeepsFiftyNewestInOrder()
{
    SpotStore store(m_clock, m_table, [] { return QString("W1AW"); });
    QSignalSpy changed(&store, &SpotStore::spotsChanged);
    for (int n = 1; n <= 51; ++n) {
        m_clock.advance(60);
        QVERIFY(store.BandMapSpots(QString("K%1ABC").arg(n), QString::number(28000 + n),
                                   spotRecord("X")));
    }
    QCOMPARE(changed.count(), 51);
    // The first spot fell out; slot 0 holds the second, slot 49 the newest.
    QCOMPARE(store.slot(0).call, QString("K2ABC"));
    QCOMPARE(store.slot(49).call, QString("K51ABC"));
    QCOMPARE(store.slot(49).hz, 28051000);
    QCOMPARE(store.slot(0).hz, 28002000);
    QCOMPARE(store.slot(49).prefix, QString("K51"));
    QCOMPARE(store.slot(49).time, m_clock.localNow());
    QCOMPARE(store.slot(48).time, m_clock.localNow().addSecs(-60));
    // The two spare slots are never filled, and the maps read 50.
    QVERIFY(store.slot(50).call.isEmpty() && store.slot(51).call.isEmpty());
    QCOMPARE(store.mapSpots().size(), 50);
    QCOMPARE(store.mapSpots().last().call, QString("K51ABC"));
}

void TestSpotStore::sameCallHidesEarlierSpot_data()
{
    QTest::addColumn<int>("others");  // spots of other stations in between
    QTest::addColumn<QString>("again");
    QTest::addColumn<int>("hiddenSlot");
    QTest::newRow("right after") << 0 << "K5ABC" << 48;
    QTest::newRow("other case") << 3 << "k5abc" << 45;
    QTest::newRow("reaches slot 1") << 47 << "K5ABC" << 1;
    // Slot 0 is never examined: an old spot there stays on the band maps.
    QTest::newRow("slot 0 untouched") << 48 << "K5ABC" << -1;
}

void TestSpotStore::sameCallHidesEarlierSpot()
{
    QFETCH(int, others);
    QFETCH(QString, again);
    QFETCH(int, hiddenSlot);
    SpotStore store(m_clock, m_table, [] { return QString(); });
    store.BandMapSpots("K5ABC", "28025", spotRecord("K5ABC"));
    for (int n = 0; n < others; ++n)
        store.BandMapSpots(QString("JA%1XX").arg(n), "28100", spotRecord("JA"));
    store.BandMapSpots(again, "28030", spotRecord(again));
    QCOMPARE(store.slot(49).hz, 28030000);
    for (int i = 0; i < 49; ++i) {
        const bool same = store.slot(i).call.compare("K5ABC", Qt::CaseInsensitive) == 0;
        if (same)
            QCOMPARE(store.slot(i).hz == 0, i == hiddenSlot);
    }
    // Both spots stay in the DX list.
    QCOMPARE(store.dxList().size(), others + 2);
    QCOMPARE(store.dxList().last().frequency, QString("28.025"));
}

void TestSpotStore::ownCallAlertEvenWithoutFrequency_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("kHz");
    QTest::addColumn<bool>("alert");
    QTest::addColumn<bool>("stored");
    QTest::newRow("own call") << "W1AW" << "28025.0" << true << true;
    QTest::newRow("own call lower case, garbled frequency") << "w1aw" << "28O25" << true << false;
    QTest::newRow("other call, empty frequency") << "K5ABC" << "" << false << false;
    QTest::newRow("other call") << "K5ABC" << "28400" << false << true;
}

void TestSpotStore::ownCallAlertEvenWithoutFrequency()
{
    QFETCH(QString, call);
    QFETCH(QString, kHz);
    QFETCH(bool, alert);
    QFETCH(bool, stored);
    SpotStore store(m_clock, m_table, [] { return QString("W1AW "); });
    QSignalSpy alerts(&store, &SpotStore::ownCallSpotted);
    QSignalSpy rows(&store, &SpotStore::dxRowAdded);
    const QString record = spotRecord(call, kHz);
    QCOMPARE(store.BandMapSpots(call, kHz, record), stored);
    QCOMPARE(alerts.count(), alert ? 1 : 0);
    if (alert)
        QCOMPARE(alerts.at(0).at(0).toString(), record);
    QCOMPARE(rows.count(), stored ? 1 : 0);
    QCOMPARE(store.slot(49).call.isEmpty(), !stored);
}

// With the 10 m choice, a flood of 20 m spots leaves the 10 m spots on the maps and still
// lists every spot; without it the newest 50 of any band are kept.
void TestSpotStore::otherBandsKeepOutOfTheSlots()
{
    for (const bool tenOnly : {true, false}) {
        SpotStore store(m_clock, m_table, [] { return QString(); });
        store.setContestBandOnly(tenOnly);
        QSignalSpy changed(&store, &SpotStore::spotsChanged);
        QVERIFY(store.BandMapSpots("K5ABC", "28025.0", spotRecord("K5ABC")));
        for (int n = 0; n < 50; ++n)
            QVERIFY(store.BandMapSpots(QString("DL%1AA").arg(n), "14025.0", spotRecord("DL")));
        QCOMPARE(store.dxList().size(), 51);
        QCOMPARE(store.slot(49).call, QString(tenOnly ? "K5ABC" : "DL49AA"));
        QCOMPARE(changed.count(), tenOnly ? 1 : 51);
        // The band's edges count as the band.
        QVERIFY(store.BandMapSpots("W1AW", "29700", spotRecord("W1AW")));
        QCOMPARE(store.slot(49).call, QString("W1AW"));
    }
}

void TestSpotStore::dxListRowAndLimit()
{
    SpotStore store(m_clock, m_table, [] { return QString(); });
    const QString line = clusterLine("W3LPL-2", "28025.0", "JA1XYZ", "CW 599 up 2", "1423",
                                     "PM95", "NA") + "\r\n";
    store.BandMapSpots(::splitSpotLine(line));
    const DxListRow row = store.dxList().first();
    QCOMPARE(row.call, QString("JA1XYZ"));
    QCOMPARE(row.frequency, QString("28.025"));
    QCOMPARE(row.qth, QString("Japan"));
    QCOMPARE(row.comments, QString("de W3LPL-2:  CW 599 up 2"));
    QCOMPARE(row.prefix, QString("PM95"));
    QCOMPARE(row.time, QString("1423"));
    QCOMPARE(row.from, QString("NA"));

    for (int n = 0; n < 250; ++n)
        store.BandMapSpots(QString("K%1A").arg(n), "28100", spotRecord("K"));
    QCOMPARE(store.dxList().size(), 200);
    QCOMPARE(store.dxList().first().call, QString("K249A"));
    QCOMPARE(store.dxList().last().call, QString("K50A"));
}

void TestSpotStore::tncLineAssembly_data()
{
    QTest::addColumn<QStringList>("pieces");
    QTest::addColumn<bool>("dxOnly");
    QTest::addColumn<QStringList>("spots");
    QTest::addColumn<QString>("terminal");
    const QString a = clusterLine("W3LPL", "28025.0", "K5ABC") + "\r\n";
    const QString b = clusterLine("N1XX", "28400.5", "JA1XYZ") + "\r\n";
    QTest::newRow("split spot") << QStringList{a.left(20), a.mid(20)} << false
                                << QStringList{"K5ABC"} << a;
    QTest::newRow("partial line waits") << QStringList{a, b.left(30)} << false
                                        << QStringList{"K5ABC"} << a;
    QTest::newRow("chatter shown") << QStringList{"cmd:\r\n", a} << false
                                   << QStringList{"K5ABC"} << "cmd:\r\n" + a;
    QTest::newRow("chatter hidden in dx-only") << QStringList{"cmd:\r\n" + a + b} << true
                                               << QStringList{"K5ABC", "JA1XYZ"} << a + b;
    QTest::newRow("same line twice") << QStringList{a + a, a} << false << QStringList{"K5ABC"}
                                     << a;
    const QString bare = a.chopped(2), bareB = b.chopped(2);
    QTest::newRow("CR-only lines") << QStringList{bare + "\r" + bareB + "\r", "next"} << false
                                   << QStringList{"K5ABC", "JA1XYZ"} << a + b;
    QTest::newRow("CR then LF in the next read")
        << QStringList{bare + "\r", "\n" + bareB + "\r\n"} << false
        << QStringList{"K5ABC", "JA1XYZ"} << a + b;
    const QString header = "W3LPL-2>DX,WIDE2-1: ";
    QTest::newRow("monitor header on the spot's line")
        << QStringList{header + a, "W3LPL-2>ID: no DX de here\r\n"} << false
        << QStringList{"K5ABC"} << header + a + "W3LPL-2>ID: no DX de here\r\n";
}

void TestSpotStore::tncLineAssembly()
{
    QFETCH(QStringList, pieces);
    QFETCH(bool, dxOnly);
    QFETCH(QStringList, spots);
    QFETCH(QString, terminal);
    QStringList posted;
    SpotReception reception([&](const SpotLine &line) { posted << line.spot.call; });
    reception.listDxOnly = dxOnly;
    for (const QString &piece : pieces)
        QVERIFY(reception.addTncText(piece));
    QCOMPARE(posted, spots);
    QCOMPARE(reception.terminal().text(), terminal);
}

void TestSpotStore::tncDuplicateWindow()
{
    // The duplicate test only sees the newest 800 characters of the terminal.
    QStringList posted;
    SpotReception reception([&](const SpotLine &line) { posted << line.spot.call; });
    const QString a = clusterLine("W3LPL", "28025.0", "K5ABC") + "\r\n";
    reception.addTncText(a);
    reception.addTncText(QString(700, u'x') + "\r\n");
    reception.addTncText(a);
    QCOMPARE(posted.size(), 1);
    reception.addTncText(QString(100, u'y') + "\r\n");
    reception.addTncText(a);
    QCOMPARE(posted.size(), 2);
}

void TestSpotStore::tncRunawayLineIsDropped()
{
    SpotReception reception(nullptr);
    QVERIFY(reception.addTncText(QString(3000, u'x')));
    QVERIFY(!reception.addTncText(QString(3000, u'x')));
    QCOMPARE(reception.receiveBuffer(), QString("\n"));
    QVERIFY(reception.terminal().text().isEmpty());
}

// Every way a node ends its lines ends one line: the spots are all there, none twice.
void TestSpotStore::telnetLineEnds_data()
{
    QTest::addColumn<QStringList>("reads");
    const QString a = clusterLine("W3LPL", "28025.0", "K5ABC");
    const QString b = clusterLine("N1XX", "28400.5", "JA1XYZ");
    QTest::newRow("CR LF") << QStringList{a + "\r\n" + b + "\r\n"};
    QTest::newRow("LF") << QStringList{a + "\n" + b + "\n"};
    QTest::newRow("CR alone") << QStringList{a + "\r" + b + "\r"};
    QTest::newRow("CR NUL") << QStringList{a + QString("\r") + QChar(0) + b + QString("\r") + QChar(0)};
    QTest::newRow("CR and LF in two reads") << QStringList{a + "\r", "\n" + b + "\r", "\n"};
    QTest::newRow("more than 4 kB of CR-only lines")
        << QStringList{(a + "\r").repeated(60) + b + "\r"};
}
void TestSpotStore::telnetLineEnds()
{
    QFETCH(QStringList, reads);
    QStringList posted;
    SpotReception reception([&](const SpotLine &line) { posted << line.spot.call; });
    for (const QString &r : reads)
        QVERIFY(reception.addTelnetText(r));
    QCOMPARE(posted.last(), QString("JA1XYZ"));
    QCOMPARE(posted.count("JA1XYZ"), 1);
    QCOMPARE(posted.count("K5ABC"), posted.size() - 1);
    QVERIFY(posted.size() >= 2);
}

// A connection that drops in the middle of a line: that half is not the start of what the next
// connection sends (a login prompt).
void TestSpotStore::droppedLinkForgetsItsHalfLine()
{
    QStringList posted;
    SpotReception reception([&](const SpotLine &line) { posted << line.spot.call; });
    QVERIFY(reception.addTelnetText("DX de W3LPL:     28025.0  K5A"));
    reception.dropPartialLines();
    QVERIFY(reception.addTelnetText("login: "));
    QVERIFY(reception.addTelnetText("K1XYZ\r\n"));
    QVERIFY(reception.addTelnetText(clusterLine("N1XX", "28400.5", "JA1XYZ") + "\r\n"));
    QCOMPARE(posted, QStringList{"JA1XYZ"});
}

void TestSpotStore::telnetLinesAcrossReads()
{
    QStringList posted;
    SpotReception reception([&](const SpotLine &line) {
        posted << line.spot.call + "@" + QString::number(line.spot.hz);
    });
    const QString a = clusterLine("W3LPL", "28025.0", "K5ABC") + "\r\n";
    const QString b = clusterLine("N1XX", "28400.5", "JA1XYZ") + "\r\n";
    QVERIFY(reception.addTelnetText("login: "));
    // A spot right after the unanswered prompt still parses.
    QVERIFY(reception.addTelnetText(a.left(30)));
    QVERIFY(reception.addTelnetText(a.mid(30)));
    QCOMPARE(posted, QStringList{"K5ABC@28025000"});
    posted.clear();
    // Two spots in one read, the second split across reads, then the first again.
    QVERIFY(reception.addTelnetText("W1AW\r\nHello\r\n" + a + b.left(40)));
    QVERIFY(reception.addTelnetText(b.mid(40) + a));
    QCOMPARE(posted, (QStringList{"K5ABC@28025000", "JA1XYZ@28400500", "K5ABC@28025000"}));
    QCOMPARE(reception.terminal().text(), "login: " + a + "W1AW\r\nHello\r\n" + a + b + a);

    reception.listDxOnly = true;
    QVERIFY(reception.addTelnetText("chatter\r\n" + b));
    QVERIFY(reception.terminal().text().endsWith(a + b));
    QVERIFY(!reception.addTelnetText(QString(5000, u'z')));
}

void TestSpotStore::agwFrames_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("data");
    QTest::addColumn<QString>("connected");
    QTest::addColumn<bool>("dxOnly");
    QTest::addColumn<QString>("terminal");
    QTest::addColumn<int>("spots");
    const QString spot = clusterLine("W3LPL", "28025.0", "K5ABC");
    QTest::newRow("monitored spot loses header")
        << "U" << "N1XX" << " 1:Fm N1XX To DX <UI pid=F0 Len=80>[12:00:01]\r" + spot + "\r\r"
        << "" << false << spot + "\r\n" << 1;
    QTest::newRow("monitored chatter shown whole")
        << "I" << "N1XX" << " 1:Fm N1XX To W1AW <I>\rhello\r" << "" << false
        << "IN1XX  1:Fm N1XX To W1AW <I>\r\nhello\r\n" << 0;
    QTest::newRow("monitored chatter hidden in dx-only")
        << "I" << "N1XX" << " 1:Fm N1XX To W1AW <I>\rhello\r" << "" << true << "" << 0;
    QTest::newRow("connected station text")
        << "D" << "N1XX" << "Welcome\r" << "N1XX" << false << "Welcome\r\n" << 0;
    QTest::newRow("connected spot keeps first line")
        << "D" << "N1XX" << spot + "\r\r" << "n1xx" << false << spot + "\r\n" << 1;
    QTest::newRow("other station while connected")
        << "D" << "K9ZZ" << "Welcome\r" << "N1XX" << false << "" << 0;
    QTest::newRow("bare line break")
        << "D" << "N1XX" << "\n" << "N1XX" << false << "" << 0;
    QTest::newRow("every spot line of a connected frame")
        << "D" << "N1XX" << "hi\r" + spot + "\r" + clusterLine("W3LPL", "28025.1", "K5ABC") + "\r"
        << "N1XX" << false
        << spot + "\r\n" + clusterLine("W3LPL", "28025.1", "K5ABC") + "\r\nhi\r\n" << 2;
    QTest::newRow("monitored spot while connected")
        << "U" << "W3LPL" << " 1:Fm W3LPL To DX <UI pid=F0 Len=80>[12:00:01]\r" + spot + "\r"
        << "N1XX" << false << spot + "\r\n" << 1;
}

void TestSpotStore::agwFrames()
{
    QFETCH(QString, kind);
    QFETCH(QString, from);
    QFETCH(QString, data);
    QFETCH(QString, connected);
    QFETCH(bool, dxOnly);
    QFETCH(QString, terminal);
    QFETCH(int, spots);
    int posted = 0;
    SpotReception reception([&](const SpotLine &line) {
        QVERIFY(line.spot.hz == 28025000 || line.spot.hz == 28025100);
        QCOMPARE(line.spot.call, QString("K5ABC"));
        ++posted;
    });
    reception.listDxOnly = dxOnly;
    reception.addAgwFrame(kind.at(0), from, data, connected);
    QCOMPARE(reception.terminal().text(), terminal);
    QCOMPARE(posted, spots);
    // A repeat within view is neither shown nor stored again.
    reception.addAgwFrame(kind.at(0), from, data, connected);
    QCOMPARE(posted, spots);
}

void TestSpotStore::terminalTrim()
{
    SpotTerminal terminal;
    terminal.append(QString(9999, u'a'));
    QCOMPARE(terminal.text().size(), 9999);
    terminal.append("bc");
    QCOMPARE(terminal.text().size(), 9000);
    QVERIFY(terminal.text().endsWith("abc"));
    QVERIFY(terminal.recentlyShown("ABC"));
}

QTEST_GUILESS_MAIN(TestSpotStore)
#include "tst_spotstore.moc"
