// The entry line's keys: the per-field filters, the country completion and the focus rules.
#include "logging/entrylinewidget.h"
#include "ui/liveregion.h"

#include "core/entryline.h"
#include "core/fieldfile.h"
#include "core/preferences.h"
#include "core/prefixtable.h"
#include "platform/clock.h"
#include "stats/heading.h"
#include "ui/fieldkeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace {
bool isEnter(const QKeyEvent *k) { return k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter; }
QChar capital(QChar c) { return fieldkeys::filter(fieldkeys::Rule::Capital, c); }

// The character a key types as text, or a null QChar for keys that type nothing (arrows,
// Backspace, control characters) and for Ctrl, Alt or Meta chords.
QChar printableChar(const QKeyEvent *k)
{
    if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return QChar();
    const QString t = k->text();
    if (t.size() != 1 || t[0].unicode() < 32 || t[0].unicode() == 127)
        return QChar();
    return t[0];
}
}  // namespace

bool EntryLineWidget::isHoldableKey(const QKeyEvent *k)
{
    const QChar c = printableChar(k);
    if (k->key() == Qt::Key_Backspace)
        return true;
    return !c.isNull() && c != u' ' && c != u'"';
}

bool EntryLineWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (auto *field = qobject_cast<QLineEdit *>(watched); field && isEntryField(field)) {
        if (event->type() == QEvent::FocusIn)
            fieldFocusIn(field);
        else if (event->type() == QEvent::FocusOut)
            fieldFocusOut(field, static_cast<QFocusEvent *>(event)->reason());
    }
    return QWidget::eventFilter(watched, event);
}

bool EntryLineWidget::handleEntryKey(QLineEdit *field, QKeyEvent *key)
{
    const bool postField = field == txtPostConDate || field == txtPostConTime;
    // An Alt or Meta letter that no menu took (the window lost its activation) is a command
    // gone astray, not text for the log.
    if ((key->modifiers() & (Qt::AltModifier | Qt::MetaModifier)) && key->text().size() == 1
        && key->text()[0].isPrint())
        return true;
    // A call of under two characters cannot have decided a country yet: any character key,
    // Enter included, first empties what an earlier call filled in.
    if (field == txtCall && txtCall->text().size() < 2
        && (isEnter(key) || key->key() == Qt::Key_Backspace || !printableChar(key).isNull())) {
        txtCntry->clear();
        clearLookupLabels();
    }
    if (isEnter(key)) {
        logCurrentContact();
        return true;
    }
    const QChar c = printableChar(key);
    if (c == u'"' || (c.unicode() >= 0x20 && !fieldfile::canHold(c)))
        return true;
    if (field == txtCall)
        return handleCallKey(key);
    if (field == txtCntry)
        return handleCountryKey(key);
    if (c == u' ') {
        if (field == txtRSTR)
            txtCntry->setFocus(Qt::TabFocusReason);
        else
            focusNextChild();
        return true;
    }
    if (postField) {
        if (c.isNull())
            return false;  // Backspace and the editing keys
        const QString allowed = field == txtPostConDate ? QStringLiteral("/0123456789")
                                                        : QStringLiteral(":0123456789");
        return !allowed.contains(c);  // anything else is dropped
    }
    if (c.isNull())
        return false;
    field->insert(QString(capital(c)));
    return true;
}

bool EntryLineWidget::handleCallKey(QKeyEvent *key)
{
    const QString before = txtCall->text();
    const QChar c = printableChar(key);
    if (c == u' ') {
        scanPartialDupes(before, QChar());
        leaveCallField();
        return true;
    }
    if (key->key() == Qt::Key_Backspace) {
        scanPartialDupes(before, QChar(8));
        return false;
    }
    if (c.isNull())
        return false;
    const QChar k = capital(c);
    scanPartialDupes(before, k);
    thirdCharacterCheck(before, k);
    txtCall->insert(QString(k));
    return true;
}

