#include "fakes.h"
#include "spotfixtures.h"
#include "core/prefixtable.h"
#include "spotting/agwframe.h"
#include "spotting/packetspotfrm.h"
#include "spotting/spotlink.h"
#include "spotting/spotstore.h"
#include "spotting/telnetcodec.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRadioButton>
#include <QSerialPort>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QtEndian>

#include <memory>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

// Waits for the peer's bytes until `count` have arrived, letting the program's side run.
QByteArray readAtLeast(QIODevice *device, int count)
{
    QByteArray got;
    (void)QTest::qWaitFor([&] {
        got += device->readAll();
        return got.size() >= count;
    }, 5000);
    return got;
}

AgwFrame frame(char kind, const QByteArray &from, const QByteArray &data)
{
    AgwFrame f;
    f.kind = kind;
    f.callFrom = from;
    f.data = data;
    return f;
}

// One settings file for a source, in the order the window reads it.
QByteArray packSpot(const QString &source, const QString &host = "", const QString &port = "",
                    int agwPort = 8000, int commPort = 1)
{
    return QStringLiteral("\"9600\"\r\n\"N\"\r\n\"8\"\r\n\"1\"\r\n%1\r\n\"N\"\r\n\"%2\"\r\n0\r\n"
                          "1\r\n0\r\n#TRUE#\r\n\"03\"\r\n\"%3\"\r\n\"%4\"\r\n\"127.0.0.1\"\r\n"
                          "%5\r\n")
        .arg(commPort)
        .arg(source, port, host)
        .arg(agwPort)
        .toLatin1();
}
}  // namespace

class TestSpotLinks : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void telnetCodec_data();
    void telnetCodec();
    void agwDecoder_data();
    void agwDecoder();
    void agwEncodeLayout();
    void socketErrors_data();
    void socketErrors();
    void settingsRoundTrip();
    void noSettingsFileOpensNothing();
    void telnetClusterSession();
    void telnetRefusedAndEarlyLine();
    void telnetRunawayLineDropsLink();
    void telnetConnectTimeout();
    void agwEngineSession();
    void agwBrokenHeaderDropsLink();
    void agwUnreachableGivesMessage();
    void tncOnPseudoTerminal();
    void directwolfRegistersAndMonitors();

private:
    PacketSpotfrm *makeWindow(const QByteArray &settings,
                              const std::function<void(SpotSession &)> &before = {});

    std::unique_ptr<TestEnv> m_env;
    FakeClock m_clock;
    FakeDialogs m_dialogs;
    PrefixTable m_table;
    std::unique_ptr<SpotStore> m_store;
    std::unique_ptr<SpotSession> m_session;
    std::unique_ptr<PacketSpotfrm> m_window;
    QString m_ownCall = "W1AW";
    QString m_device;
};

void TestSpotLinks::init()
{
    m_env = std::make_unique<TestEnv>();
    m_dialogs = FakeDialogs();
    m_ownCall = "W1AW";
    m_table.load(qEnvironmentVariable("VARDEL_TEST_DATA_DIR") + "/arrlpre2.txt");
    m_store = std::make_unique<SpotStore>(m_clock, m_table, [this] { return m_ownCall; });
}

void TestSpotLinks::cleanup()
{
    m_window.reset();
    m_session.reset();
    m_store.reset();
    m_env.reset();
}

PacketSpotfrm *TestSpotLinks::makeWindow(const QByteArray &settings,
                                         const std::function<void(SpotSession &)> &before)
{
    if (!settings.isEmpty())
        m_env->write("PackSpot.txt", settings);
    SpotSession::Services session;
    session.store = m_store.get();
    session.ownCall = [this] { return m_ownCall; };
    session.serialDevice = [this](int) { return m_device; };
    m_session = std::make_unique<SpotSession>(session);
    if (before)
        before(*m_session);
    SpotWindowServices s;
    s.dialogs = &m_dialogs;
    s.session = m_session.get();
    s.workingDir = m_env->path();
    s.appTitle = "Vardel";
    s.lastLoggedCall = [] { return QString("K5ABC"); };
    m_window = std::make_unique<PacketSpotfrm>(s);
    m_window->showWindow();
    return m_window.get();
}

