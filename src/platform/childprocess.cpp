#include "platform/childprocess.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

namespace {
// How long a helper gets to end on its own after SIGTERM before it is killed.
constexpr int kGraceMs = 1000;
}  // namespace

RealChildProcess::RealChildProcess(QObject *parent) : ChildProcess(parent)
{
    m_process = new QProcess(this);
    // Its output is of no use to the operator and must not fill a pipe nobody reads.
    m_process->setStandardOutputFile(QProcess::nullDevice());
    m_process->setStandardErrorFile(QProcess::nullDevice());
    connect(m_process, &QProcess::started, this, &ChildProcess::started);
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            emit failed(m_process->errorString());
    });
    connect(m_process, &QProcess::finished, this, [this](int exitCode) { emit finished(exitCode); });
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
        m_process->kill();
        m_process->waitForFinished(kGraceMs);  // a kill ends it at once
    }
    ++m_runs;
    m_process->start(program, arguments);
}

void RealChildProcess::stop()
{
    if (m_process->state() == QProcess::NotRunning)
        return;
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
