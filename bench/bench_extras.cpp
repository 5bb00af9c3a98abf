// Super check partial on every key in the call field, with the full MASTER.SCP loaded and a full
// log marked as worked; and the call history built from twenty full logs.
#include "bench.h"

#include "core/appfolders.h"
#include "core/callhistory.h"
#include "core/logstore.h"
#include "core/supercheck.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <cmath>
#include <ctime>
#include <cstdio>

VARDEL_BENCH("scp: check partial per key with the full MASTER.SCP")
{
    AppFolders none;
    const QString path = locateMasterScp(none);
    if (path.isEmpty()) {
        std::printf("no MASTER.SCP (install hamradio-files)\n");
        return;
    }
    SuperCheckPartial scp;
    std::vector<double> loads;
    const std::clock_t cpuStart = std::clock();
    for (int i = 0; i < 5; ++i)
        loads.push_back(bench::timeMicros([&] { scp.load(path); }) / 1000.0);
    const double cpuMs = 1000.0 * double(std::clock() - cpuStart) / CLOCKS_PER_SEC / 5;
    const bench::Stats load = bench::summarise(loads);
    std::printf("%d calls from %s, load %.0f ms processor time\n", scp.count(), qPrintable(path), cpuMs);

    const QStringList logged = bench::RealisticCalls::calls(LogStore::kCapacity);
    const QSet<QString> worked(logged.begin(), logged.end());
    QStringList typed = logged.mid(0, 1000);
    typed += bench::RealisticCalls::calls(LogStore::kCapacity + 1000).mid(LogStore::kCapacity);
    std::vector<double> perKey;
    qsizetype listed = 0;
    for (const QString &call : typed) {
        for (qsizetype n = 1; n <= call.size(); ++n) {
            perKey.push_back(bench::timeMicros([&] {
                listed += SuperCheckPartial::formatLine(scp.matches(call.left(n), 40, worked)).size();
            }));
        }
    }
    const bench::Stats keys = bench::summarise(perKey);
    bench::report(QStringLiteral("check partial, per key (median < 500 us, p99 < 2000 us)"), keys);
    std::printf("(%zu keys, %lld characters listed)\n", perKey.size(), static_cast<long long>(listed));
    std::printf("scp key_median_us=%.0f key_p99_us=%.0f load_ms=%.0f\n", std::ceil(keys.median),
                std::ceil(keys.p99), std::ceil(load.median));
    std::fflush(stdout);
}

VARDEL_BENCH("history: call history from 20 logs of 11,000 contacts")
{
    QTemporaryDir dir;
    AppFolders folders;
    folders.workingDir = dir.path();
    folders.productDataFolder = dir.filePath(QStringLiteral("Vardel"));
    QDir().mkpath(folders.backupFolder());
    for (int i = 0; i < 20; ++i) {
        QFile f(QDir(folders.backupFolder()).filePath(QStringLiteral("%1.log").arg(202401010000LL + i)));
        if (!f.open(QIODevice::WriteOnly)
            || f.write(bench::fullLogBytes(bench::RealisticCalls::calls(LogStore::kCapacity + i * 100)
                                               .mid(i * 100)))
                   < 0)
            return;
    }
    std::vector<double> builds;
    int known = 0;
    // Processor time beside the wall time: on a busy machine the two tell apart waiting and work.
    const std::clock_t cpuStart = std::clock();
    for (int i = 0; i < 3; ++i)
        builds.push_back(bench::timeMicros([&] { known = CallHistory::build(folders, {}).count(); }) / 1000.0);
    const double cpuMs = 1000.0 * double(std::clock() - cpuStart) / CLOCKS_PER_SEC / 3;
    bench::reportOnce(QStringLiteral("build from 20 full logs (< 300 ms), median of 3"), bench::summarise(builds).median);
    std::printf("(%d calls known, %.0f ms processor time per build)\n", known, cpuMs);
}
