#pragma once
#include "shell/mainwindow.h"

#include <QObject>

class QAction;
class QLabel;

// Rig control on the main window: Options > Rig Control (a rigctld address), Options > Start
// rigctld (a Hamlib model on a port of the port map), Follow rig mode, the rig line under the
// entry line, and band-map tuning. Only when the program has a rig link.
//
// Thread contract: GUI thread only.
class RigWiring : public QObject {
    Q_OBJECT

public:
    static constexpr const char *kRigControlKey = "RigControl";  // "host:port", empty: off
    static constexpr const char *kFollowRigModeKey = "FollowRigMode";
    static constexpr const char *kDefaultRig = "127.0.0.1:4532";
    static constexpr const char *kRigctldKey = "RigctldStart";  // "model serialPort", empty: off

    RigWiring(Form1 &form, const Form1Services &services);

private:
    void rigControl();
    void applyRigSetting();
    void startRigctldMenu();
    void applyRigctldSetting();
    void followRigMode(const QString &rigMode);
    // The status line's warning while a connected rig is outside 10 m; "" on the band.
    QString offBandWarning() const;

    Form1 &m_form;
    Form1Services m_services;
    QLabel *m_rigLine;
    QAction *m_followRig = nullptr;
    bool m_rigctldRan = false;
    bool m_offBand = false;
};
