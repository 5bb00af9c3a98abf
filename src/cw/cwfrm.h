#pragma once
#include <QDialog>
#include <QList>

class CwControl;
class Dialogs;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class EnterKeysEditor;
class SettingsStore;

// "CW String Selections": the eleven messages, the keying line and port, speed, word space,
// timing method, repeat interval and the port map. Edits the CwControl's settings; "Done"
// writes "CW.txt" and the settings store and hides the window (it is never closed).
//
// Thread contract: GUI thread only.
class CWFrm : public QDialog {
    Q_OBJECT
public:
    CWFrm(CwControl &control, Dialogs &dialogs, SettingsStore &store, const QString &workingDir,
          QWidget *parent = nullptr);

    // Shows the settings held by the control (after they were loaded at start-up).
    void showSettings();
    void cmdDone_Click();
    void cmdTest_Click();
    // The keying line would not open: tell the operator and let them fix the port.
    void portFailed(const QString &error);
    // Opens the code-practice window modally; empties the buffer when it closes.
    void cmdCodePractice_Click();

signals:
    void doneClicked();
    // One of the keying interface options was clicked (the choice is in the settings).
    void interfaceClicked();
    void configureWinKeyClicked();

private:
    void collect();
    void showDevice();
    void interfaceChosen(int kind);
    void methodChosen();
    // "Loop" with no count yet: the keyer thread counts, and the box takes its answer.
    void calibrateIfNeeded();
    void loopsCalibrated(double loopsPer60ms);
    void portLeft();

    CwControl &m_control;
    Dialogs &m_dialogs;
    SettingsStore &m_store;
    EnterKeysEditor *m_enterKeys = nullptr;
    QString m_workingDir;

    QList<QLineEdit *> m_messages;  // Text1..Text9, Text12, Text13
    QLineEdit *Text10 = nullptr;    // port
    QLineEdit *Text11 = nullptr;    // speed
    QLineEdit *Text14 = nullptr;    // parallel address
    QLineEdit *txtSpace = nullptr;
    QLineEdit *txtCWLoop = nullptr;
    QLineEdit *txtLoop = nullptr;
    QLineEdit *txtPortMap = nullptr;
    QLabel *lblDevice = nullptr;
    QLabel *lblLoop = nullptr;
    QLabel *lblSending = nullptr;
    QCheckBox *Check1 = nullptr;
    QRadioButton *Option4 = nullptr, *Option1 = nullptr, *Option2 = nullptr, *Option3 = nullptr,
                 *Option5 = nullptr;
    QRadioButton *optTimer = nullptr, *optLoop = nullptr, *OptSleep = nullptr;
    QPushButton *cmdLoopFaster = nullptr, *cmdLoopSlower = nullptr, *cmdDone = nullptr;
    QPushButton *cmdConfWinkey = nullptr;
};
