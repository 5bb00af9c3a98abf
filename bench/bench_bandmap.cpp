// One redraw of the main window's 10 m strip with a full spot store: the layout and the paint.
#include "bench.h"

#include "bandmap/bandmaprow.h"
#include "bandmap/bandmaps.h"
#include "platform/clock.h"
#include "platform/dialogs.h"

#include <QImage>
#include <QWidget>

#include <cstdio>

VARDEL_BENCH("bandmap")
{
    SystemClock clock;
    QtDialogs dialogs;
    const QStringList calls = bench::RealisticCalls::calls(50);
    QList<Spot> spots;
    const QDateTime now = clock.localNow();
    for (int i = 0; i < 50; ++i) {
        // Mostly 10 m, a few elsewhere, ages spread over the hour.
        const double mhz = i % 10 == 3 ? 14.0 + 0.007 * i : 28.0 + 0.033 * (i + 1);
        spots.append({calls[i], hzOfMhz(mhz), now.addSecs(-70 * (49 - i)), calls[i].left(3)});
    }
    BandMaps maps(clock, dialogs,
                  {[&spots] { return spots; }, [&spots](int slot) { spots[slot].hz = 0; }, {}},
                  [] { return 5.0f; });
    QWidget window;
    window.resize(1280, 960);
    BandMapRow *strip = maps.strip(&window);
    strip->setGeometry(13, 860, 1241, 90);
    strip->show();
    window.show();
    // The paint is rendered into an image of the strip's size, so it is measured whether or not
    // the platform shows windows.
    QImage image(strip->size(), QImage::Format_ARGB32_Premultiplied);
    std::vector<double> redraw;
    for (int i = 0; i < 2000; ++i) {
        redraw.push_back(bench::timeMicros([&] {
            maps.DisplayBandMapLabels();
            strip->render(&image);
        }));
    }
    std::vector<double> arithmetic;
    for (int i = 0; i < 2000; ++i) {
        arithmetic.push_back(bench::timeMicros([&] {
            const auto picture = bandmap::layout(spots, {bandmap::kTenMetreRow}, clock.localNow(), 5);
            Q_UNUSED(picture);
        }));
    }
    bench::report(QStringLiteral("strip layout alone, 50 spots"), bench::summarise(arithmetic));
    const bench::Stats s = bench::summarise(redraw);
    bench::report(QStringLiteral("strip redraw, 50 spots (target < 2000 us)"), s);
    std::printf("(%lld labels drawn)\n", static_cast<long long>(strip->spots().size()));
    std::printf("bandmap redraw_median_us=%.0f redraw_p99_us=%.0f\n", s.median, s.p99);
    std::fflush(stdout);
}
