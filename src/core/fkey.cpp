#include "core/fkey.h"

#include <Qt>

std::optional<FKey> fkeyOfQtKey(int qtKey)
{
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F9)
        return FKey(int(FKey::F1) + (qtKey - Qt::Key_F1));
    if (qtKey == Qt::Key_F10)
        return FKey::F10;
    if (qtKey == Qt::Key_F11)
        return FKey::F11;
    return std::nullopt;
}

int fkeyNumber(FKey key)
{
    switch (key) {
    case FKey::F10: return 10;
    case FKey::F11: return 11;
    default: return int(key) - int(FKey::F1) + 1;
    }
}
