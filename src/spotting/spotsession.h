#pragma once
#include "spotting/spotlink.h"
#include "spotting/spotsettings.h"
#include "spotting/spotterminal.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>

class SpotStore;

// Where spots come from.
enum class SpotSource { None, Tnc, Telnet, Agw };

// The names the source list shows and PackSpot.txt stores: "None", "TNC", "Telnet",
// "AGW Packet Engine".
QString spotSourceName(SpotSource source);
// Any letter case; nothing for a name that is none of the four.
std::optional<SpotSource> spotSourceFromName(const QString &name);

// The spotting session: the three links, what they deliver (terminal text and spots for the
// store), the chosen source and its settings, and the ageing tick for the band maps. It lives
// as long as the main window; the spotting window is a view of it and may come and go.
//
// Thread contract: GUI thread only. The links are asynchronous; every signal is emitted on the
// GUI thread.
class SpotSession : public QObject {
    Q_OBJECT

public:
    struct Services {
        SpotStore *store = nullptr;
        std::function<QString()> ownCall;          // from station setup
        std::function<QString(int)> serialDevice;  // port number 1..10 to a device path
        std::function<void()> beep;                // the operator's attention
    };

    explicit SpotSession(const Services &services, QObject *parent = nullptr);
    ~SpotSession() override;

    SpotSettings &settings() { return m_settings; }
    const SpotSettings &settings() const { return m_settings; }
    SpotSource source() const { return m_source; }
    // The band maps keep 10 m spots only (the setting and the store together).
    void setContestBandOnly(bool on);
    // A new choice closes the open source first (unless it is the same one).
    void setSource(SpotSource source);

    // Asked to listen: Open was pressed (or the saved source reopened) and not closed since.
    bool isListening() const { return m_listening; }
    // A link is up and the ageing tick runs.
    bool isRunning() const { return m_tick.isActive(); }

    SpotReception &reception() { return m_reception; }
    const SpotTerminal &terminal() const { return m_reception.terminal(); }
    void setTerminalText(const QString &text);
    void appendTerminal(const QString &text);
    QString agwConnectedCall() const { return m_agw->connectedCall(); }

    // Opens the chosen source with the current settings; nothing for "None".
    void open();
    // Closes whatever is open; nothing when not listening.
    void close();
    // A line typed in the send box, to whichever source is open.
    void sendLine(const QString &text);
    // The packet engine's send box sends a long line at a blank; true when it did.
    bool sendLongAgwLine(const QString &text);
    // Esc or Ctrl+C in the window: the TNC's command-mode byte; true when sent.
    bool sendTncCommandByte();

    // Seconds of ticks between band-map refreshes when no spot arrives.
    static constexpr int kTickMs = 333;
    static constexpr int kRefreshTicks = 360;

    // A link that was up and dropped is opened again after 5 s, then after twice as long each
    // time it fails, at most every 5 minutes, until it is up or the operator closes it.
    static constexpr int kFirstReconnectMs = 5000;
    static constexpr int kLongestReconnectMs = 300000;
    void setReconnectDelays(int firstMs, int longestMs);
    void setTelnetConnectTimeout(int ms) { m_telnet->setConnectTimeout(ms); }
    // Reconnecting: the link dropped and is not up again yet.
    bool isReconnecting() const { return m_reconnectAttempt > 0; }

signals:
    void terminalChanged();
    void listeningChanged(bool listening);
    // Something the operator must be told in a message box; `showWindow` when the window should
    // come up for it (the source could not be opened).
    void alert(const QString &text, const QString &title, bool warning, bool showWindow);
    // The packet engine connected to (or disconnected from) a station: the window's title.
    void connectedStationChanged(const QString &call);
    // Two minutes of ticks without a spot: band maps recolour by age.
    void bandMapRefreshDue();

private:
    void openTnc();
    void openTelnet();
    void openAgw();
    void lineTooLong();
    void linkFailed(const QString &message);
    void agwFailed();
    void beep();
    void postSpot(const SpotLine &line);
    // The open link dropped: true when a reconnect is on its way (false: the caller closes).
    bool reconnectLater();
    void reconnect();
    void linkUp();
    void telnetText(const QString &text);

    Services m_services;
    SpotSettings m_settings;
    SpotSource m_source = SpotSource::None;
    SpotReception m_reception;
    bool m_listening = false;
    int m_ticksWithoutSpot = 0;
    QTimer m_tick;
    QTimer m_reconnect;
    int m_firstReconnectMs = kFirstReconnectMs;
    int m_longestReconnectMs = kLongestReconnectMs;
    int m_reconnectAttempt = 0;
    bool m_linkWasUp = false;     // the link opened since the operator's Open
    bool m_loginPending = false;  // a reconnected cluster gets the own call at its prompt

    TelnetLink *m_telnet;
    TncLink *m_tnc;
    AgwLink *m_agw;
};
