#include "platform/childprocess.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <csignal>
#include <sys/prctl.h>

namespace {
// How long a helper gets to end on its own after SIGTERM before it is killed.
constexpr int kGraceMs = 1000;
}  // namespace

RealChildProcess::RealChildProcess(QObject *parent) : ChildProcess(parent)
{
    m_process = new QProcess(this);
    // Its output is of no use to the operator and must not fill a pipe nobody reads; its error
    // output says why it failed, so the last of it is kept.
    m_process->setStandardOutputFile(QProcess::nullDevice());
    // A logger killed outright (a crash, kill -9) cannot stop its helper: the kernel does, so no
    // orphan keeps the rig's serial port and TCP port for the next start.
    m_process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    connect(m_process, &QProcess::readyReadStandardError, this, [this] {
        m_errorOutput += QString::fromLocal8Bit(m_process->readAllStandardError());
        if (m_errorOutput.size() > kErrorOutputKept)
            m_errorOutput = m_errorOutput.right(kErrorOutputKept);
    });
    connect(m_process, &QProcess::started, this, &ChildProcess::started);
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            emit failed(m_process->errorString());
    });
    connect(m_process, &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
        m_errorOutput += QString::fromLocal8Bit(m_process->readAllStandardError());
        // Ended by itself, not by us: that is a failure the operator must hear of, with the
        // helper's own words.
        if (!std::exchange(m_stopping, false) && (status != QProcess::NormalExit || exitCode != 0)) {
            const QString said = errorOutput().section(u'\n', -3);
            emit failed(status == QProcess::CrashExit
                            ? QStringLiteral("it crashed")
                            : QStringLiteral("it ended with code %1").arg(exitCode)
                                  + (said.isEmpty() ? QString() : QStringLiteral(": ") + said));
        }
        emit finished(exitCode);
    });
}

RealChildProcess::~RealChildProcess()
{
    // At exit: the helper must not outlive the logger and keep its serial port.
    m_process->disconnect(this);
    if (m_process->state() != QProcess::NotRunning) {
        m_process->terminate();
        if (!m_process->waitForFinished(kGraceMs)) {
            m_process->kill();
            m_process->waitForFinished(kGraceMs);
        }
    }
}

void RealChildProcess::start(const QString &program, const QStringList &arguments)
{
    if (program.isEmpty()) {
        QTimer::singleShot(0, this, [this] { emit failed(QStringLiteral("No program to start.")); });
        return;
    }
    if (m_process->state() != QProcess::NotRunning) {
        m_stopping = true;
        m_process->kill();
        m_process->waitForFinished(kGraceMs);  // a kill ends it at once
    }
    ++m_runs;
    m_stopping = false;
    m_errorOutput.clear();
    m_process->start(program, arguments);
}

void RealChildProcess::stop()
{
    if (m_process->state() == QProcess::NotRunning)
        return;
    m_stopping = true;
    m_process->terminate();
    // Killed if SIGTERM was not enough; the timer does the waiting, not the GUI thread. A
    // process started since then is not this one.
    QTimer::singleShot(kGraceMs, m_process, [this, run = m_runs] {
        if (run == m_runs && m_process->state() != QProcess::NotRunning)
            m_process->kill();
    });
}

qint64 RealChildProcess::processId() const { return m_process->processId(); }

bool RealChildProcess::isRunning() const { return m_process->state() == QProcess::Running; }

QString RealChildProcess::findProgram(const QString &name) const
{
    return QStandardPaths::findExecutable(name);
}
