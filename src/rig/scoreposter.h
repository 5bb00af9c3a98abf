#pragma once
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

// Posts the claimed score every few minutes to an online score board, as the XML score message
// contest loggers send ("dynamicresults": contest, call, class, score, contacts, time) in a form
// field "xml". Off until a URL is given. A failure is said once (failed()) and the next round
// tries again; nothing here waits for the network.
//
// Thread contract: GUI thread only.
class ScorePoster : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultMinutes = 2;
    static constexpr const char *kUrlKey = "ScoreUrl";
    static constexpr const char *kUserKey = "ScoreUser";
    static constexpr const char *kPasswordKey = "ScorePassword";
    static constexpr const char *kMinutesKey = "ScoreMinutes";

    struct Score {
        QString contest;  // the event's Cabrillo name
        QString call;
        QString operatorClass = QStringLiteral("SINGLE-OP");
        QString power = QStringLiteral("HIGH");
        QString mode;     // CW, SSB, DIGI or MIXED
        QString state;
        int contacts = 0;
        QString score;
        QDateTime utc;
    };

    explicit ScorePoster(QObject *parent = nullptr);

    // An empty URL stops posting; a URL that is not http(s) is refused with the reason.
    bool configure(const QString &url, const QString &user, const QString &password, int minutes,
                   QString *error = nullptr);
    bool enabled() const { return m_url.isValid(); }
    void setSource(std::function<Score()> source) { m_source = std::move(source); }

    // Sends one report now (also what the timer does).
    void postNow();
    // A report is out and not answered yet; a round meanwhile is skipped.
    bool busy() const { return m_pending != nullptr; }
    static QByteArray scoreXml(const Score &score);
    QTimer &timer() { return m_timer; }

signals:
    void failed(const QString &why);  // once, until a post succeeds again
    void posted();

private:
    void finished(QNetworkReply *reply);

    QNetworkAccessManager *m_network;
    QUrl m_url;
    QString m_user, m_password;
    QTimer m_timer;
    std::function<Score()> m_source;
    bool m_failing = false;
    QNetworkReply *m_pending = nullptr;
};
