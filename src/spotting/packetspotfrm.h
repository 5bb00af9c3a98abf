#pragma once
#include "spotting/spotsession.h"

#include <QWidget>

#include <functional>

class Dialogs;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

// What the spotting window needs from the program.
struct SpotWindowServices {
    Dialogs *dialogs = nullptr;
    SpotSession *session = nullptr;
    QString workingDir;
    QString appTitle;                                // the main window's caption
    std::function<QString()> lastLoggedCall;         // "" when the log is empty
    std::function<qint64()> rigFrequencyHz;          // 0 when no rig is connected
    std::function<void()> savepref;                  // the main window saves its preferences
};

// " DX Spotting Setup": the view of the spotting session. It chooses and opens a source of
// spots (a TNC, a Telnet cluster or the packet engine), shows what it sends in a terminal box
// and lets the operator type to it. Done hides the window; the session keeps running until the
// program ends.
//
// Thread contract: GUI thread only.
class PacketSpotfrm : public QWidget {
    Q_OBJECT

public:
    explicit PacketSpotfrm(const SpotWindowServices &services, QWidget *parent = nullptr);
    ~PacketSpotfrm() override;

    // The first show loads the settings, which reopens the saved source.
    void showWindow();
    bool isListening() const { return m_session.isListening(); }
    bool showListOnMainWindow() const;
    bool listDxOnly() const;
    QString terminalText() const { return m_session.terminal().text(); }
    SpotSource source() const { return m_session.source(); }
    QString agwConnectedCall() const { return m_session.agwConnectedCall(); }

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void cmdDone_Click();

signals:
    // Done was pressed: the main window arranges its spot display (list or band map).
    void PacketResize();
protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

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
    void serialOptionClicked();
    void txtSent_Enter();
    void txtSent_Change(const QString &text);
    bool Form_KeyDown(QKeyEvent *key);
    void showAlert(const QString &text, const QString &title, bool warning, bool showWindow);
    void syncTerminal();

    SpotWindowServices m_services;
    SpotSession &m_session;
    bool m_loaded = false;
    bool LoadingSettings = false;
    QString m_shownText;

    QListWidget *List1;
    QPushButton *Command1, *Command2, *Command3, *cmdDone;
    QLineEdit *txtSent, *txtHex, *txtTelnetHost, *txtTelnetPort, *txtAgwHost, *txtAgwPort;
    QLabel *Label6, *Label4, *Label2, *Label7, *Label3, *lblAgwHost, *lblAgwPort;
    QPlainTextEdit *txtUnProcessed;
    QGroupBox *Frame2, *fraPort, *fraBaud, *fraParity, *fraData, *fraStop, *fraPower, *Frame1;
    QRadioButton *OptBand, *OptList;
    QCheckBox *chkDX, *chkConvToHex, *chkTenOnly;
    QList<QRadioButton *> optComm, optBaud, optParity, optData, optStop, optPower, optHandshake;
};
