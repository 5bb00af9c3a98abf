#include "ui/enterkeyseditor.h"

#include "core/entersends.h"
#include "platform/settingsstore.h"
#include "ui/plaintext.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QSpinBox>
#include <QVBoxLayout>

EnterKeysEditor::EnterKeysEditor(SettingsStore &store, const char *key, QWidget *parent)
    : QWidget(parent), m_store(store), m_key(key)
{
    setObjectName(QStringLiteral("EnterKeys"));
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *frame = new QGroupBox(QStringLiteral("Enter Sends Message: the function key of each step"), this);
    auto *grid = new QGridLayout(frame);
    const QStringList captions = {QStringLiteral("Run: CQ"), QStringLiteral("Run: call + exchange"),
                                  QStringLiteral("Run: TU + log"), QStringLiteral("Run: worked before"),
                                  QStringLiteral("S&&P: my call"), QStringLiteral("S&&P: exchange + log")};
    const QStringList names = {"spnEnterCq", "spnEnterExchange", "spnEnterThanks",
                               "spnEnterWorkedBefore", "spnEnterOwnCall", "spnEnterSpExchange"};
    for (int i = 0; i < captions.size(); ++i) {
        // "&&" shows one ampersand: a label with a buddy reads "&" as its access key.
        QLabel *label = plainLabel(captions[i], frame);
        auto *box = new QSpinBox(frame);
        box->setObjectName(names[i]);
        box->setRange(0, entersends::kMaxKey);
        box->setPrefix(QStringLiteral("F"));
        box->setSpecialValueText(QStringLiteral("none"));
        label->setBuddy(box);
        grid->addWidget(label, i / 3, (i % 3) * 2);
        grid->addWidget(box, i / 3, (i % 3) * 2 + 1);
        m_boxes << box;
    }
    outer->addWidget(frame);
    load();
    for (QSpinBox *box : m_boxes)
        connect(box, &QSpinBox::valueChanged, this, &EnterKeysEditor::save);
}

void EnterKeysEditor::load()
{
    const entersends::Keys k = entersends::Keys::fromText(m_store.value(QString::fromLatin1(m_key)));
    const int values[] = {k.cq, k.exchange, k.thanks, k.workedBefore, k.ownCall, k.spExchange};
    for (int i = 0; i < m_boxes.size(); ++i) {
        const QSignalBlocker quiet(m_boxes[i]);
        m_boxes[i]->setValue(values[i]);
    }
}

void EnterKeysEditor::save()
{
    entersends::Keys k;
    int *fields[] = {&k.cq, &k.exchange, &k.thanks, &k.workedBefore, &k.ownCall, &k.spExchange};
    for (int i = 0; i < m_boxes.size(); ++i)
        *fields[i] = m_boxes[i]->value();
    m_store.setValue(QString::fromLatin1(m_key), k.toText());
}
