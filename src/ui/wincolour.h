#pragma once
#include <QColor>
#include <QtGlobal>

// Colours kept in files use the Windows integer form, red + 256 x green + 65536 x blue, so
// preference files written elsewhere read the same.
namespace wincolour {

inline QColor toQColor(qint32 value)
{
    const quint32 v = quint32(value);
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

inline qint32 fromQColor(const QColor &colour)
{
    const QColor c = colour.toRgb();
    return qint32(c.red() + 256 * c.green() + 65536 * c.blue());
}

}  // namespace wincolour
