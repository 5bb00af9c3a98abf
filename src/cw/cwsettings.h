#pragma once
#include "cw/keyerthread.h"

#include <QString>
#include <QStringList>

class SettingsStore;

// The CW setup as "CW.txt" and the settings store keep it. Texts stay as the operator typed
// them; the numbers are read from them when used.
struct CwSettings {
    static constexpr int kMessages = 11;  // F1..F9, F10, F11
    QStringList messages = QStringList(kMessages, QString());
    QString port = QStringLiteral("0");
    QString speed = QStringLiteral("13");
    QString wordSpace = QStringLiteral("0");
    int keyingInterface = 0;  // 0 none, 1 RTS, 2 DTR, 3 parallel, 5 external keyer
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

    // The message of a function key code (112 = F1 .. 122 = F11, 124 for F10); empty when the
    // code has none.
    QString messageForKey(int keyCode) const;

    int speedWpm() const;
    int portNumber() const;
    double repeatSeconds() const;  // 0 when not a number from 0 up to 60
    KeyerSettings keyerSettings(const PortMap &map) const;
};