void TestSpotLinks::telnetCodec_data()
{
    QTest::addColumn<QList<QByteArray>>("reads");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("plain") << QList<QByteArray>{"login: "} << QByteArray("login: ")
                           << QByteArray();
    QTest::newRow("do echo refused") << QList<QByteArray>{bytes({255, 253, 1}) + "login: "}
                                     << QByteArray("login: ") << bytes({255, 252, 1});
    QTest::newRow("will and wont") << QList<QByteArray>{bytes({255, 251, 3, 255, 252, 1}) + "x"}
                                   << QByteArray("x") << bytes({255, 254, 3});
    QTest::newRow("split across reads")
        << QList<QByteArray>{"a" + bytes({255}), bytes({253}), bytes({24}) + "b"}
        << QByteArray("ab") << bytes({255, 252, 24});
    QTest::newRow("subnegotiation stripped")
        << QList<QByteArray>{"a" + bytes({255, 250, 24, 1, 255, 240}) + "b"} << QByteArray("ab")
        << QByteArray();
    QTest::newRow("escaped 255") << QList<QByteArray>{bytes({'a', 255, 255, 'b'})}
                                 << bytes({'a', 255, 'b'}) << QByteArray();
    QTest::newRow("go-ahead dropped") << QList<QByteArray>{bytes({'a', 255, 249, 'b'})}
                                      << QByteArray("ab") << QByteArray();
    QTest::newRow("broken subnegotiation ends at the line end")
        << QList<QByteArray>{bytes({255, 250, 24}) + "junk\r\nDX de K1", "XX:\r\n"}
        << QByteArray("\r\nDX de K1XX:\r\n") << QByteArray();
    QTest::newRow("endless subnegotiation ends")
        << QList<QByteArray>{bytes({255, 250}) + QByteArray(1025, 'z') + "ok"}
        << QByteArray("ok") << QByteArray();
}

void TestSpotLinks::telnetCodec()
{
    QFETCH(QList<QByteArray>, reads);
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, reply);
    TelnetCodec codec;
    QByteArray gotData, gotReply;
    for (const QByteArray &read : reads)
        gotData += codec.decode(read, gotReply);
    QCOMPARE(gotData, data);
    QCOMPARE(gotReply, reply);
}

void TestSpotLinks::agwDecoder_data()
{
    QTest::addColumn<QList<QByteArray>>("reads");
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("lastLength");
    QTest::addColumn<bool>("failed");
    const QByteArray one = frame('U', "N1XX", "hello").encode();
    QByteArray huge = frame('U', "N1XX", "").encode();
    qToLittleEndian<quint32>(0x80000000u, huge.data() + 28);
    const QByteArray big = frame('D', "N1XX", QByteArray(5000, 'x')).encode();
    QTest::newRow("whole") << QList<QByteArray>{one + one} << 2 << 5 << false;
    QTest::newRow("byte by byte") << [&] {
        QList<QByteArray> l;
        for (char c : one)
            l << QByteArray(1, c);
        return l;
    }() << 1 << 5 << false;
    QTest::newRow("header split from data") << QList<QByteArray>{one.left(36), one.mid(36)} << 1
                                            << 5 << false;
    QTest::newRow("2 GB claimed") << QList<QByteArray>{huge, one} << 0 << 0 << true;
    QTest::newRow("long data kept to 4000") << QList<QByteArray>{big} << 1 << 4000 << false;
}

void TestSpotLinks::agwDecoder()
{
    QFETCH(QList<QByteArray>, reads);
    QFETCH(int, frames);
    QFETCH(int, lastLength);
    QFETCH(bool, failed);
    AgwDecoder decoder;
    QList<AgwFrame> got;
    for (const QByteArray &read : reads)
        got += decoder.feed(read);
    QCOMPARE(got.size(), frames);
    QCOMPARE(decoder.failed(), failed);
    if (!got.isEmpty()) {
        QCOMPARE(got.last().data.size(), lastLength);
        QCOMPARE(got.last().callFrom, QByteArray("N1XX"));
    }
}

