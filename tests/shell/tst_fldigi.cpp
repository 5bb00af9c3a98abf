// fldigi through its XML-RPC interface, played by a loopback server that answers as fldigi
// does: the fields picked in fldigi reach the entry line, F-keys in DG mode transmit through it,
// Esc aborts, and a program that stops answering never holds the logger up.
#include "mainwindowharness.h"
#include "reports/reportcontext.h"
#include "rig/dgmessages.h"
#include "rig/fldigilink.h"
#include "rig/xmlrpc.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTimer>
#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QXmlStreamReader>

namespace {
struct FakeFldigi : QObject {
    QTcpServer server;
    QMap<QString, QString> answers;  // method -> XML of the <value>
    QStringList calls;               // "method" or "method(text)"
    bool silent = false;             // accept and never answer
    FakeFldigi()
    {
        answers = {{"log.get_call", "<string></string>"},       {"log.get_name", "<string></string>"},
                   {"log.get_exchange", "<string></string>"},   {"main.get_frequency", "<double>28120000.0</double>"},
                   {"modem.get_name", "<string>BPSK31</string>"}, {"text.add_tx", ""},
                   {"main.tx", ""},                             {"main.abort", ""}};
        server.listen(QHostAddress::LocalHost, 0);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = server.nextPendingConnection()) {
                auto *buffer = new QByteArray;
                connect(s, &QTcpSocket::disconnected, s, [s, buffer] { delete buffer; s->deleteLater(); });
                connect(s, &QTcpSocket::readyRead, s, [this, s, buffer] {
                    *buffer += s->readAll();
                    const qsizetype end = buffer->indexOf("\r\n\r\n");
                    if (end < 0)
                        return;
                    const qsizetype at = buffer->toLower().indexOf("content-length:");
                    const int length = buffer->mid(at + 15, buffer->indexOf("\r\n", at) - at - 15).trimmed().toInt();
                    if (buffer->size() < end + 4 + length)
                        return;
                    const QByteArray body = buffer->mid(end + 4, length);
                    buffer->remove(0, end + 4 + length);
                    if (silent)
                        return;
                    answer(s, body);
                });
            }
        });
    }
    void answer(QTcpSocket *s, const QByteArray &body)
    {
        QXmlStreamReader x(body);
        QString method, param;
        while (!x.atEnd()) {
            if (x.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (x.name() == u"methodName")
                method = x.readElementText();
            else if (x.name() == u"string")
                param = x.readElementText();
        }
        calls << (param.isEmpty() ? method : method + "(" + param + ")");
        QByteArray reply;
        if (method == u"log.get_state")
            reply = "<?xml version=\"1.0\"?><methodResponse><fault><value><struct><member><name>faultString</name>"
                    "<value>No such method</value></member></struct></value></fault></methodResponse>";
        else
            reply = "<?xml version=\"1.0\"?><methodResponse><params><param><value>" + answers.value(method).toUtf8()
                    + "</value></param></params></methodResponse>";
        s->write("HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nContent-Length: " + QByteArray::number(reply.size())
                 + "\r\n\r\n" + reply);
    }
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(server.serverPort()); }
};
}  // namespace

class TestFldigi : public QObject {
    Q_OBJECT

private slots:
    void xmlRpcRoundTrip()
    {
        const QByteArray call = xmlrpc::request("text.add_tx", {QStringLiteral("CQ <&> DE K1XYZ")});
        QVERIFY(call.contains("<methodName>text.add_tx</methodName>"));
        QVERIFY(call.contains("CQ &lt;&amp;&gt; DE K1XYZ"));
        QCOMPARE(xmlrpc::parse("<methodResponse><params><param><value><double>28120000.5</double></value></param>"
                               "</params></methodResponse>").value.toDouble(), 28120000.5);
        QCOMPARE(xmlrpc::parse("<methodResponse><params><param><value>W1AW</value></param></params></methodResponse>")
                     .value.toString(), QString("W1AW"));
        const xmlrpc::Response fault = xmlrpc::parse("<methodResponse><fault><value><struct><member><name>faultString"
                                                     "</name><value>bad</value></member></struct></value></fault></methodResponse>");
        QVERIFY(!fault.ok && !fault.fault.isEmpty());
        QVERIFY(!xmlrpc::parse("<html>not found</html>").ok);
    }

