#pragma once
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class Clock;
class CWFrm;
class CwControl;
class Dialogs;
class Form1;
struct Form1Services;
class KeyerThread;
class WinKeySender;
class WinKeyer;
class frmWinKey;

// The external keyer in the running program: the keyer link, its sender and its setup window,
// created once with the main window and living until it closes.
//
// attach() joins them to the CW control: while the WinKey interface is chosen the control sends
// through the keyer (and the setup window is loaded), otherwise through the keyer thread, and
// the keyer is closed; "Configure Winkey" of the CW setup opens the window modally. Opening the
// keyer first runs every release step added (the CW key line, the voice keyer's PTT), whose
// port it may share. Whoever opens that port the other way round closes the keyer first
// (keyer().wk_close()).
//
// Thread contract: GUI thread only.
class WinKeyWiring : public QObject {
    Q_OBJECT
public:
    WinKeyWiring(Form1 &form, Clock &clock, Dialogs &dialogs, const QString &productDataFolder);
    ~WinKeyWiring() override;

    // `setup` may be null (no CW setup window).
    void attach(CwControl &control, CWFrm *setup, KeyerThread &keyerThread);
    // Run before the keyer opens its port: another owner lets go of it.
    void addSharedPortRelease(std::function<void()> release);
    // Follows the interface choice held by the control's settings.
    void chooseSender();

    WinKeyer &keyer() { return *m_keyer; }
    WinKeySender &sender() { return *m_sender; }
    frmWinKey &window();

private:
    QPointer<CwControl> m_control;
    QPointer<KeyerThread> m_keyerThread;
    WinKeyer *m_keyer = nullptr;
    WinKeySender *m_sender = nullptr;
    QPointer<frmWinKey> m_window;  // a child of the main window, closed before the keyer goes
    QList<std::function<void()>> m_releases;
    bool m_active = false;
};

// Puts the external keyer into the main window once the CW control is there, attached to the CW
// setup window and the program's keyer thread.
struct CwParts;
WinKeyWiring *wireWinKeyer(Form1 &form, const Form1Services &services, const CwParts &cw);