void TestSpotLinks::agwEncodeLayout()
{
    const QByteArray f = agw::sendData("w1aw", "n1xx", "hi\r").encode();
    QCOMPARE(f.size(), 36 + 3);
    QCOMPARE(f.at(4), 'D');
    QCOMPARE(quint8(f.at(6)), quint8(0xF0));
    QCOMPARE(f.mid(8, 10), QByteArray("W1AW\0\0\0\0\0\0", 10));
    QCOMPARE(f.mid(18, 10), QByteArray("N1XX\0\0\0\0\0\0", 10));
    QCOMPARE(qFromLittleEndian<quint32>(f.constData() + 28), 3u);
    // A call too long for its field cannot run into the next one.
    const QByteArray r = agw::registerCall("ABCDEFGHIJKLMN").encode();
    QCOMPARE(r.at(17), '\0');
    QCOMPARE(r.at(18), '\0');
}

void TestSpotLinks::socketErrors_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("text");
    QTest::newRow("refused") << int(QAbstractSocket::ConnectionRefusedError)
                             << "ERROR: Connection is forcefully rejected.";
    QTest::newRow("host not found") << int(QAbstractSocket::HostNotFoundError)
                                    << "ERROR: Authoritative answer: Host not found.";
    QTest::newRow("closed by peer") << int(QAbstractSocket::RemoteHostClosedError)
                                    << "ERROR: Socket has been shut down.";
    QTest::newRow("timed out") << int(QAbstractSocket::SocketTimeoutError)
                               << "ERROR: The connection attempt timed out.";
    QTest::newRow("unreachable") << int(QAbstractSocket::NetworkError)
                                 << "ERROR: The network cannot be reached from this host at this time.";
    QTest::newRow("no table entry") << int(QAbstractSocket::SocketAccessError)
                                    << "Error number 10013";
}

void TestSpotLinks::socketErrors()
{
    QFETCH(int, error);
    QFETCH(QString, text);
    QCOMPARE(socketErrorText(socketErrorNumber(QAbstractSocket::SocketError(error))), text);
}

void TestSpotLinks::settingsRoundTrip()
{
    SpotSettings s;
    s.SpotTransport = "Telnet";
    s.telnetHost = "dx.example.net";
    s.telnetPort = "7300";
    s.agwPort = 8010;
    s.showList = true;
    s.CommPortNumber = 4;
    SpotSettings back;
    QCOMPARE(back.fromBytes(s.toBytes()), 17);
    QCOMPARE(back.toBytes(), s.toBytes());
    QVERIFY(s.toBytes().startsWith("\"19200\"\r\n\"N\"\r\n\"8\"\r\n\"1\"\r\n4\r\n"));
    // A file from before the engine's address was kept still reads its 14 lines.
    QByteArray old = s.toBytes();
    old.truncate(old.indexOf("\"127.0.0.1\""));
    SpotSettings fromOld;
    QCOMPARE(fromOld.fromBytes(old), 14);
    QCOMPARE(fromOld.agwPort, 8000);
    // A setup from before the 10 m choice keeps every band on the maps; a new one does not.
    QVERIFY(!fromOld.contestBandOnly);
    QVERIFY(SpotSettings().contestBandOnly);
    s.contestBandOnly = false;
    QVERIFY(back.fromBytes(s.toBytes()) == 17 && !back.contestBandOnly);
    QCOMPARE(s.CommSettings(), QString("19200,N,8,1"));
}

void TestSpotLinks::noSettingsFileOpensNothing()
{
    PacketSpotfrm *w = makeWindow(QByteArray());
    QVERIFY(!w->isListening());
    QCOMPARE(w->source(), SpotSource::None);
    QVERIFY(w->findChild<QRadioButton *>("optBaud192")->isChecked());
    QVERIFY(w->findChild<QRadioButton *>("OptBand")->isChecked());
    QVERIFY(w->findChild<QRadioButton *>("optComm0")->isChecked());
    // Choosing TNC presets the usual TNC framing.
    w->findChild<QListWidget *>("List1")->setCurrentRow(1);
    QVERIFY(w->findChild<QRadioButton *>("optBaud96")->isChecked());
    QVERIFY(w->findChild<QRadioButton *>("Option3")->isChecked());
    QCOMPARE(w->findChild<QLineEdit *>("txtHex")->text(), QString("03"));
    QCOMPARE(w->findChild<QLabel *>("Label6")->text(),
             QString("Send text  (Ctrl C or Esc for TNC Command mode):"));
}

