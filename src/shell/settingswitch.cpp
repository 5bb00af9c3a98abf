#include "shell/settingswitch.h"

#include "platform/dialogs.h"
#include "platform/settingsstore.h"

#include <QAction>
#include <QMenu>

bool settingOn(const SettingsStore *store, const char *key, bool defaultOn)
{
    if (!store)
        return defaultOn;
    return store->value(QString::fromLatin1(key), defaultOn ? QStringLiteral("1") : QStringLiteral("0"))
           != u"0";
}

void setSettingOn(SettingsStore *store, const char *key, bool on)
{
    if (store)
        store->setValue(QString::fromLatin1(key), on ? QStringLiteral("1") : QStringLiteral("0"));
}

QAction *addSettingSwitch(QMenu *menu, SettingsStore *store, const QString &name,
                          const QString &text, const char *key, bool defaultOn)
{
    QAction *a = menu->addAction(text);
    a->setObjectName(name);
    a->setCheckable(true);
    a->setChecked(settingOn(store, key, defaultOn));
    QObject::connect(a, &QAction::toggled, menu, [store, key](bool on) { setSettingOn(store, key, on); });
    return a;
}

void askForAddressSetting(QWidget *parent, SettingsStore &store, Dialogs &dialogs, const char *key,
                          const QString &prompt, const QString &title, const QString &proposed,
                          const std::function<bool(const QString &address, QString *error)> &apply)
{
    const QString name = QString::fromLatin1(key);
    const QString current = store.value(name, QString());
    const QString answer = dialogs.input(parent, prompt, title, current.isEmpty() ? proposed : current);
    if (answer.isEmpty())
        return;  // cancelled
    const QString address =
        answer.trimmed().compare(QLatin1String("off"), Qt::CaseInsensitive) == 0 ? QString() : answer.trimmed();
    QString error;
    if (!apply(address, &error)) {
        dialogs.message(parent, error, title, Dialogs::Buttons::Ok, Dialogs::Icon::Warning);
        return;
    }
    store.setValue(name, address);
}
