#pragma once
#include <QString>

// The per-user settings store: organisation "Korvex_Software", group "Settings".
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual QString value(const QString &key, const QString &defaultValue = QString()) const = 0;
    virtual void setValue(const QString &key, const QString &value) = 0;
};

class QtSettingsStore : public SettingsStore {
public:
    QString value(const QString &key, const QString &defaultValue) const override;
    void setValue(const QString &key, const QString &value) override;
};
