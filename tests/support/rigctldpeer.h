#pragma once
// Hamlib's dummy rig (-m 1) behind a real rigctld on a free loopback port, for rig-control tests.
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>

class RigctldPeer {
public:
    RigctldPeer()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        m_port = probe.serverPort();
    }
    ~RigctldPeer() { stop(); }

    static bool available() { return !QStandardPaths::findExecutable("rigctld").isEmpty(); }
    static const char *missing() { return "rigctld is not installed (Debian package libhamlib-utils)"; }
    quint16 port() const { return m_port; }

    bool start()
    {
        m_process.start(QStandardPaths::findExecutable("rigctld"),
                        {"-m", "1", "-T", "127.0.0.1", "-t", QString::number(m_port)});
        return m_process.waitForStarted(5000);
    }
    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    // What a second client (the operator at the rig's knobs) does; true on "RPRT 0".
    bool command(const QByteArray &line)
    {
        QTcpSocket s;
        s.connectToHost("127.0.0.1", m_port);
        if (!s.waitForConnected(3000))
            return false;
        s.write(line);
        return s.waitForReadyRead(3000) && s.readAll().startsWith("RPRT 0");
    }

private:
    quint16 m_port = 0;
    QProcess m_process;
};
