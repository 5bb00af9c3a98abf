#pragma once
#include <QString>

#include <optional>
#include <utility>

// The keyer's settings as the setup window edits them and "WK.txt" keeps them: the port and the
// pin and mode numbers as numbers, the five boxes as their text.
struct WkSettings {
    int comPort = 5;
    QString wpm = QStringLiteral("18");
    QString weight = QStringLiteral("50");
    QString leadIn = QStringLiteral("0");
    QString tail = QStringLiteral("0");
    QString ratio = QStringLiteral("50");
    int pinConfig = 6;  // Tone
    int mode = 0;       // Iambic B
    bool operator==(const WkSettings &) const = default;
};

namespace wksettings {

inline constexpr const char *kFileName = "WK.txt";

// Reads the file; a missing file leaves the defaults, a short one keeps what it has and the
// defaults for the rest. Numbers that cannot be a port, pin or mode byte read as 0.
WkSettings load(const QString &path);
// Eight lines, CR LF, written whole or not at all.
bool save(const QString &path, const WkSettings &settings, QString *error = nullptr);

// The rules applied when a box is left. Each returns the byte to send, or nothing when the text
// is out of range (kept in its box) or not a number (the box is reset to its default).
std::optional<quint8> wpmToSend(QString &box);    // 0 .. 99, else "18"
std::optional<quint8> weightToSend(QString &box); // 0 .. 99, else "50"
std::optional<quint8> ratioToSend(QString &box);  // 32 .. 67, else "50"
// Lead-in and tail go together when both are numbers (0 .. 255, in 10 ms steps); otherwise the
// box just left (`leftLeadIn` says which) becomes "0" and nothing is sent.
std::optional<std::pair<quint8, quint8>> leadTailToSend(QString &leadIn, QString &tail,
                                                        bool leftLeadIn);
// The port box: its number, 0 when it is not a port number.
int comPortFrom(const QString &box);

}  // namespace wksettings
