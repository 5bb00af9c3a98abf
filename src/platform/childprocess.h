#pragma once
#include <QObject>
#include <QString>
#include <QStringList>

// A helper program the logger starts and owns (rigctld for rig control). Starting never waits:
// started() or failed() follows on the GUI thread. The process is stopped when the object goes,
// and the kernel ends it if the logger dies without stopping it.
//
// Thread contract: GUI thread only.
class ChildProcess : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Stops a process already running first. An empty `program` fails at once.
    virtual void start(const QString &program, const QStringList &arguments) = 0;
    // Asks the process to end and makes sure it does; finished() follows.
    virtual void stop() = 0;
    virtual bool isRunning() const = 0;
    // The full path of `name` on PATH; empty when it is not installed.
    virtual QString findProgram(const QString &name) const = 0;
    // The last of what the process wrote to its error output (a few lines at most).
    virtual QString errorOutput() const = 0;

signals:
    void started();
    void failed(const QString &error);
    // Ended after it had started, by stop() or by itself.
    void finished(int exitCode);
};

class QProcess;

// The real one, through QProcess.
class RealChildProcess : public ChildProcess {
    Q_OBJECT

public:
    explicit RealChildProcess(QObject *parent = nullptr);
    ~RealChildProcess() override;

    void start(const QString &program, const QStringList &arguments) override;
    void stop() override;
    bool isRunning() const override;
    QString findProgram(const QString &name) const override;
    QString errorOutput() const override { return m_errorOutput.trimmed(); }
    // 0 while nothing runs.
    qint64 processId() const;

    static constexpr qsizetype kErrorOutputKept = 1000;

private:
    QProcess *m_process = nullptr;
    int m_runs = 0;
    bool m_stopping = false;
    QString m_errorOutput;
};
