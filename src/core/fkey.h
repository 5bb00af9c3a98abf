#pragma once
#include <optional>

// A function key as the message files and settings number it. F10 is 124, after F11: its
// message was added to the files last.
enum class FKey : int {
    F1 = 112, F2, F3, F4, F5, F6, F7, F8, F9,
    F11 = 122,
    F10 = 124,
};

// The function key of a Qt key code (Qt::Key_F1 .. Qt::Key_F11), or nothing.
std::optional<FKey> fkeyOfQtKey(int qtKey);
// F1 .. F9 as 1 .. 9, F10 as 10, F11 as 11.
int fkeyNumber(FKey key);
