#pragma once
#include "cw/wksettings.h"

#include <QDialog>

#include <functional>

class Dialogs;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class WinKeyer;
class WinKeySender;

// " WinKey Setup": opens and closes the keyer, edits its settings, pushes them to it and keeps
// them in "WK.txt" (product data folder). Loaded once when the WinKey interface is chosen and
// afterwards only hidden; opened modally from the CW setup.
//
// Thread contract: GUI thread. Opening the keyer is asynchronous; its outcome arrives through
// WinKeyer::openFinished, whoever started it (this window's Open, or the sender).
class frmWinKey : public QDialog {
    Q_OBJECT
public:
    struct Context {
        WinKeyer *keyer = nullptr;
        WinKeySender *sender = nullptr;
        Dialogs *dialogs = nullptr;
        QString settingsPath;                 // .../Vardel/WK.txt
        std::function<QString()> ownCall;     // "Test" sends VVV TEST DE <call>
        std::function<QString()> cwSpeed;     // the CW speed box, shown as the WPM at load
        // A keyer that would not open for a message being sent is reported here, where it
        // takes no keys (the operator is typing the next call), not in a message box.
        std::function<void(const QString &)> alarm;
    };
    explicit frmWinKey(const Context &context, QWidget *parent = nullptr);
    ~frmWinKey() override;

    // Reads "WK.txt" (or keeps the defaults) and fills the boxes.
    void Form_Load();

    int WKComPort() const { return m_settings.comPort; }
    int WKPinConfig() const { return m_settings.pinConfig; }
    int WKMode() const { return m_settings.mode; }
    WkSettings settings() const;

    void cmdOpenWinkey_Click();
    void cmdCloseWinkey_Click();
    void cmdDone_Click();
    void cmdTest_Click();
    void cmdBufferTest_Click();
    void cmdStop_Click();
    // Applies every box and the pin and mode numbers to the open keyer.
    void PushWKSettings();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_openForMessage = false;  // the sender opened the keyer for a message
    QLineEdit *addBox(const char *name, const QString &caption, const QString &note, int row);
    QRadioButton *addOption(QWidget *frame, const char *name, const QString &caption, int row);
    void onOpenFinished(int code, int version);
    void boxLeft(QLineEdit *box);
    void selectOptions();
    void focusDone();

    Context m_ctx;
    WkSettings m_settings;

public:
    QLineEdit *txtWKWPM = nullptr;
    QLineEdit *txtWeight = nullptr;
    QLineEdit *txtLeadIn = nullptr;
    QLineEdit *txtTail = nullptr;
    QLineEdit *txtRatio = nullptr;
    QLineEdit *txtWKComPort = nullptr;
    QLineEdit *Text1 = nullptr;
    QLabel *lblOpenStatus = nullptr;
    QLabel *lblVersion = nullptr;
    QPushButton *cmdOpenWinkey = nullptr;
    QPushButton *cmdCloseWinkey = nullptr;
    QPushButton *cmdTest = nullptr;
    QPushButton *cmdBufferTest = nullptr;
    QPushButton *cmdStop = nullptr;
    QPushButton *cmdDone = nullptr;
    QRadioButton *optPTT = nullptr, *optTone = nullptr, *optKey5Off3Out = nullptr,
                 *optKey5Out3Off = nullptr;
    QRadioButton *optIambicA = nullptr, *optIambicB = nullptr, *optUltimatic = nullptr,
                 *optBug = nullptr;
};
