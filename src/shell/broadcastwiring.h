#pragma once
#include <QObject>

class Broadcaster;
class Form1;
class ScorePoster;
struct Form1Services;

// What leaves the logger for other programs: the UDP broadcasts of contacts and the rig (what is
// logged, edited and deleted, and the rig's frequency and mode, to the addresses set under
// Options > UDP Broadcasts), and the claimed score posted to a score board (Options > Live
// Score). Both are off by default.
//
// Thread contract: GUI thread only.
class BroadcastWiring : public QObject {
    Q_OBJECT
public:
    BroadcastWiring(Form1 &form, const Form1Services &services);
    Broadcaster &broadcaster() { return *m_broadcaster; }
    ScorePoster &scorePoster() { return *m_score; }

private:
    void askForTargets();
    void askForScoreBoard();
    void configureScore();

    Form1 &m_form;
    const Form1Services &m_services;
    Broadcaster *m_broadcaster;
    ScorePoster *m_score;
};