void TestSpotLinks::telnetClusterSession()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    QSignalSpy alerts(m_store.get(), &SpotStore::ownCallSpotted);
    PacketSpotfrm *w = makeWindow(packSpot("Telnet", "127.0.0.1",
                                           QString::number(server.serverPort())));
    QVERIFY(w->isListening());
    QVERIFY(w->terminalText().startsWith("Attempting connection to: 127.0.0.1:"));
    QTRY_VERIFY(server.hasPendingConnections());
    QTcpSocket *peer = server.nextPendingConnection();

    // Negotiation is answered and never shown.
    peer->write(bytes({255, 253, 1}) + "login: ");
    QCOMPARE(readAtLeast(peer, 3), bytes({255, 252, 1}));
    QTRY_VERIFY(w->terminalText().endsWith("login: "));
    QVERIFY(!w->terminalText().contains(QChar(0xFD)));

    auto *txtSent = w->findChild<QLineEdit *>("txtSent");
    QTest::keyClicks(txtSent, "W1AW");
    QTest::keyClick(txtSent, Qt::Key_Return);
    QCOMPARE(readAtLeast(peer, 6), QByteArray("W1AW\r\n"));
    QVERIFY(txtSent->text().isEmpty());

    const QByteArray a = clusterLine("W3LPL", "28025.0", "K5ABC").toLatin1() + "\r\n";
    const QByteArray b = clusterLine("N1XX", "28400.5", "JA1XYZ").toLatin1() + "\r\n";
    peer->write(a.left(30));
    QTRY_VERIFY(w->terminalText().endsWith(QString::fromLatin1(a.left(30))));
    peer->write(a.mid(30) + b);
    QTRY_COMPARE(m_store->dxList().size(), 2);
    QCOMPARE(m_store->dxList().at(0).qth, QString("Japan"));
    QCOMPARE(m_store->slot(48).call, QString("K5ABC"));

    // Garbage is shown without its control bytes and does not stop the next spot.
    QByteArray garbage;
    for (int i = 0; i < 256; ++i)
        garbage.append(char(i == 255 ? 'x' : i));
    peer->write(garbage + "\r\n" + clusterLine("K1XX", "28100", "W1AW").toLatin1() + "\r\n");
    QTRY_COMPARE(alerts.count(), 1);
    QCOMPARE(m_store->dxList().size(), 3);
    QVERIFY(!w->terminalText().contains(QChar(0)));

    // A node that closes the link is called again, and its login prompt gets the own call.
    m_session->setReconnectDelays(50, 400);
    peer->close();
    QTRY_VERIFY(w->terminalText().contains("ERROR: Socket has been shut down."));
    QVERIFY(w->terminalText().contains("** Connection lost. Reconnecting in 0.05 s (attempt 1) **"));
    QVERIFY(w->isListening());
    QTRY_VERIFY(server.hasPendingConnections());
    QTcpSocket *again = server.nextPendingConnection();
    QTRY_VERIFY(w->terminalText().contains("** Reconnected **"));
    again->write("Please enter your call: ");
    QCOMPARE(readAtLeast(again, 6), QByteArray("W1AW\r\n"));

    // Comments in UTF-8 and in the old code page both read right, line by line, even with a
    // character split across two reads.
    const QByteArray utf8 = clusterLine("DL1AA", "28010.0", "DL2BB", "Gr\u00fc\u00dfe").toUtf8();
    const QByteArray cp1252 = clusterLine("F5AA", "28020.0", "F6BB", "tr\u00e8s").toLatin1();
    const qsizetype cut = utf8.indexOf("\xc3") + 1;
    again->write(utf8.left(cut));
    again->flush();
    QTest::qWait(50);
    again->write(utf8.mid(cut) + "\r\n" + cp1252 + "\r\n");
    QTRY_COMPARE(m_store->dxList().size(), 5);
    QVERIFY(m_store->dxList().at(1).comments.contains(QString("Gr\u00fc\u00dfe")));
    QVERIFY(m_store->dxList().at(0).comments.contains(QString("tr\u00e8s")));

    w->Command2_Click();
    QVERIFY(!w->isListening());
    QVERIFY(w->terminalText().contains("** Port Closed **"));
}

