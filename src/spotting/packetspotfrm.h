#pragma once
#include "spotting/spotlink.h"
#include "spotting/spotsettings.h"
#include "spotting/spotterminal.h"

#include <QWidget>

#include <functional>

class Dialogs;
class SpotStore;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimer;

// What the spotting window needs from the program.
struct SpotWindowServices {
    Dialogs *dialogs = nullptr;
    SpotStore *store = nullptr;
    QString workingDir;
    QString appTitle;                                // the main window's caption
    std::function<QString()> ownCall;                // from station setup
    std::function<QString()> lastLoggedCall;         // "" when the log is empty
    std::function<qint64()> rigFrequencyHz;          // 0 when no rig is connected
    std::function<QString(int)> serialDevice;        // port number 1..10 to a device path
    std::function<void()> savepref;                  // the main window saves its preferences
};

// " DX Spotting Setup": chooses and opens a source of spots (a TNC, a Telnet cluster or the
// packet engine), shows what it sends in a terminal box and lets the operator type to it.
// Done hides the window; the connection keeps running until the program ends.
//
// Thread contract: GUI thread only.
class PacketSpotfrm : public QWidget {
    Q_OBJECT

public:
    static const QStringList kSources;  // "None", "TNC", "Telnet", "AGW Packet Engine"

    explicit PacketSpotfrm(const SpotWindowServices &services, QWidget *parent = nullptr);
    ~PacketSpotfrm() override;

    // The first show loads the settings, which reopens the saved source.
    void showWindow();
    bool isListening() const;
    bool showListOnMainWindow() const;
    bool listDxOnly() const;
    QString terminalText() const { return m_reception.terminal().text(); }
    QString transport() const { return m_settings.SpotTransport; }
    QString agwConnectedCall() const { return m_agw->connectedCall(); }

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void cmdDone_Click();

signals:
    // Done was pressed: the main window arranges its spot display (list or band map).
    void PacketResize();
    // Two minutes of ticks without a spot: band maps recolour by age.
    void bandMapRefreshDue();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildControls();
    void Form_Load();
    void LoadSpotSettings();
    void SaveSpotSettings();
    void readControls();
    void List1_Click();
    void ShowSpotHelp();
    void DisableSpotOptions();
    void EnableTncOptions();
    void EnableTelnetOptions();
    void EnableAgwOptions();
    void applySettingsToControls();
    void ApplySerialSettings();
    void OpenTelnet();
    void OpenAgwEngine();
    void serialOptionClicked();
    void txtSent_Enter();
    void txtSent_Change(const QString &text);
    bool Form_KeyDown(QKeyEvent *key);
    void Timer1_Timer();
    void linkFailed(const QString &message);
    void tncFailed(const QString &why);
    void agwFailed();
    void append(const QString &text);
    void syncTerminal();
    void postSpot(const QString &frequency, const QString &call, const QString &record);

    SpotWindowServices m_services;
    SpotSettings m_settings;
    SpotReception m_reception;
    bool m_loaded = false;
    bool LoadingSettings = false;
    float LabelUpdateTimeCounter = 0;
    QString m_shownText;

    TelnetLink *m_telnet;
    TncLink *m_tnc;
    AgwLink *m_agw;

    QListWidget *List1;
    QPushButton *Command1, *Command2, *Command3, *cmdDone;
    QLineEdit *txtSent, *txtHex, *txtTelnetHost, *txtTelnetPort, *txtAgwHost, *txtAgwPort;
    QLabel *Label6, *Label4, *Label2, *Label7, *Label3, *lblAgwHost, *lblAgwPort;
    QPlainTextEdit *txtUnProcessed;
    QGroupBox *Frame2, *fraPort, *fraBaud, *fraParity, *fraData, *fraStop, *fraPower, *Frame1;
    QRadioButton *OptBand, *OptList;
    QCheckBox *chkDX, *chkConvToHex;
    QList<QRadioButton *> optComm, optBaud, optParity, optData, optStop, optPower, optHandshake;
    QTimer *Timer1;
};
