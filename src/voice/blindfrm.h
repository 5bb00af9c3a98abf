#pragma once
#include <QDialog>

#include <functional>

class Announcer;
class QComboBox;
class QLabel;
class QRadioButton;
class SettingsStore;
class WavePlayer;

// "Voice Navigation Settings": how much of the entry line is announced (0 off, 1 the call
// field, 2 every field), and the sound output the prompts play on (the operator's own ears, not
// the transmitter's). Clicking an option announces it; Done stores the level through
// `storeLevel` (the main window keeps it in its preferences file). The window lists the
// recordings it looks for and which of them are missing.
class BlindFrm : public QDialog {
    Q_OBJECT
public:
    // Settings store key of the prompts' sound output (empty: the system default).
    static constexpr const char *kOutputKey = "UserPromptOutput";

    BlindFrm(Announcer &announcer, WavePlayer &promptPlayer, SettingsStore &settings,
             const QString &workingDir, std::function<int()> level,
             std::function<void(int)> storeLevel, QWidget *parent = nullptr);

    // Shows the window modeless with the stored level selected. The first showing announces
    // that level, as clicking it would.
    void showSettings();
    void Command1_Click();  // Done
    void optionClicked(int level);

    // The recordings looked for, those missing marked.
    void refreshFiles();

private:
    void refreshDevices();

    Announcer &m_announcer;
    WavePlayer &m_player;
    SettingsStore &m_settings;
    QComboBox *cboOutput = nullptr;
    QLabel *lblFiles = nullptr;
    std::function<int()> m_level;
    std::function<void(int)> m_storeLevel;
    bool m_loaded = false;
    QRadioButton *Option1 = nullptr;
    QRadioButton *Option2 = nullptr;
    QRadioButton *Option3 = nullptr;
};
