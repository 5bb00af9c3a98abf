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

    bool load(const QString &path, QString *error = nullptr);
    bool save(const QString &path, QString *error = nullptr) const;  // `savepref`
    bool operator==(const Preferences &) const = default;
};

// (UTC - local) in whole minutes / 60, rounded to two decimals.
float recommendedUtcOffset(const Clock &clock);