    void fieldsReachTheEntryLineAndKeysTransmit()
    {
        FakeFldigi fldigi;
        MainWindowHarness h;
        h.writePreferences("K1XYZ");
        h.writeLog({MainWindowHarness::rec("W1AW")});
        h.settings.values[FldigiLink::kSettingsKey] = fldigi.address();
        Form1 &form = h.start();
        auto *link = form.findChild<FldigiLink *>();
        QVERIFY(link);
        QTRY_VERIFY(link->isConnected());
        QTRY_COMPARE(h.label("lblFldigi"), QString("fldigi: BPSK31 on 28120.000 kHz"));

        // The operator clicks a call and an exchange in fldigi's receive pane.
        fldigi.answers["log.get_call"] = "<string>ja1xyz</string>";
        fldigi.answers["log.get_name"] = "<string>Taro</string>";
        fldigi.answers["log.get_exchange"] = "<string>TARO 7</string>";
        QTRY_COMPARE(h.field("txtCall")->text(), QString("JA1XYZ"));
        QTRY_COMPARE(h.field("txtRSTR")->text(), QString("TARO"));
        QCOMPARE(h.field("txtRSTS")->text(), QString("7"));
        QCOMPARE(h.field("txtCntry")->text(), QString("Japan"));  // the lookup ran

        // DG mode: F3 ("TU $ 73 DE K1XYZ QRZ!") transmits through fldigi and logs the contact.
        form.findChild<QAction *>("mnuDigital")->trigger();
        QCOMPARE(form.preferences().currentMode, QString("DG"));
        fldigi.calls.clear();
        h.field("txtCall")->setFocus();
        h.key(Qt::Key_F3);
        QTRY_VERIFY(fldigi.calls.contains("text.add_tx(TU JA1XYZ 73 DE K1XYZ QRZ ^r)"));
        QTRY_VERIFY(fldigi.calls.contains("main.tx"));
        QCOMPARE(h.logLines().size(), 2);
        QVERIFY(h.logLines().last().startsWith("\"JA1XYZ\",\"TARO\",\"Japan\",\"7\""));
        QVERIFY(h.logLines().last().endsWith("\"DG\""));
        QTRY_VERIFY(h.env.read("logfreq.txt").contains("BPSK31"));
        // The contest ADIF carries the modem fldigi named for that contact.
        QCOMPARE(form.reportContext().submodeOf(form.logStore().record(2)), QString("BPSK31"));
        h.key(Qt::Key_Escape);
        QTRY_VERIFY(fldigi.calls.contains("main.abort"));
    }

    // Options > fldigi: the address is kept only once the link takes it; "off" disconnects, a
    // refusal is shown, Cancel changes nothing.
    void addressAskedThroughOptions()
    {
        FakeFldigi fldigi;
        MainWindowHarness h;
        h.writePreferences("K1XYZ");
        Form1 &form = h.start();
        auto *link = form.findChild<FldigiLink *>();
        QAction *menu = form.findChild<QAction *>("mnuFldigi");
        const QString key = FldigiLink::kSettingsKey;

        h.dialogs.inputAnswers.enqueue(fldigi.address());
        menu->trigger();
        QCOMPARE(h.dialogs.shown.last().extra, QString("127.0.0.1:7362"));  // fldigi's default offered
        QCOMPARE(h.settings.values.value(key), fldigi.address());
        QTRY_VERIFY(link->isConnected());

        h.dialogs.inputAnswers.enqueue("no port here");
        menu->trigger();
        QCOMPARE(h.dialogs.titles().last(), QString("fldigi"));
        QCOMPARE(h.dialogs.shown.last().kind, QString("message"));
        QCOMPARE(h.settings.values.value(key), fldigi.address());

        menu->trigger();  // cancelled
        QCOMPARE(h.settings.values.value(key), fldigi.address());
        QCOMPARE(h.dialogs.shown.last().extra, fldigi.address());  // the kept one offered

        h.dialogs.inputAnswers.enqueue(" OFF ");
        menu->trigger();
        QCOMPARE(h.settings.values.value(key), QString());
        QVERIFY(!link->isActive());
    }

