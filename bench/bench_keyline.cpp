// What a real serial line adds to each key change: the time QSerialPort takes to raise or drop
// RTS on the device VARDEL_BENCH_SERIAL names (run by hand; it keys that line).
#include "bench.h"
#include "platform/keyline.h"

#include <cstdio>
#include <vector>

VARDEL_BENCH("keyline")
{
    const QString device = qEnvironmentVariable("VARDEL_BENCH_SERIAL");
    if (device.isEmpty()) {
        std::printf("skipped: set VARDEL_BENCH_SERIAL to a serial device whose RTS may be keyed "
                    "(for example /dev/ttyUSB0)\n");
        return;
    }
    PortMap map;
    map.setSerialDevice(1, device);
    SerialKeyLine line(map, SerialKeyLine::Signal::Rts);
    if (!line.open(1)) {
        std::printf("%s: %s\n", qPrintable(device), qPrintable(line.errorText()));
        return;
    }
    std::vector<double> micros;
    for (int i = 0; i < 2000; ++i) {
        const bool down = i % 2 == 0;
        micros.push_back(bench::timeMicros([&] { line.setKey(down); }));
    }
    line.setKey(false);
    bench::report(QStringLiteral("RTS change on %1").arg(device), bench::summarise(micros));
}
