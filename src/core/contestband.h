#pragma once
#include <QtGlobal>

// The contest's one band, 10 m: 28.000 to 29.700 MHz.
namespace contestband {
inline constexpr qint64 kLowHz = 28000000;
inline constexpr qint64 kHighHz = 29700000;
inline constexpr bool contains(qint64 hz) { return hz >= kLowHz && hz <= kHighHz; }
}  // namespace contestband