void EntryLineWidget::leaveCallField()
{
    m_callChecked = false;
    txtRSTR->setFocus(Qt::TabFocusReason);
    // Leaving the field runs the full dupe check; a window without the keyboard focus gets no
    // focus events, so make sure the check ran all the same.
    if (!m_callChecked && !txtCall->text().isEmpty()) {
        dupcheck();
        if (!m_dupeFound)
            emit callFieldLeft(txtCall->text());
    }
}

void EntryLineWidget::scanPartialDupes(const QString &before, QChar key)
{
    setStatus(QString());
    showPartialLine(QString());
    const ushort k = key.unicode();
    QString list;
    if (m_partialDupes && k > 45 && k < 91)
        list = entryline::partialDupeList(*m_s.log, before + key);
    showPartialLine(list);
    const bool possible = before.size() > 2 && !list.isEmpty();
    setStatus(possible ? QStringLiteral("Possible Duplicate!") : QStringLiteral(" "));
    // Heard once for the call being typed, and the calls themselves when typing pauses.
    if (possible && !m_possibleDupeSaid) {
        m_possibleDupeSaid = true;
        m_live->say(QStringLiteral("Possible Duplicate!"));
    }
    if (before.isEmpty())
        m_possibleDupeSaid = false;
    m_live->sayWhenSettled(list.isEmpty() ? QString() : QStringLiteral("Possible duplicates: ") + list);
}

void EntryLineWidget::thirdCharacterCheck(const QString &before, QChar key)
{
    const QString call = before + key;
    const ushort k = key.unicode();
    if (call.size() != 3 || k < 46 || k > 90)
        return;
    if (entryline::secondOrThirdIsNumeric(call)) {
        setStatus(QStringLiteral(" "));
    } else {
        QApplication::beep();
        setStatus(QStringLiteral("The second or third character is not numeric!"));
        m_live->say(QStringLiteral("The second or third character is not numeric!"));
    }
}

bool EntryLineWidget::handleCountryKey(QKeyEvent *key)
{
    QChar c = printableChar(key);
    const QString text = txtCntry->text();
    const int caret = txtCntry->cursorPosition();
    if (c == u' ') {
        // Moves on unless the space belongs inside a name ("New York"). Selected text counts
        // from its start, so a field selected whole on Tab is kept, not typed over.
        const bool completionPending = fieldkeys::insertionPoint(txtCntry) < text.size();
        if (text.size() < 3 || completionPending || (text.size() > 2 && text.endsWith(u' '))) {
            txtCntry->deselect();
            txtRSTS->setFocus(Qt::TabFocusReason);
            return true;
        }
        txtCntry->insert(QStringLiteral(" "));
        return true;
    }
    if (c.isNull())
        return false;
    if (text.size() < 2) {
        txtCntry->insert(QString(capital(c)));
        return true;
    }
    QString current = text;
    int at = txtCntry->hasSelectedText() ? txtCntry->selectionStart() : caret;
    // Selected whole (a proposal, or Tab into the field), the key replaces it.
    const bool wholeSelected = at == 0 && txtCntry->selectedText().size() == text.size();
    if (current.size() == 2 && !wholeSelected) {
        // An abbreviation that continues into a name reads as a name.
        current = current.left(1) + current.mid(1).toLower();
        txtCntry->setText(current);
        txtCntry->setCursorPosition(2);
        at = 2;
    }
    if (at == 0) {
        // Typing over a filled-in country replaces it.
        txtCntry->clear();
        current.clear();
        c = capital(c);
    }
    const QString typed = current.left(at) + c;
    if (const int row = m_s.prefixes->completeCountry(typed)) {
        const PrefixRow &hit = m_s.prefixes->row(row);
        fieldkeys::showCompletion(txtCntry, typed, hit.country);
        Label19->setText(hit.continent);
        const HeadingLabels h = hdcalc(m_s.prefs->ownLatitude, m_s.prefs->ownLongitude, hit.latitude, hit.longitude);
        Label22->setText(h.bearing);
        Label23->setText(h.miles);
        return true;
    }
    if (txtCntry->text().isEmpty()) {
        txtCntry->insert(QString(c));
        return true;
    }
    // No country begins so: the key replaces the proposed rest (or any selection), as typing
    // over selected text does.
    if (txtCntry->hasSelectedText())
        txtCntry->del();
    else
        txtCntry->setCursorPosition(at);
    txtCntry->insert(QString(c));
    return true;
}

