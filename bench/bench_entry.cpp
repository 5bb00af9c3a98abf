// The work done for every key typed in the call field with a full log: the country lookup,
// the partial-dupe scan and the third-character check.
#include "bench.h"

#include "core/entryline.h"
#include "core/logstore.h"
#include "core/prefixtable.h"
#include "core/shippeddata.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

VARDEL_BENCH("entry: per keystroke in txtCall with an 11,000-contact log")
{
    QTemporaryDir dir;
    const QStringList logged = bench::RealisticCalls::calls(LogStore::kCapacity);
    LogStore store;
    PrefixTable table;
    if (!bench::loadFullLog(dir.path(), logged, store)
        || !table.load(QDir(shippedDataDir()).filePath(QString::fromLatin1(PrefixTable::kFileName)))) {
        std::printf("cannot load the log or the prefix table\n");
        return;
    }
    // Half the typed calls are in the log (dupes), half are new.
    QStringList typed = logged.mid(0, 1000);
    typed += bench::RealisticCalls::calls(LogStore::kCapacity + 1000).mid(LogStore::kCapacity);
    std::vector<double> perKey;
    int warnings = 0;
    qsizetype listed = 0;
    for (const QString &call : typed) {
        for (qsizetype n = 1; n <= call.size(); ++n) {
            const QString before = call.left(n - 1);
            const QChar key = call[n - 1];
            perKey.push_back(bench::timeMicros([&] {
                const CountryLookup hit = table.lookup(before + key);
                const QString list = entryline::partialDupeList(store, before + key);
                listed += list.size() + hit.country.size();
                if (n == 3 && !entryline::secondOrThirdIsNumeric(before + key))
                    ++warnings;
            }));
        }
    }
    bench::report(QStringLiteral("lookup + partial dupes + third character, per key (median < 200 us, p99 < 1000 us)"),
                  bench::summarise(perKey));
    std::printf("(%zu keys, %d third-character warnings, %lld characters listed)\n", perKey.size(),
                warnings, static_cast<long long>(listed));
}