// A node that never answers the connection: the link says it timed out, in words of its own.
void TestSpotLinks::telnetConnectTimeout()
{
    // A listener whose one-place queue is taken lets the next connection hang unanswered.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    QVERIFY(listener >= 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    QVERIFY(::bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0);
    socklen_t length = sizeof address;
    QVERIFY(::getsockname(listener, reinterpret_cast<sockaddr *>(&address), &length) == 0);
    QVERIFY(::listen(listener, 0) == 0);
    QTcpSocket filler;
    filler.connectToHost(QHostAddress::LocalHost, ntohs(address.sin_port));
    QVERIFY(filler.waitForConnected(2000));

    m_env->write("PackSpot.txt", packSpot("Telnet", "127.0.0.1",
                                          QString::number(ntohs(address.sin_port))));
    PacketSpotfrm *w = makeWindow(QByteArray(), [](SpotSession &s) {
        s.setTelnetConnectTimeout(300);
    });
    QTRY_VERIFY_WITH_TIMEOUT(w->terminalText().contains("ERROR: The connection attempt timed out."),
                             5000);
    QVERIFY(!w->terminalText().contains("shut down"));
    // It never came up, so the settings are wrong: nothing is tried again.
    QVERIFY(!w->isListening());
    ::close(listener);
}

void TestSpotLinks::telnetRefusedAndEarlyLine()
{
    quint16 port = 0;
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        port = probe.serverPort();
    }
    PacketSpotfrm *w = makeWindow(packSpot("Telnet", "127.0.0.1", QString::number(port)));
    auto *txtSent = w->findChild<QLineEdit *>("txtSent");
    QTest::keyClicks(txtSent, "SH/DX");
    QTest::keyClick(txtSent, Qt::Key_Return);
    QVERIFY(w->terminalText().contains(
        "**  Connection not yet established.  Please wait a moment and try again."));
    QTRY_VERIFY(w->terminalText().contains("ERROR: Connection is forcefully rejected."));
    QVERIFY(!w->isListening());
}

void TestSpotLinks::telnetRunawayLineDropsLink()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    PacketSpotfrm *w = makeWindow(packSpot("Telnet", "127.0.0.1",
                                           QString::number(server.serverPort())));
    QTRY_VERIFY(server.hasPendingConnections());
    QTcpSocket *peer = server.nextPendingConnection();
    m_session->setReconnectDelays(50, 400);
    peer->write(QByteArray(1024 * 1024, 'A'));
    QTRY_VERIFY(w->terminalText().contains("without a line end"));
    QVERIFY(w->terminalText().size() <= 10000);
    // Dropped like any other drop: it comes back by itself.
    QVERIFY(w->isListening());
    QTRY_VERIFY(server.hasPendingConnections());
}