    // The wildcards the CW messages take, and "!" only with a call to log.
    void digitalMessageWildcards_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("sent");
        QTest::addColumn<bool>("logs");
        QTest::newRow("call and report") << "$ UR * 599 DE K1XYZ" << " ja1xyz " << "ja1xyz UR 599 599 DE K1XYZ" << false;
        QTest::newRow("no serial number") << "NR # TU" << "W1AW" << "NR  TU" << false;
        QTest::newRow("log with a call") << "TU $ 73!" << "W1AW" << "TU W1AW 73" << true;
        QTest::newRow("no call: nothing logged") << "TU $ 73!" << "" << "TU  73" << false;
        QTest::newRow("only the log mark") << "!" << "W1AW" << "" << true;
    }
    void digitalMessageWildcards()
    {
        QFETCH(QString, message);
        QFETCH(QString, call);
        QFETCH(QString, sent);
        QFETCH(bool, logs);
        const dgmessages::Expanded e = dgmessages::expand(message, call);
        QCOMPARE(e.text, sent);
        QCOMPARE(e.logs, logs);
    }

    // Options > Digital Messages edits DG.txt with keys; the next F-key sends the new text, and
    // a file that cannot be written says so and keeps the old one.
    void digitalMessagesEditedAndSent()
    {
        FakeFldigi fldigi;
        MainWindowHarness h;
        h.writePreferences("K1XYZ");
        h.settings.values[FldigiLink::kSettingsKey] = fldigi.address();
        Form1 &form = h.start();
        QTRY_VERIFY(form.findChild<FldigiLink *>()->isConnected());
        form.findChild<QAction *>("mnuDigital")->trigger();

        QString shownSecond;
        QTimer::singleShot(0, this, [&] {
            QWidget *editor = QApplication::activeModalWidget();
            QVERIFY(editor);
            auto *second = editor->findChild<QLineEdit *>("txtMessage2");
            shownSecond = second->text();
            second->setFocus();
            second->selectAll();
            QTest::keyClicks(second, "$ \"QSL\" * BOB CT 1234 K");
            QTest::keyClick(second, Qt::Key_Return);
        });
        form.findChild<QAction *>("mnuDigitalMessages")->trigger();
        QCOMPARE(shownSecond, QString("$ DE K1XYZ ANN CT 1234 K"));  // the defaults, from the station setup
        const QByteArray file = h.env.read("DG.txt");
        QCOMPARE(file.count("\r\n"), 10);
        QVERIFY(file.contains("\"$ QSL * BOB CT 1234 K\"\r\n"));  // the quote kept out as typed

        fldigi.calls.clear();
        QTest::keyClicks(h.field("txtCall"), "w1aw");
        h.key(Qt::Key_F2);
        QTRY_VERIFY(fldigi.calls.contains("text.add_tx(W1AW QSL 599 BOB CT 1234 K ^r)"));

        // A folder that refuses the file: the operator is told, DG.txt stays as it was.
        QFile::remove(h.env.file("DG.txt"));
        QVERIFY(QDir().mkdir(h.env.file("DG.txt")));
        QTimer::singleShot(0, this, [] {
            QWidget *editor = QApplication::activeModalWidget();
            QVERIFY(editor);
            QTest::keyClick(editor->findChild<QLineEdit *>("txtMessage1"), Qt::Key_Return);
        });
        form.findChild<QAction *>("mnuDigitalMessages")->trigger();
        QCOMPARE(h.dialogs.titles().last(), QString("Digital Messages"));
        QVERIFY(h.dialogs.shown.last().text.startsWith("The digital messages could not be saved"));
    }

    // The real program under Xvfb with the logger connected: a call set in its log fields
    // reaches the call field, F2 goes out through its transmit buffer, Esc stops it.
    void realFldigiUnderXvfb()
    {
        const QString fldigiProgram = QStandardPaths::findExecutable("fldigi");
        const QString xvfbProgram = QStandardPaths::findExecutable("Xvfb");
        if (fldigiProgram.isEmpty() || xvfbProgram.isEmpty())
            QSKIP("fldigi or Xvfb is not installed (scripts/install-deps.sh --tests installs them)");
        TestEnv env;
        // Xvfb picks a free display itself and says which on its standard output.
        QProcess xvfb;
        xvfb.start(xvfbProgram, {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
        QVERIFY(xvfb.waitForStarted(5000));
        QByteArray said;
        QTRY_VERIFY_WITH_TIMEOUT((said += xvfb.readAllStandardOutput()).contains('\n'), 10000);
        const int display = said.trimmed().toInt();
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        const quint16 port = probe.serverPort();
        probe.close();
        // A configuration of its own: without one fldigi opens its set-up wizard first and starts
        // its XML-RPC server only after it.
        QVERIFY(QDir().mkpath(env.file("fldigi")));
        env.write("fldigi/fldigi_def.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<FLDIGI_DEFS>\n"
                                           "<MYCALL>K1XYZ</MYCALL>\n<MYNAME>ANN</MYNAME>\n</FLDIGI_DEFS>\n");
        QProcess fldigi;
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert("DISPLAY", QStringLiteral(":%1").arg(display));
        e.insert("HOME", env.path());
        fldigi.setProcessEnvironment(e);
        fldigi.setProcessChannelMode(QProcess::MergedChannels);
        fldigi.start(fldigiProgram, {"--config-dir", env.file("fldigi"), "--xmlrpc-server-address", "127.0.0.1",
                                     "--xmlrpc-server-port", QString::number(port)});
        QVERIFY(fldigi.waitForStarted(5000));
        auto cleanUp = qScopeGuard([&] {
            fldigi.kill();
            fldigi.waitForFinished(3000);
            xvfb.kill();
            xvfb.waitForFinished(3000);
        });
        // The logger as the operator runs it, connected to this fldigi.
        MainWindowHarness h;
        h.writePreferences("K1XYZ");
        h.settings.values[FldigiLink::kSettingsKey] = QStringLiteral("127.0.0.1:%1").arg(port);
        Form1 &form = h.start();
        FldigiLink &link = *form.findChild<FldigiLink *>();
        QTRY_VERIFY_WITH_TIMEOUT(link.isConnected(), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(!link.modem().isEmpty(), 10000);
        qInfo("fldigi answers: modem %s", qPrintable(link.modem()));
        form.findChild<QAction *>("mnuDigital")->trigger();

        QNetworkAccessManager network;
        QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1/RPC2").arg(port)));
        request.setHeader(QNetworkRequest::ContentTypeHeader, "text/xml");
        auto ask = [&](const char *method, const QVariantList &params = {}) -> QString {
            QNetworkReply *reply = network.post(request, xmlrpc::request(method, params));
            QElapsedTimer waited;
            waited.start();
            while (!reply->isFinished() && waited.elapsed() < 10000)
                QTest::qWait(20);
            reply->deleteLater();
            return xmlrpc::parse(reply->readAll()).value.toString();
        };
        // The operator's click in the receive pane, as fldigi's own log.set_call makes it.
        ask("log.set_call", {QStringLiteral("W1AW")});
        QTRY_COMPARE_WITH_TIMEOUT(h.field("txtCall")->text(), QString("W1AW"), 10000);

        // F2 puts its message into fldigi's transmit buffer and fldigi on the air; Esc takes it
        // back to receive. fldigi hands out what it has sent so far, base64 coded.
        ask("text.clear_tx");
        h.field("txtCall")->setFocus();
        h.key(Qt::Key_F2);
        QTRY_VERIFY_WITH_TIMEOUT(ask("main.get_trx_state") == u"TX", 10000);
        QByteArray sent;
        QTRY_VERIFY_WITH_TIMEOUT((sent += QByteArray::fromBase64(ask("tx.get_data").toLatin1())).contains("W1AW DE"), 20000);
        h.key(Qt::Key_Escape);
        QTRY_VERIFY_WITH_TIMEOUT(ask("main.get_trx_state") == u"RX", 10000);
    }

    void aSilentProgramHoldsNothingUp()
    {
        FakeFldigi fldigi;
        MainWindowHarness h;
        h.writePreferences("K1XYZ");
        h.settings.values[FldigiLink::kSettingsKey] = fldigi.address();
        Form1 &form = h.start();
        auto *link = form.findChild<FldigiLink *>();
        QTRY_VERIFY(link->isConnected());
        fldigi.silent = true;
        QElapsedTimer typing;
        typing.start();
        h.logContact("k5abc", "bob", "tx", "55");
        QVERIFY(typing.elapsed() < 1000);
        QCOMPARE(h.logLines().size(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!link->isConnected(), 15000);
        QVERIFY(h.label("lblFldigi").startsWith("fldigi: not answering"));
    }
};

QTEST_MAIN(TestFldigi)
#include "tst_fldigi.moc"
