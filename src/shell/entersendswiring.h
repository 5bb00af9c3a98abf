#pragma once
#include "core/entersends.h"
#include "shell/mainwindow.h"

#include <QObject>

class CwControl;
class QAction;
class QLabel;
class VoiceKeyer;

// Options > "Enter Sends Message" (off by default): Enter on the entry line sends the message
// the contact needs next through the keyer of the mode (CW line or external keyer, voice keyer)
// and, at the contact's end, runs the logging step, so its checks and the dupe hold apply as
// for any Enter. Insert switches between Run and Search and Pounce. What the next Enter will do
// shows beside the entry line. The keys of each step are set in the CW and phone setup windows.
//
// Thread contract: GUI thread only.
class EnterSendsWiring : public QObject {
    Q_OBJECT

public:
    EnterSendsWiring(Form1 &form, const Form1Services &services, CwControl &cw, VoiceKeyer &voice);

    bool isOn() const;
    entersends::Mode mode() const { return m_mode; }
    // The caption beside the entry line, "" while off.
    QString nextCaption() const;

private:
    bool handleKey(QObject *target, QKeyEvent *key);
    void enter();
    void toggleMode();
    void refresh();
    bool phone() const;
    entersends::Keys keys() const;

    Form1 &m_form;
    Form1Services m_services;
    CwControl &m_cw;
    VoiceKeyer &m_voice;
    QAction *m_switch = nullptr;
    QLabel *m_line = nullptr;
    entersends::Mode m_mode = entersends::Mode::Run;
};
