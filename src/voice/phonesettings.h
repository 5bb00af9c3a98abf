#pragma once
#include <QString>
#include <array>

// The voice keyer's settings as "wave2.txt" keeps them in the working directory: the nine
// message files, the keying port and line, the repeat interval and the parallel address.
struct PhoneSettings {
    enum Line { Rts = 0, Dtr = 1, Parallel = 2 };
    static constexpr const char *kFileName = "wave2.txt";

    std::array<QString, 9> files;  // F1 .. F9
    QString port = QStringLiteral("0");
    int line = Rts;
    QString loop = QStringLiteral("0");
    QString parallelAddress = QStringLiteral("&H378");
    // The transmitter's switching time before the first sample, and the hold after the last,
    // in ms. Kept in the settings store (the file keeps its thirteen lines).
    int pttLeadMs = kDefaultLeadMs;
    int pttTailMs = kDefaultTailMs;
    static constexpr int kDefaultLeadMs = 50;
    static constexpr int kDefaultTailMs = 30;
    static constexpr int kMaxLeadTailMs = 2000;
    static constexpr const char *kLeadKey = "PhonePttLeadMs";
    static constexpr const char *kTailKey = "PhonePttTailMs";
    // Spoken messages spell the call in the phonetic alphabet; kept in the settings store.
    bool phonetic = false;
    static constexpr const char *kPhoneticKey = "PhoneticCalls";

    // Reads the thirteen lines. On a short or damaged file the lines read so far are kept, the
    // rest keep their values, and false is returned.
    bool load(const QString &path, QString *error = nullptr);
    bool save(const QString &path, QString *error = nullptr) const;
    QByteArray toBytes() const;

    // The port box as a number; anything that is not a whole number counts as 0 (no port).
    int portNumber() const;
    // Seconds between the end of the F1 message and its next start; 0 for none or invalid.
    double loopSeconds() const;
    static bool validLoop(const QString &text);  // a number from 0 up to, not including, 60
};
