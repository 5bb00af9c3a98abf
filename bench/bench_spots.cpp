// Spot lines from a cluster through the parser, the spot store and the DX list, and what they
// cost the entry line when they arrive while the operator types.
#include "bench.h"

#include "core/entryline.h"
#include "core/logstore.h"
#include "core/prefixtable.h"
#include "core/shippeddata.h"
#include "platform/clock.h"
#include "spotting/spotstore.h"
#include "spotting/spotterminal.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

VARDEL_BENCH("spots: 10,000 cluster lines; entry-line keys with spots at 100 lines/s")
{
    PrefixTable table;
    if (!table.load(QDir(shippedDataDir()).filePath(QString::fromLatin1(PrefixTable::kFileName)))) {
        std::printf("cannot load the prefix table\n");
        return;
    }
    QTemporaryDir dir;
    const QStringList logged = bench::RealisticCalls::calls(LogStore::kCapacity);
    LogStore log;
    if (!bench::loadFullLog(dir.path(), logged, log)) {
        std::printf("cannot load the log\n");
        return;
    }

    SystemClock clock;
    SpotStore store(clock, table, [] { return QStringLiteral("K1XYZ"); });
    SpotReception reception([&](const SpotLine &line) { store.BandMapSpots(line); });

    const QStringList spotted = bench::RealisticCalls::calls(10000);
    QStringList lines;
    lines.reserve(spotted.size());
    for (int i = 0; i < spotted.size(); ++i) {
        QString line = QStringLiteral("DX de W3LPL:").leftJustified(15, u' ');
        line += QString::number(28000.0 + (i % 1700) / 10.0, 'f', 1).rightJustified(9, u' ');
        line += QStringLiteral("  ") + spotted[i].leftJustified(13, u' ');
        line += QStringLiteral("CW 599 up 2").leftJustified(31, u' ');
        line += QStringLiteral("%1Z\r\n").arg(1400 + i % 60, 4, 10, QChar(u'0'));
        lines.append(line);
    }

    std::vector<double> perLine;
    perLine.reserve(lines.size());
    for (const QString &line : lines)
        perLine.push_back(bench::timeMicros([&] { reception.addTelnetText(line); }));
    const bench::Stats lineStats = bench::summarise(perLine);
    bench::report(QStringLiteral("parse + store + DX list, per line (median < 100 us)"), lineStats);

    // One key: the country lookup and the partial-dupe scan of the whole log.
    auto key = [&](const QString &text) {
        return bench::timeMicros([&] {
            const CountryLookup hit = table.lookup(text);
            const QString list = entryline::partialDupeList(log, text);
            if (hit.country.size() + list.size() == -1)
                std::printf("!");
        });
    };
    const QStringList typed = bench::RealisticCalls::calls(LogStore::kCapacity + 400).mid(LogStore::kCapacity);
    std::vector<double> idle, withSpots;
    // At 100 lines per second and about 10 keys per second, ten lines arrive between keys; a
    // key that comes while a line is being handled waits for that one line.
    qsizetype next = 0;
    for (const QString &call : typed) {
        for (qsizetype n = 1; n <= call.size(); ++n) {
            idle.push_back(key(call.left(n)));
            double lastLine = 0;
            for (int i = 0; i < 10; ++i) {
                lastLine = bench::timeMicros(
                    [&] { reception.addTelnetText(lines[int(next++ % lines.size())]); });
            }
            withSpots.push_back(lastLine + key(call.left(n)));
        }
    }
    const bench::Stats idleStats = bench::summarise(idle);
    const bench::Stats spotStats = bench::summarise(withSpots);
    bench::report(QStringLiteral("entry-line key, idle"), idleStats);
    bench::report(QStringLiteral("entry-line key, spots at 100 lines/s (< 2x idle)"), spotStats);
    std::printf("spots line_median_us=%.0f line_p99_us=%.0f key_p99_idle_us=%.0f key_p99_spots_us=%.0f\n",
                lineStats.median, lineStats.p99, idleStats.p99, spotStats.p99);
    std::fflush(stdout);
}
