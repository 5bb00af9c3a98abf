#include "platform/speech.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>

EspeakSynth::EspeakSynth() : m_program(QStandardPaths::findExecutable(QStringLiteral("espeak-ng"))) {}

void EspeakSynth::speakToFile(const QString &text, const QString &wavPath, QObject *context,
                              std::function<void(bool ok)> done)
{
    if (!available()) {
        done(false);
        return;
    }
    QDir().mkpath(QFileInfo(wavPath).absolutePath());
    // Written beside the target and renamed over it, so a half-written file is never played.
    const QString partial = wavPath + QStringLiteral(".part");
    auto *process = new QProcess;
    QPointer<QObject> alive(context);
    QObject::connect(process, &QProcess::finished, process,
                     [process, partial, wavPath, alive, done = std::move(done)](int code, QProcess::ExitStatus status) {
                         process->deleteLater();
                         bool ok = status == QProcess::NormalExit && code == 0 && QFileInfo(partial).size() > 44;
                         if (ok) {
                             QFile::remove(wavPath);
                             ok = QFile::rename(partial, wavPath);
                         }
                         QFile::remove(partial);
                         if (alive)
                             done(ok);
                     });
    QObject::connect(process, &QProcess::errorOccurred, process, [process, alive, done](QProcess::ProcessError e) {
        if (e != QProcess::FailedToStart)
            return;  // a crash also ends in finished()
        process->deleteLater();
        if (alive)
            done(false);
    });
    // The text is one argument: nothing in it is read by a shell.
    process->start(m_program, {QStringLiteral("-w"), partial, QStringLiteral("--"), text});
}