void TestSpotLinks::agwEngineSession()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    PacketSpotfrm *w = makeWindow(packSpot("AGW Packet Engine", "", "", server.serverPort()));
    QTRY_VERIFY(server.hasPendingConnections());
    QTcpSocket *peer = server.nextPendingConnection();
    AgwDecoder fromClient;
    auto next = [&] {
        QList<AgwFrame> got;
        (void)QTest::qWaitFor([&] {
            got += fromClient.feed(peer->readAll());
            return !got.isEmpty();
        }, 5000);
        return got.value(0);
    };
    const AgwFrame reg = next();
    QCOMPARE(reg.kind, 'X');
    QCOMPARE(reg.callFrom, QByteArray("W1AW"));
    AgwFrame ok = frame('X', "W1AW", bytes({1}));
    peer->write(ok.encode());
    QCOMPARE(next().kind, 'm');
    QTRY_VERIFY(w->terminalText().contains("** Successfully connected to AGW Packet Engine **"));

    const QByteArray spot = clusterLine("W3LPL", "28025.0", "K5ABC").toLatin1();
    peer->write(frame('U', "W3LPL", " 1:Fm W3LPL To DX <UI pid=F0 Len=76 >[14:23:00]\r" + spot
                                        + "\r\r").encode());
    QTRY_COMPARE(m_store->dxList().size(), 1);

    auto *txtSent = w->findChild<QLineEdit *>("txtSent");
    QTest::keyClicks(txtSent, ":C");
    QTest::keyClick(txtSent, Qt::Key_Return);
    QVERIFY(m_dialogs.wasShown("Call sign Required"));
    QTest::keyClicks(txtSent, "text nobody gets");
    QTest::keyClick(txtSent, Qt::Key_Return);
    QTest::keyClick(txtSent, Qt::Key_Escape);  // becomes the colon of a command
    QTest::keyClicks(txtSent, "c n1xx");
    QTest::keyClick(txtSent, Qt::Key_Return);
    const AgwFrame connect = next();
    QCOMPARE(connect.kind, 'C');
    QCOMPARE(connect.callTo, QByteArray("N1XX"));
    peer->write(frame('C', "N1XX", "*** CONNECTED With Station N1XX\r").encode());
    QTRY_COMPARE(w->windowTitle(), QString("DX Spotting Setup - Connected to N1XX"));
    QVERIFY(w->terminalText().contains("** Connected to N1XX **"));
    // A connect from a second station changes nothing.
    peer->write(frame('C', "K9ZZ", "*** CONNECTED To Station K9ZZ\r").encode());
    QTest::keyClicks(txtSent, "hello");
    QTest::keyClick(txtSent, Qt::Key_Return);
    AgwFrame data = next();
    QCOMPARE(data.kind, 'D');
    QCOMPARE(data.callTo, QByteArray("N1XX"));
    QCOMPARE(data.data, QByteArray("hello\r"));
    QCOMPARE(w->agwConnectedCall(), QString("N1XX"));

    // A long line goes out by itself at the next blank.
    const QString longLine(71, u'q');
    QTest::keyClicks(txtSent, longLine + " ");
    QVERIFY(txtSent->text().isEmpty());
    data = next();
    QCOMPARE(data.data, longLine.toLatin1() + "\r");

    // Closing the source tells the station goodbye first.
    w->Command2_Click();
    const AgwFrame bye = next();
    QCOMPARE(bye.kind, 'd');
    QCOMPARE(bye.callTo, QByteArray("N1XX"));
    QCOMPARE(w->windowTitle(), QString("DX Spotting Setup"));
}

void TestSpotLinks::agwBrokenHeaderDropsLink()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    PacketSpotfrm *w = makeWindow(packSpot("AGW Packet Engine", "", "", server.serverPort()));
    QTRY_VERIFY(server.hasPendingConnections());
    QTcpSocket *peer = server.nextPendingConnection();
    readAtLeast(peer, 36);
    peer->write(frame('X', "W1AW", bytes({1})).encode());
    QTRY_VERIFY(w->terminalText().contains("Successfully connected"));
    QByteArray huge = frame('U', "N1XX", "").encode();
    qToLittleEndian<quint32>(0x7FFFFFFFu, huge.data() + 28);
    m_session->setReconnectDelays(50, 400);
    peer->write(huge + QByteArray(1000, 'z'));
    QTRY_VERIFY(w->terminalText().contains("** AGW Packet Engine: the engine sent a frame of"));
    QVERIFY(w->isListening());
    // The engine is asked again; while it is away, each try waits twice as long, quietly.
    QTRY_VERIFY(server.hasPendingConnections());
    QTcpSocket *again = server.nextPendingConnection();
    server.close();
    QCOMPARE(agw::registerCall("W1AW").encode(), readAtLeast(again, 36).left(36));
    again->abort();
    QTRY_VERIFY_WITH_TIMEOUT(w->terminalText().contains("Reconnecting in 0.4 s (attempt 4)"), 5000);
    QVERIFY(w->terminalText().contains("Reconnecting in 0.2 s (attempt 3)"));
    QVERIFY(!m_dialogs.wasShown("Unable to connect to the AGW Packet Engine."));
    QVERIFY(w->isListening());
    w->Command2_Click();
    QVERIFY(!m_session->isReconnecting());
}

void TestSpotLinks::agwUnreachableGivesMessage()
{
    quint16 port = 0;
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        port = probe.serverPort();
    }
    PacketSpotfrm *w = makeWindow(packSpot("AGW Packet Engine", "", "", port));
    QTRY_VERIFY(m_dialogs.wasShown("Unable to connect to the AGW Packet Engine."));
    QVERIFY(!w->isListening());
    QVERIFY(w->terminalText().contains("- Click Open from this program."));

    // Without an own call nothing is tried.
    m_ownCall.clear();
    w->Command1_Click();
    QVERIFY(m_dialogs.wasShown("Call Sign Required!"));
    QVERIFY(!w->isListening());
}

