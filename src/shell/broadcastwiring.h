#pragma once
#include <QObject>

class Broadcaster;
class Form1;
struct Form1Services;

// The UDP broadcasts of contacts and the rig: what is logged, edited and deleted, and the rig's
// frequency and mode, to the addresses set under Options > UDP Broadcasts (none by default).
//
// Thread contract: GUI thread only.
class BroadcastWiring : public QObject {
    Q_OBJECT
public:
    BroadcastWiring(Form1 &form, const Form1Services &services);
    Broadcaster &broadcaster() { return *m_broadcaster; }

private:
    void askForTargets();

    Form1 &m_form;
    const Form1Services &m_services;
    Broadcaster *m_broadcaster;
};
