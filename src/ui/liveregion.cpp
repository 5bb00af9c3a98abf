#include "ui/liveregion.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>

namespace {
constexpr const char *kRole = "liveRegionRole";  // "alert" or "quiet"
constexpr const char *kQuietName = "liveRegionName";

// The alert label reads as its message; a quiet label as its name and text.
class LabelInterface : public QAccessibleWidget {
public:
    explicit LabelInterface(QLabel *label, bool alert)
        : QAccessibleWidget(label, alert ? QAccessible::Notification : QAccessible::StaticText)
    {
    }
    QString text(QAccessible::Text t) const override
    {
        const auto *label = static_cast<const QLabel *>(widget());
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        if (label->property(kRole).toString() == u"alert")
            return label->text();
        return (label->property(kQuietName).toString() + u' ' + label->text()).trimmed();
    }
};

QAccessibleInterface *labelFactory(const QString &, QObject *object)
{
    auto *label = qobject_cast<QLabel *>(object);
    if (!label)
        return nullptr;
    const QString role = label->property(kRole).toString();
    if (role.isEmpty())
        return nullptr;
    return new LabelInterface(label, role == u"alert");
}

void installFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(labelFactory);
        return true;
    }();
    Q_UNUSED(installed);
}
}  // namespace

LiveRegion::LiveRegion(QWidget *window) : QObject(window)
{
    installFactory();
    m_label = new QLabel(window);
    m_label->setObjectName(QStringLiteral("liveRegion"));
    m_label->setProperty(kRole, QStringLiteral("alert"));
    m_label->setTextFormat(Qt::PlainText);
    // A name of its own keeps the label from sending a name change with every text; the
    // reader hears it through its appearing, once per message.
    m_label->setAccessibleName(QStringLiteral("alert"));
    m_label->setGeometry(0, 0, 1, 1);
    m_label->hide();
    m_settle.setSingleShot(true);
    connect(&m_settle, &QTimer::timeout, this, [this] { say(m_pending); });
}

void LiveRegion::say(const QString &text)
{
    const QString message = text.simplified();
    if (message.isEmpty() || message == m_last)
        return;
    m_last = message;
    m_label->hide();
    m_label->setText(message);
    m_label->show();  // shown anew: the reader announces it
    m_label->lower();
    QAccessibleEvent alert(m_label, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void LiveRegion::sayWhenSettled(const QString &text, int ms)
{
    m_pending = text;
    if (text.simplified().isEmpty()) {
        m_settle.stop();
        return;
    }
    m_settle.start(ms);
}

void LiveRegion::reset()
{
    m_last.clear();
}

namespace liveregion {
void makeQuiet(QLabel *label, const QString &name)
{
    installFactory();
    label->setProperty(kRole, QStringLiteral("quiet"));
    label->setProperty(kQuietName, name);
    label->setAccessibleName(name);  // QLabel sends no name change while it has a name of its own
}
}  // namespace liveregion