void EntryLineWidget::callChanged(const QString &text)
{
    lookupCountry(text);
    emit callTextChanged(text);
}

void EntryLineWidget::lookupCountry(const QString &call)
{
    if (call.isEmpty())
        return;
    const CountryLookup hit = m_s.prefixes->lookup(call);
    if (hit.found) {
        if (hit.country != u"USA")
            txtCntry->setText(hit.country);
        Label19->setText(QStringLiteral(" ") + hit.continent);
        const HeadingLabels h = hdcalc(m_s.prefs->ownLatitude, m_s.prefs->ownLongitude, hit.latitude, hit.longitude);
        Label22->setText(h.bearing);
        Label23->setText(h.miles);
    } else {
        txtCntry->setText(QStringLiteral("Not Found"));
        clearLookupLabels();
    }
    // Select the whole text with the caret at its start, so a typed key replaces it.
    txtCntry->setCursorPosition(int(txtCntry->text().size()));
    txtCntry->cursorBackward(true, int(txtCntry->text().size()));
}

void EntryLineWidget::countryChanged(const QString &text)
{
    if (text != u"Not Found" && text.size() > 2 && text != u"USA") {
        const bool wasNew = Label3->isVisibleTo(this);
        Label3->setVisible(!m_s.log->dxEntities().contains(text, Qt::CaseInsensitive));
        if (Label3->isVisibleTo(this) && !wasNew)
            m_live->say(QStringLiteral("New country: ") + text);
    } else
        Label3->hide();
    if (text.size() < 3) {
        clearLookupLabels();
    }
}

void EntryLineWidget::fieldFocusIn(QLineEdit *field)
{
    // After the click that gave the focus has placed the caret.
    if (m_prefilled.contains(field))
        QTimer::singleShot(0, field, [field] { field->selectAll(); });
    if (field == txtCall) {
        emit callFieldEntered();
        if (m_s.prefs->voiceNavigationLevel >= 1)
            emit announcementRequested(QStringLiteral("Call"));
    } else if (field == txtRSTR) {
        if (m_s.prefs->voiceNavigationLevel >= 2)
            emit announcementRequested(QStringLiteral("Name"));
    } else if (field == txtCntry) {
        if (txtCntry->text() == u"USA")
            txtCntry->clear();
        if (m_s.prefs->voiceNavigationLevel >= 2)
            emit announcementRequested(QStringLiteral("StCntry"));
    } else if (field == txtRSTS) {
        if (txtRSTS->text().isEmpty())
            txtRSTS->setText(QStringLiteral("None"));
        QTimer::singleShot(0, txtRSTS, [f = txtRSTS] { f->selectAll(); });
        if (m_s.prefs->voiceNavigationLevel >= 2)
            emit announcementRequested(QStringLiteral("1010"));
    } else if (field == txtPostConDate) {
        if (txtPostConDate->text().isEmpty())
            txtPostConDate->setText(m_s.clock->localNow().date().toString(QStringLiteral("yyyy/MM/dd")));
        QTimer::singleShot(0, txtPostConDate, [f = txtPostConDate] { f->selectAll(); });
    } else if (field == txtPostConTime) {
        QTimer::singleShot(0, txtPostConTime, [f = txtPostConTime] { f->selectAll(); });
    }
}

void EntryLineWidget::fieldFocusOut(QLineEdit *field, Qt::FocusReason reason)
{
    // Switching to another application or opening a popup is not leaving the field.
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
        return;
    if (field == txtCall) {
        if (!txtCall->text().isEmpty() && !m_inMains) {
            m_callChecked = true;
            dupcheck();
            if (!m_dupeFound)
                emit callFieldLeft(txtCall->text());
        }
    } else if (field == txtCntry) {
        QString t = txtCntry->text();
        if (t.size() == 2)
            t = t.toUpper();
        t = t.trimmed();
        if (t != txtCntry->text())
            txtCntry->setText(t);
    }
}

