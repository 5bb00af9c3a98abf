#include "bench.h"

#include "core/fieldfile.h"
#include "core/logstore.h"
#include "reports/adifwriter.h"
#include "reports/cabrillowriter.h"
#include "reports/coversheetwriter.h"
#include "reports/reportconstants.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

QList<QsoRecord> fullLog()
{
    static const char *states[] = {"CT", "MA", "NY", "TX", "CA", "ON", "Japan", "Germany", "HI", "Alaska"};
    static const char *names[] = {"JOE", "ANN", "BOB", "MARIA", "BARTHOLOMEWS", "KEN", "SUE"};
    static const char *modes[] = {"PH", "CW", "DG"};
    const QStringList calls = bench::RealisticCalls::calls(LogStore::kCapacity);
    QList<QsoRecord> log;
    log.reserve(calls.size());
    for (int i = 0; i < calls.size(); ++i) {
        const bool numbered = i % 3 != 0;
        const int minute = i / 10;
        log.append({calls[i], names[i % 7], states[i % 10], numbered ? QString::number(1 + i * 7 % 80000) : "None",
                    numbered ? "2" : "1", QString("2009/08/%1").arg(1 + minute / 1440, 2, 10, QChar(u'0')),
                    QString("%1:%2:%3").arg(minute / 60 % 24, 2, 10, QChar(u'0')).arg(minute % 60, 2, 10, QChar(u'0'))
                        .arg(i % 60, 2, 10, QChar(u'0')),
                    modes[i % 3]});
    }
    return log;
}

template <typename Build>
void timeWrite(const char *what, const QString &path, Build build)
{
    std::vector<double> buildOnly;
    for (int run = 0; run < 15; ++run)
        buildOnly.push_back(bench::timeMicros([&] { build(); }));
    bench::report(QString("%1, 11,000 records (bytes only)").arg(what), bench::summarise(buildOnly));
    std::vector<double> times;
    for (int run = 0; run < 15; ++run)
        times.push_back(bench::timeMicros([&] {
            QString why;
            if (!fieldfile::writeFileAtomic(path, build(), &why))
                qFatal("write failed: %s", qPrintable(why));
        }));
    bench::report(QString("%1, 11,000 records (build + write)").arg(what), bench::summarise(times));
}

}  // namespace

VARDEL_BENCH("reports")
{
    QTemporaryDir dir;
    const QList<QsoRecord> log = fullLog();
    const reports::StationInfo station{"K1XYZ", "12345", "ANN", "CT"};
    reports::ReportFields fields;
    fields.name = "Ann Smith";

    timeWrite("Cabrillo log", dir.filePath("K1XYZ.log"), [&] {
        QByteArray bytes;
        CabrilloWriter(station, fields, "18334", reports::kMainWindowTitle).build(log, bytes);
        return bytes;
    });

    AdifCountryTable table;
    for (int i = 0; i < 400; ++i) {
        table.names << QString("Country %1").arg(i);
        table.numbers << i + 1;
    }
    table.names << "USA" << "Canada" << "Japan" << "Germany" << "Hawaii" << "Alaska";
    table.numbers << 291 << 1 << 339 << 230 << 110 << 6;
    timeWrite("ADIF export", dir.filePath("Vardel.adi"), [&] {
        AdifWriter writer(table, {"100", "Vardel Contest", reports::kMainWindowTitle, "now", [] { return "RTTY"; }});
        return writer.build(log);
    });

    timeWrite("Dupe file", dir.filePath("K1XYZ.dup"), [&] { return DupeSheetWriter("K1XYZ").build(log); });
}
