// Loading a full log at start, and the call-to-country lookup that runs on every key typed in
// the call field.
#include "bench.h"

#include "core/logstore.h"
#include "core/prefixtable.h"
#include "core/shippeddata.h"
#include "core/statetable.h"

#include <QDir>
#include <QHash>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

bool bench::loadFullLog(const QString &dir, const QStringList &calls, LogStore &store)
{
    const QString path = QDir(dir).filePath(QStringLiteral("log.txt"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(fullLogBytes(calls)) < 0)
        return false;
    f.close();
    return store.load(path) == LogStore::LoadResult::Ok;
}

// A full log (11,000 contacts) of realistic calls: US stations send a state, others a country.
QByteArray bench::fullLogBytes(const QStringList &calls)
{
    static const char *names[] = {"BOB", "JOE", "MARY", "AL", "KEN", "SUE", "HIRO", "HANS"};
    static const char *countries[] = {"Canada", "Japan", "England", "Fed. Rep. of Germany", "Alaska",
                                      "Hawaii", "Australia", "Brazil"};
    QByteArray bytes;
    for (int i = 0; i < calls.size(); ++i) {
        const QString &call = calls[i];
        const bool us = call.startsWith('K') || call.startsWith('W') || call.startsWith('N')
                        || call.startsWith('A');
        QsoRecord r;
        r.call = call;
        r.name = QString::fromLatin1(names[i % 8]);
        r.qth = us ? statetable::abbr(1 + i % statetable::kCount)
                   : QString::fromLatin1(countries[i % 8]);
        r.memberNumber = i % 3 == 0 ? QStringLiteral("None") : QString::number(1000 + i * 7);
        r.points = r.memberNumber == u"None" ? QStringLiteral("1") : QStringLiteral("2");
        const int minute = i / 4;
        r.date = QStringLiteral("2026/08/%1").arg(1 + minute / 1440, 2, 10, QChar('0'));
        r.time = QStringLiteral("%1:%2:%3")
                     .arg(minute / 60 % 24, 2, 10, QChar('0'))
                     .arg(minute % 60, 2, 10, QChar('0'))
                     .arg(i % 60, 2, 10, QChar('0'));
        r.mode = QString::fromLatin1(i % 5 == 0 ? "CW" : (i % 7 == 0 ? "DG" : "PH"));
        bytes += LogStore::formatLine(r);
    }
    return bytes;
}

VARDEL_BENCH("logging: load an 11,000-contact log")
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("log.txt"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)
        || f.write(bench::fullLogBytes(bench::RealisticCalls::calls(LogStore::kCapacity))) < 0) {
        std::printf("cannot write %s\n", qPrintable(path));
        return;
    }
    f.close();

    std::vector<double> micros;
    for (int run = 0; run < 21; ++run) {
        LogStore store;
        LogStore::LoadResult result = LogStore::LoadResult::Damaged;
        micros.push_back(bench::timeMicros([&] { result = store.load(path); }));
        if (result != LogStore::LoadResult::Ok || store.count() != LogStore::kCapacity) {
            std::printf("load failed or short: %d records\n", store.count());
            return;
        }
    }
    std::sort(micros.begin(), micros.end());
    bench::reportOnce(QStringLiteral("LogStore::load, min of 21 (target < 50 ms)"), micros.front() / 1000);
    bench::reportOnce(QStringLiteral("LogStore::load, median of 21"), micros[micros.size() / 2] / 1000);
}

VARDEL_BENCH("logging: a log with a field of 80 kB of Ctrl-Z marks")
{
    // Old editors pad with Ctrl-Z; a run of them inside a field must load in linear time.
    QByteArray bytes = "\"W1AW\",\"" + QByteArray(80 * 1024, '\x1a') + "X\",\"CT\",\"1\",2,\"d\",\"t\",\"CW\"\r\n";
    bytes += "K1ABC," + QByteArray(80 * 1024, '\x1a') + "X,MA,5,2,d,t,CW\r\n";
    QList<QsoRecord> records;
    bool ok = false;
    const double micros = bench::timeMicros([&] { ok = LogStore::parse(bytes, records, nullptr); });
    if (!ok || records.size() != 2) {
        std::printf("the padded log did not load\n");
        return;
    }
    bench::reportOnce(QStringLiteral("parse of two records holding 80 kB runs (target < 20 ms)"), micros / 1000);
}

VARDEL_BENCH("logging: call-to-country lookup on the shipped table")
{
    const QString path = QDir(shippedDataDir()).filePath(QLatin1String(PrefixTable::kFileName));
    PrefixTable table;
    QString error;
    if (!table.load(path, &error)) {
        std::printf("cannot load the prefix table: %s\n", qPrintable(error));
        return;
    }
    std::printf("%d rows from %s\n", table.count(), qPrintable(path));

    const QStringList calls = bench::RealisticCalls::calls(LogStore::kCapacity);
    int found = 0;
    std::vector<double> whole, typed;
    whole.reserve(calls.size());
    for (const QString &call : calls) {
        whole.push_back(bench::timeMicros([&] { found += table.lookup(call).found ? 1 : 0; }));
        // The lookup runs on every change of the call field: each prefix as it is typed.
        for (qsizetype n = 1; n <= call.size(); ++n) {
            const QString part = call.left(n);
            typed.push_back(bench::timeMicros([&] { found += table.lookup(part).found ? 1 : 0; }));
        }
    }
    bench::report(QStringLiteral("lookup, whole call (target median < 20 us)"), bench::summarise(whole));
    bench::report(QStringLiteral("lookup, as typed key by key"), bench::summarise(typed));

    // The slowest case: calls whose first letter has the longest block of rows.
    QHash<QChar, int> blockSize;
    for (const PrefixRow &row : table.rows())
        if (!row.prefix.isEmpty())
            ++blockSize[row.prefix.front()];
    QChar biggest;
    for (auto it = blockSize.cbegin(); it != blockSize.cend(); ++it)
        if (biggest.isNull() || it.value() > blockSize.value(biggest))
            biggest = it.key();
    std::vector<double> worst;
    for (const QString &call : calls) {
        const QString inBlock = QString(biggest) + call.mid(1);
        worst.push_back(bench::timeMicros([&] { found += table.lookup(inBlock).found ? 1 : 0; }));
    }
    bench::report(QStringLiteral("lookup, calls in the largest block \"%1\" (%2 rows)")
                      .arg(biggest)
                      .arg(blockSize.value(biggest)),
                  bench::summarise(worst));
    std::printf("(%d lookups found a country)\n", found);
}
