// The whole Enter step on the real main window with a full log and "All" shown: the append with
// its flush to disk, the recent-contacts list, the score and the rates.
#include "fakekeyline.h"
#include "cw/keyerthread.h"
#include "bench.h"

#include "core/fieldfile.h"
#include "core/logstore.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/settingsstore.h"
#include "platform/waveplayer.h"
#include "shell/mainwindow.h"
#include "ui/sharedpreferences.h"

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>

namespace {
// No one at the keyboard: every question gets its first answer, and any shown is counted.
class UnattendedDialogs : public Dialogs {
public:
    int shown = 0;
    Answer message(QWidget *, const QString &, const QString &, Buttons, Icon) override
    {
        ++shown;
        return Answer::Ok;
    }
    QString input(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
    QString openFile(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
    QString saveFile(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
    QString chooseFolder(QWidget *, const QString &, const QString &) override { return {}; }
    QColor chooseColour(QWidget *, const QColor &) override { return {}; }
};

class MemorySettings : public SettingsStore {
public:
    QString value(const QString &, const QString &defaultValue) const override { return defaultValue; }
    void setValue(const QString &, const QString &) override {}
};
}  // namespace

namespace {
struct Run {
    std::vector<double> steps;  // the whole Enter step
    std::vector<double> flush;  // the same line appended and flushed on its own
    bool complete = false;
};

// Logs `kSteps` new contacts through the window in `folder`, starting from a log that reaches
// 11,000 contacts with the last of them.
Run logThroughTheWindow(const QString &folder)
{
    constexpr int kSteps = 400;
    Run run;
    // Distinct calls, so every Enter logs (a dupe stops at the alarm).
    QStringList calls = bench::RealisticCalls::calls(LogStore::kCapacity + 2000);
    calls.removeDuplicates();
    calls = calls.mid(0, LogStore::kCapacity);
    const QStringList start = calls.mid(0, LogStore::kCapacity - kSteps);
    const QStringList typed = calls.mid(LogStore::kCapacity - kSteps);
    const QString logPath = QDir(folder).filePath(QStringLiteral("log.txt"));
    const QString scratch = QDir(folder).filePath(QStringLiteral("scratch.txt"));
    if (!fieldfile::writeFileAtomic(logPath, bench::fullLogBytes(start))
        || !fieldfile::writeFileAtomic(scratch, bench::fullLogBytes(start)))
        return run;

    UnattendedDialogs dialogs;
    SystemClock clock;
    MemorySettings settings;
    SharedPreferences shared;
    Form1Services s;
    s.folders.workingDir = folder;
    s.folders.makerFolder = QDir(folder).filePath(QStringLiteral("maker"));
    s.folders.productDataFolder = s.folders.makerFolder + QStringLiteral("/Vardel");
    s.folders.sharedFolder = s.folders.makerFolder + QStringLiteral("/Shared");
    s.dialogs = &dialogs;
    s.clock = &clock;
    s.settings = &settings;
    s.shared = &shared;
    MonotonicTiming keyTiming;
    RecordingKeyLines keyLines(&keyTiming);
    KeyerThread keyer(keyLines, keyTiming);
    s.keyer = &keyer;
    AudioSinkPlayer messagePlayer, promptPlayer;
    AudioSourceRecorder recorder;
    s.messagePlayer = &messagePlayer;
    s.promptPlayer = &promptPlayer;
    s.recorder = &recorder;
    Form1 window(s);
    window.show();
    window.mnuopen2();
    window.cmdList_Click();  // "All"
    auto *call = window.findChild<QLineEdit *>(QStringLiteral("txtCall"));
    auto *name = window.findChild<QLineEdit *>(QStringLiteral("txtRSTR"));
    auto *qth = window.findChild<QLineEdit *>(QStringLiteral("txtCntry"));
    auto *number = window.findChild<QLineEdit *>(QStringLiteral("txtRSTS"));
    if (!call || window.logStore().count() != start.size())
        return run;
    for (const QString &c : typed) {
        call->setText(c);
        name->setText(QStringLiteral("BOB"));
        qth->setText(QStringLiteral("CT"));
        number->setText(QStringLiteral("1234"));
        run.steps.push_back(bench::timeMicros([&] { window.logCurrentContact(); }));
        const QsoRecord r{c, QStringLiteral("BOB"), QStringLiteral("CT"), QStringLiteral("1234"),
                          QStringLiteral("2"), QStringLiteral("2026/12/05"), QStringLiteral("16:00:00"),
                          QStringLiteral("CW")};
        run.flush.push_back(bench::timeMicros([&] { fieldfile::appendFlushed(scratch, LogStore::formatLine(r)); }));
    }
    run.complete = window.logStore().count() == LogStore::kCapacity && dialogs.shown == 0;
    window.close();
    return run;
}
}  // namespace

VARDEL_BENCH("enter: the whole Enter step on the main window at 11,000 contacts")
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
        std::printf("needs the widget application\n");
        return;
    }
    // On disk, for the step with its flush and the flush alone.
    QTemporaryDir disk;
    const Run onDisk = logThroughTheWindow(disk.path());
    // In memory (tmpfs, where a flush costs next to nothing), for the step without the flush.
    QTemporaryDir memory(QStringLiteral("/dev/shm/vardel-bench-XXXXXX"));
    const Run inMemory = memory.isValid() ? logThroughTheWindow(memory.path()) : Run{};
    if (!onDisk.complete || !inMemory.complete) {
        std::printf("not every contact was logged (disk %d, memory %d)\n", int(onDisk.complete),
                    int(inMemory.complete));
        return;
    }
    bench::report(QStringLiteral("Enter step, log on disk"), bench::summarise(onDisk.steps));
    const bench::Stats flush = bench::summarise(onDisk.flush);
    bench::report(QStringLiteral("append + flush alone, on disk"), flush);
    const bench::Stats step = bench::summarise(inMemory.steps);
    bench::report(QStringLiteral("Enter step, log in memory (p99 < 5000 us)"), step);
    std::printf("enter median_us=%.0f p99_us=%.0f flush_median_us=%.0f\n", step.median, step.p99, flush.median);
}
