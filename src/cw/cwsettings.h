#pragma once
#include "core/fkey.h"
#include "cw/keyerthread.h"

#include <QString>
#include <QStringList>

class SettingsStore;

// How CW leaves the program; the numbers are the ones CW.txt stores.
enum class KeyingInterface { None = 0, Rts = 1, Dtr = 2, Parallel = 3, WinKey = 5 };

// The CW setup as "CW.txt" and the settings store keep it. Texts stay as the operator typed
// them; the numbers are read from them when used.
struct CwSettings {
    static constexpr int kMessages = 11;  // F1..F9, F10, F11
    QStringList messages = QStringList(kMessages, QString());
    QString port = QStringLiteral("0");
    QString speed = QStringLiteral("13");
    QString wordSpace = QStringLiteral("0");
    KeyingInterface keyingInterface = KeyingInterface::None;
    QString parallelAddress = QStringLiteral("&H378");
    bool showText = false;
    QString repeat = QStringLiteral("0");
    // Kept in the settings store.
    QString timingMethod = QStringLiteral("Timer");
    double loopsPer60ms = 0;

    static QString fileName() { return QStringLiteral("CW.txt"); }

    // Reads the 18 fields in order. A missing or short file keeps the defaults for the fields
    // not read (and returns false); an empty F9 becomes "VVV DE ".
    bool load(const QString &folder);
    bool save(const QString &folder, QString *error = nullptr) const;
    void loadStore(const SettingsStore &store);
    void saveStore(SettingsStore &store) const;

    // The message of a function key.
    QString messageForKey(FKey key) const;

    int speedWpm() const;
    int portNumber() const;
    double repeatSeconds() const;  // 0 when not a number from 0 up to 60
    KeyerSettings keyerSettings(const PortMap &map) const;
};
