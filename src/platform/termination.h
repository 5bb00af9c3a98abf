#pragma once
#include <QObject>

class QSocketNotifier;

// SIGTERM and SIGHUP (a logout, a shutdown, `kill`) as a Qt signal on the GUI thread, so the
// program ends the way a closed window does: close guards, the closing backup, helpers stopped.
// One object a program; its handlers stay until it goes.
//
// Thread contract: made and used on the GUI thread; the signal handler only writes one byte.
class TerminationSignals : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

    bool isInstalled() const { return m_notifier != nullptr; }

signals:
    void terminationRequested(int signalNumber);

private:
    QSocketNotifier *m_notifier = nullptr;
};
