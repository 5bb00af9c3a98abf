#pragma once
#include <QString>

class Clock;

// The 14 values of "tntnprf.txt", in file order.
struct Preferences {
    QString ownCall;
    QString ownState;
    float utcOffset = 0;          // hours added to local time to get UTC
    QString ownMemberNumber;
    QString ownCountry;
    float ownLongitude = 0;       // degrees, west positive
    float ownLatitude = 0;        // degrees, north positive
    int formSizePercent = 100;
    qint32 notWorkedColour = 255;     // Windows colour value: red
    qint32 workedColour = 0x008000;   // dark green
    QString currentMode = QStringLiteral("CW");
    QString ownFirstName;
    int voiceNavigationLevel = 0;
    int taskbarOption = 0;

    static constexpr const char *kFileName = "tntnprf.txt";

    // Values for a first start: empty own data, the offset the system clock implies, CW.
    static Preferences defaults(const Clock &clock);

    // Reads the file over the values this object holds (start from `defaults`). False when the
    // file is short or holds an unusable value; every value that could be read is still taken.
    bool load(const QString &path, QString *error = nullptr);
    // Keeps a copy of a damaged file beside it ("tntnprf.txt.damaged") before it is written
    // anew; returns the copy's path, or an empty string when none could be made.
    static QString keepDamagedCopy(const QString &path);
    bool save(const QString &path, QString *error = nullptr) const;  // `savepref`
    bool operator==(const Preferences &) const = default;
};

// (UTC - local) in whole minutes / 60, rounded to two decimals.
float recommendedUtcOffset(const Clock &clock);
