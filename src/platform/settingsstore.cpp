#include "platform/settingsstore.h"

#include <QSettings>

namespace {
constexpr auto kOrganisation = "Korvex_Software";
constexpr auto kApplication = "Vardel";
constexpr auto kGroup = "Settings";
}

QString QtSettingsStore::value(const QString &key, const QString &defaultValue) const
{
    QSettings settings(kOrganisation, kApplication);
    settings.beginGroup(kGroup);
    return settings.value(key, defaultValue).toString();
}

void QtSettingsStore::setValue(const QString &key, const QString &value)
{
    QSettings settings(kOrganisation, kApplication);
    settings.beginGroup(kGroup);
    settings.setValue(key, value);
}
