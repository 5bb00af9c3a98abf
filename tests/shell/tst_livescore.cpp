// The live score from the running logger to a loopback score board: what arrives, the
// credentials, and a board that fails said once and tried again.
#include "mainwindowharness.h"
#include "rig/scoreposter.h"

#include "logging/entrylinewidget.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QUrlQuery>
#include <QXmlStreamReader>

namespace {
// A one-request-at-a-time HTTP server answering with `status`.
struct Board : QObject {
    QTcpServer server;
    int status = 200;
    QList<QByteArray> requests;
    Board()
    {
        server.listen(QHostAddress::LocalHost, 0);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            QTcpSocket *s = server.nextPendingConnection();
            auto *buffer = new QByteArray;
            connect(s, &QTcpSocket::readyRead, s, [this, s, buffer] {
                *buffer += s->readAll();
                const qsizetype end = buffer->indexOf("\r\n\r\n");
                if (end < 0)
                    return;
                const qsizetype at = buffer->toLower().indexOf("content-length:");
                const int length = at < 0 ? 0 : buffer->mid(at + 15, buffer->indexOf("\r\n", at) - at - 15).trimmed().toInt();
                if (buffer->size() < end + 4 + length)
                    return;
                requests << *buffer;
                delete buffer;
                s->write("HTTP/1.1 " + QByteArray::number(status) + " X\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
                s->disconnectFromHost();
            });
        });
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/post").arg(server.serverPort()); }
};

QMap<QString, QString> scoreOf(const QByteArray &request)
{
    const QByteArray body = request.mid(request.indexOf("\r\n\r\n") + 4);
    const QString xml = QUrlQuery(QString::fromUtf8(body)).queryItemValue("xml", QUrl::FullyDecoded);
    QMap<QString, QString> out;
    QXmlStreamReader x(xml);
    while (!x.atEnd()) {
        if (x.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString name = x.name().toString();
        if (name == u"class")
            out.insert("class.power", x.attributes().value("power").toString());
        else if (name == u"contest" || name == u"call" || name == u"score" || name == u"timestamp")
            out.insert(name, x.readElementText());
        else if (name == u"qso")
            out.insert("qso", x.readElementText());
    }
    return out;
}
}  // namespace

class TestLiveScore : public QObject {
    Q_OBJECT

private slots:
    void refusedAddresses_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("ok");
        QTest::newRow("off") << "" << true;
        QTest::newRow("https") << "https://scores.example/post" << true;
        QTest::newRow("no scheme") << "scores.example/post" << false;
        QTest::newRow("ftp") << "ftp://scores.example/" << false;
    }
    void refusedAddresses()
    {
        QFETCH(QString, url);
        QFETCH(bool, ok);
        ScorePoster p;
        QString error;
        QCOMPARE(p.configure(url, {}, {}, 2, &error), ok);
        QCOMPARE(error.isEmpty(), ok);
        QCOMPARE(p.enabled(), ok && !url.isEmpty());
    }

    void theRunningLoggerPostsItsScore()
    {
        Board board;
        MainWindowHarness h;
        h.writePreferences("K1XYZ");
        h.settings.values[ScorePoster::kUrlKey] = board.url();
        h.settings.values[ScorePoster::kUserKey] = "k1xyz";
        h.settings.values[ScorePoster::kPasswordKey] = "secret";
        h.settings.values["EntryClass"] = "QRP";  // the station setup's class
        Form1 &form = h.start();
        auto *poster = form.findChild<ScorePoster *>();
        QVERIFY(poster && poster->enabled());
        QCOMPARE(poster->timer().interval(), 2 * 60 * 1000);
        h.logContact("w1aw", "hiram", "ct", "1");
        QSignalSpy firstPosted(poster, &ScorePoster::posted);
        poster->postNow();
        QTRY_COMPARE(board.requests.size(), 1);
        // One request is out at a time: the next round starts once this one is answered.
        QTRY_COMPARE(firstPosted.count(), 1);
        QTRY_VERIFY(!poster->busy());
        const QByteArray request = board.requests.first();
        QVERIFY(request.startsWith("POST /post "));
        QVERIFY(request.contains("Authorization: Basic " + QByteArray("k1xyz:secret").toBase64()));
        const auto score = scoreOf(request);
        QCOMPARE(score.value("call"), QString("K1XYZ"));
        QCOMPARE(score.value("qso"), QString("1"));
        QCOMPARE(score.value("score"), h.label("lblTotSec"));
        QCOMPARE(score.value("contest"), QString("10-10-FALL-CW"));  // a December contact
        QCOMPARE(score.value("class.power"), QString("QRP"));

        // A board that fails: said once, tried at every round, quiet again once it answers.
        board.status = 500;
        poster->postNow();
        QTRY_VERIFY(h.label("lblDialog").startsWith("Live score not posted"));
        QTRY_VERIFY(!poster->busy());
        form.entryLine().setStatus(QString());
        poster->postNow();
        QTRY_COMPARE(board.requests.size(), 3);
        QTRY_VERIFY(!poster->busy());
        QVERIFY(!h.label("lblDialog").startsWith("Live score not posted"));  // not said twice
        board.status = 200;
        QSignalSpy posted(poster, &ScorePoster::posted);
        poster->postNow();
        QTRY_COMPARE(posted.size(), 1);
    }
};

QTEST_MAIN(TestLiveScore)
#include "tst_livescore.moc"