void TestSpotLinks::tncOnPseudoTerminal()
{
    const QString socat = QStandardPaths::findExecutable("socat");
    if (socat.isEmpty())
        QSKIP("socat is not installed (scripts/install-deps.sh --tests installs it)");
    QProcess pair;
    const QString tnc = m_env->file("tnc"), far = m_env->file("far");
    pair.start(socat, {"pty,raw,echo=0,link=" + tnc, "pty,raw,echo=0,link=" + far});
    QTRY_VERIFY(QFile::exists(tnc) && QFile::exists(far));
    m_device = tnc;
    QSerialPort peer(far);
    QVERIFY(peer.open(QIODevice::ReadWrite));

    PacketSpotfrm *w = makeWindow(packSpot("TNC"));
    QVERIFY(w->terminalText().contains("** TNC Serial Port Open **"));
    QVERIFY(w->isListening());
    const QByteArray a = clusterLine("W3LPL", "28025.0", "K5ABC").toLatin1() + "\r\n";
    peer.write("cmd:\r\n" + a.left(20));
    QTRY_VERIFY(w->terminalText().contains("cmd:"));
    QCOMPARE(m_store->dxList().size(), 0);
    peer.write(a.mid(20) + a);  // the repeat is already in view
    QTRY_COMPARE(m_store->dxList().size(), 1);

    auto *txtSent = w->findChild<QLineEdit *>("txtSent");
    QTest::keyClicks(txtSent, "C KB1XX");
    QTest::keyClick(txtSent, Qt::Key_Return);
    QTest::keyClick(txtSent, Qt::Key_Escape);  // the TNC's command-mode character
    QCOMPARE(readAtLeast(&peer, 9), QByteArray("C KB1XX\r\x03"));

    // A serial option change closes the port.
    w->findChild<QRadioButton *>("optBaud48")->click();
    QVERIFY(!w->isListening());
    QVERIFY(w->terminalText().endsWith("** Port Closed **"));
    peer.close();
    pair.terminate();
    pair.waitForFinished(3000);
}

void TestSpotLinks::directwolfRegistersAndMonitors()
{
    const QString direwolf = QStandardPaths::findExecutable("direwolf");
    if (direwolf.isEmpty())
        QSKIP("direwolf is not installed (scripts/install-deps.sh --tests installs it)");
    quint16 port = 0;
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        port = probe.serverPort();
    }
    m_env->write("dw.conf", QStringLiteral("ADEVICE null null\nCHANNEL 0\nMYCALL W1AW\n"
                                           "MODEM 1200\nAGWPORT %1\nKISSPORT 0\n")
                                .arg(port)
                                .toLatin1());
    QProcess engine;
    engine.setWorkingDirectory(m_env->path());
    engine.start(direwolf, {"-c", m_env->file("dw.conf"), "-t", "0"});
    QVERIFY(engine.waitForStarted(5000));

    // The engine needs a moment before it listens.
    auto listening = [port] {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, port);
        return probe.waitForConnected(200);
    };
    QTRY_VERIFY_WITH_TIMEOUT(listening(), 10000);

    AgwLink link;
    link.setAddress("127.0.0.1", port);
    link.setOwnCall("w1aw");
    QSignalSpy opened(&link, &SpotLink::opened);
    QSignalSpy failed(&link, &SpotLink::failed);
    link.open();
    QTRY_VERIFY_WITH_TIMEOUT(!opened.isEmpty() || !failed.isEmpty(), 6000);
    QVERIFY2(failed.isEmpty(), failed.isEmpty() ? "" : qPrintable(failed.at(0).at(0).toString()));
    QVERIFY(link.isOpen());
    // Monitoring is on; a connect request goes out to the real engine without breaking the
    // link.
    QVERIFY(link.sendLine(":C N0CALL"));
    QVERIFY(link.isOpen());
    link.close();
    engine.terminate();
    engine.waitForFinished(3000);
}

QTEST_MAIN(TestSpotLinks)
#include "tst_spotlinks.moc"
