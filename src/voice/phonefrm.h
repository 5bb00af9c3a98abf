#pragma once
#include <QDialog>
#include <QList>

class Dialogs;
class EnterKeysEditor;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class SettingsStore;
class VoiceKeyer;
class WavePlayer;
class WaveRecorder;

// "Phone Wave Selections": the nine message files, the keying port, line and parallel address,
// the F1 loop, the sound output and input, and a Record button per message. Created once at
// start and afterwards only hidden; shown modal from the menu and modeless by Ctrl+P.
class PhoneFrm : public QDialog {
    Q_OBJECT
public:
    // Settings store keys of the chosen sound output and input (empty: the system default).
    static constexpr const char *kOutputKey = "UserPhoneOutput";
    static constexpr const char *kInputKey = "UserPhoneInput";

    PhoneFrm(VoiceKeyer &keyer, WavePlayer &player, WaveRecorder &recorder, Dialogs &dialogs,
             SettingsStore &settings, const QString &workingDir, QWidget *parent = nullptr);
    ~PhoneFrm() override;

    // Reads "wave2.txt" into the window at start. A file that is missing is a first start (the
    // defaults stay); a short or damaged one keeps what was read and returns false.
    bool loadSettings();
    bool saveSettings();
    QString settingsPath() const;

    void showModal();
    void showModeless();

    // Button handlers, public for the shell's menus and for tests.
    void Command1_Click();          // Done
    void Command11_Click();         // Test
    void Command12_Click();         // Stop (the loop)
    void browse(int index);         // Browse beside F1 .. F9 (index 0 .. 8)
    void record(int index);         // Record / stop recording into F1 .. F9
    void Text10_LostFocus();        // port box
    void txtPHLoop_LostFocus();     // loop box

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void refreshControls();
    void showPortError();
    void showPlayError(const QString &message);
    void chooseOutput(int index);
    void chooseInput(int index);
    QString recordingName(int index) const;
    QString pendingPath(const QString &name) const;
    // A recording just stopped replaces the message's file (asked first when there is one).
    void keepRecording(int index);
    void refreshDevices();

    VoiceKeyer &m_keyer;
    WavePlayer &m_player;
    WaveRecorder &m_recorder;
    Dialogs &m_dialogs;
    SettingsStore &m_settings;
    QString m_workingDir;
    int m_recording = -1;  // message being recorded, or -1
    QString m_recordingName;

    QList<QLineEdit *> Text;        // Text1 .. Text9
    QList<QPushButton *> cmdRecord;  // cmdRecord1 .. cmdRecord9
    QLineEdit *Text10 = nullptr;
    QLineEdit *Text11 = nullptr;
    QLineEdit *txtPHLoop = nullptr;
    QLineEdit *txtPttLead = nullptr;
    QLineEdit *txtPttTail = nullptr;
    EnterKeysEditor *m_enterKeys = nullptr;
    QRadioButton *Option1 = nullptr;
    QRadioButton *Option2 = nullptr;
    QRadioButton *Option3 = nullptr;
    QComboBox *cboOutput = nullptr;
    QComboBox *cboInput = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command11 = nullptr;
    QPushButton *Command12 = nullptr;
};
