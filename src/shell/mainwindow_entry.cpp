// The entry line: key filters, the call-to-country lookup, dupes and the logging step.
#include "shell/mainwindow.h"

#include "core/entryline.h"
#include "core/entryrules.h"
#include "ui/fieldkeys.h"
#include "core/statetable.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "stats/heading.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

namespace {
const QString kTeal = QStringLiteral("background-color: rgb(0, 192, 192);");
const QString kRed = QStringLiteral("background-color: rgb(255, 0, 0);");
constexpr qint64 kDupeHoldMs = 3000;

bool isEnter(const QKeyEvent *k) { return k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter; }

// The character a key types, or a null QChar for keys that type nothing (arrows, Backspace...).
QChar typedChar(const QKeyEvent *k)
{
    if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return QChar();
    const QString t = k->text();
    if (t.size() != 1 || t[0].unicode() < 32 || t[0].unicode() == 127)
        return QChar();
    return t[0];
}

QChar capital(QChar c) { return fieldkeys::filter(fieldkeys::Rule::Capital, c); }

// The keys of the call field that wait out a dupe alarm: those that would edit the call.
bool isHoldableKey(const QKeyEvent *k)
{
    const QChar c = typedChar(k);
    if (k->key() == Qt::Key_Backspace)
        return true;
    return !c.isNull() && c != u' ' && c != u'"';
}
}  // namespace

// Both lines change on every key in the call field; a style sheet is only set when the colour
// really changes, since applying one re-polishes the label.
static void setColour(QLabel *label, const QString &styleSheet)
{
    if (label->styleSheet() != styleSheet)
        label->setStyleSheet(styleSheet);
}

void Form1::setStatus(const QString &text, bool dupe)
{
    setColour(lblDialog, dupe ? kRed : kTeal);
    lblDialog->setText(text);
}

void Form1::setPartialLine(const QString &text)
{
    setColour(lblDupe, text.isEmpty() ? QString() : kTeal);
    lblDupe->setText(text);
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (m_programEnded)
        return QMainWindow::eventFilter(watched, event);
    auto *field = qobject_cast<QLineEdit *>(watched);
    const bool entryField = field && field->parent() == m_central;
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        QWidget *w = qobject_cast<QWidget *>(watched);
        if (!w || w->window() != this)
            break;
        // Keys typed while a dupe alarm holds the call field wait their turn, in order.
        if (!m_replaying) {
            if (!m_heldKeys.isEmpty()) {
                holdKey(watched, key);
                return true;
            }
            if (m_dupeFound && field == txtCall && isHoldableKey(key)) {
                if (m_dupeTime.isValid() && m_dupeTime.elapsed() < kDupeHoldMs) {
                    holdKey(watched, key);
                    return true;
                }
                m_dupeFound = false;
            }
        }
        if (m_keys.dispatch(watched, key))
            return true;
        if (key->key() == Qt::Key_Escape) {
            cmdClear_Click();
            return true;
        }
        if (key->key() == Qt::Key_F && key->modifiers() == Qt::ControlModifier) {
            mnuPrivileges_Click();
            return true;
        }
        if (entryField)
            return handleEntryKey(field, key);
        break;
    }
    case QEvent::FocusIn:
        if (entryField)
            fieldFocusIn(field);
        break;
    case QEvent::FocusOut:
        if (entryField)
            fieldFocusOut(field, static_cast<QFocusEvent *>(event)->reason());
        break;
    case QEvent::MouseMove:
    case QEvent::Enter:
        if (watched == m_central) {
            setPartialLine(QString());
        } else if (auto *label = qobject_cast<QLabel *>(watched); label && Label10.contains(label)) {
            const int entry = int(Label10.indexOf(label)) + 1;
            setPartialLine(QStringLiteral("  ") + statetable::name(entry) + QStringLiteral("    Total =")
                           + entryline::signedNumber(m_log.countQth(statetable::abbr(entry))));
            return true;  // not on to the window background, which would empty the line again
        }
        break;
    case QEvent::MouseButtonPress:
        if (auto *label = qobject_cast<QLabel *>(watched); label && Label10.contains(label)) {
            txtCntry->setText(statetable::abbr(int(Label10.indexOf(label)) + 1));
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (watched == ListView1->viewport()) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (m_log.count() > 0)
                showEditButtons(true);
            if (mouse->button() == Qt::RightButton && ListView1->topLevelItemCount() > 0
                && ListView1->currentItem()) {
                cmdEdit_Click();
                return true;
            }
        }
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void Form1::holdKey(QObject *target, QKeyEvent *key)
{
    m_heldKeys.append({QPointer<QObject>(target), key->key(), key->modifiers(), key->text()});
    if (!m_holdTimer->isActive()) {
        const qint64 left = m_dupeTime.isValid() ? kDupeHoldMs - m_dupeTime.elapsed() : 0;
        m_holdTimer->start(int(std::max<qint64>(0, left)));
    }
}

void Form1::releaseHeldKeys()
{
    m_dupeFound = false;
    QList<HeldKey> keys = std::exchange(m_heldKeys, {});
    m_replaying = true;
    while (!keys.isEmpty()) {
        const HeldKey k = keys.takeFirst();
        // A held key goes where the focus is now, as it would have had it been typed now.
        QObject *target = QApplication::focusWidget() ? QApplication::focusWidget() : k.target.data();
        if (!target)
            continue;
        QKeyEvent press(QEvent::KeyPress, k.key, k.modifiers, k.text);
        QCoreApplication::sendEvent(target, &press);
        if (m_dupeFound && !keys.isEmpty()) {
            // A replayed Enter raised a new dupe alarm: the rest waits for that one.
            m_heldKeys = keys;
            m_holdTimer->start(int(kDupeHoldMs));
            break;
        }
    }
    m_replaying = false;
}

bool Form1::handleEntryKey(QLineEdit *field, QKeyEvent *key)
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
        && (isEnter(key) || key->key() == Qt::Key_Backspace || !typedChar(key).isNull())) {
        txtCntry->clear();
        Label19->clear();
        Label22->clear();
        Label23->clear();
    }
    if (isEnter(key)) {
        Mains();
        return true;
    }
    const QChar c = typedChar(key);
    if (c == u'"')
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
    insertTyped(field, QString(capital(c)));
    return true;
}

void Form1::insertTyped(QLineEdit *field, const QString &text) { field->insert(text); }

bool Form1::handleCallKey(QKeyEvent *key)
{
    const QString before = txtCall->text();
    const QChar c = typedChar(key);
    if (c == u' ') {
        scanPartialDupes(before, QChar());
        m_callChecked = false;
        txtRSTR->setFocus(Qt::TabFocusReason);
        // Leaving the field runs the full dupe check; a window without the keyboard focus gets
        // no focus events, so make sure the check ran all the same.
        if (!m_callChecked && !txtCall->text().isEmpty()) {
            dupcheck();
            if (!m_dupeFound)
                emit callFieldLeft(txtCall->text());
        }
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
    insertTyped(txtCall, QString(k));
    return true;
}

void Form1::scanPartialDupes(const QString &before, QChar key)
{
    setStatus(QString());
    setPartialLine(QString());
    const ushort k = key.unicode();
    QString list;
    if (m_partialDupes && k > 45 && k < 91)
        list = entryline::partialDupeList(m_log, before + key);
    setPartialLine(list);
    setStatus(before.size() > 2 && !list.isEmpty() ? QStringLiteral("Possible Duplicate!")
                                                     : QStringLiteral(" "));
}

void Form1::thirdCharacterCheck(const QString &before, QChar key)
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
    }
}

bool Form1::handleCountryKey(QKeyEvent *key)
{
    QChar c = typedChar(key);
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
        insertTyped(txtCntry, QStringLiteral(" "));
        return true;
    }
    if (c.isNull())
        return false;
    if (text.size() < 2) {
        insertTyped(txtCntry, QString(capital(c)));
        return true;
    }
    QString current = text;
    int at = txtCntry->hasSelectedText() ? txtCntry->selectionStart() : caret;
    if (current.size() == 2) {
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
    if (const int row = m_prefixes.completeCountry(typed)) {
        const PrefixRow &hit = m_prefixes.row(row);
        fieldkeys::showCompletion(txtCntry, typed, hit.country);
        Label19->setText(hit.continent);
        const HeadingLabels h = hdcalc(m_prefs.ownLatitude, m_prefs.ownLongitude, hit.latitude, hit.longitude);
        Label22->setText(h.bearing);
        Label23->setText(h.miles);
        return true;
    }
    if (txtCntry->text().isEmpty()) {
        insertTyped(txtCntry, QString(c));
        return true;
    }
    // No country begins so: the key replaces the proposed rest (or any selection), as typing
    // over selected text does.
    if (txtCntry->hasSelectedText())
        txtCntry->del();
    else
        txtCntry->setCursorPosition(at);
    insertTyped(txtCntry, QString(c));
    return true;
}

void Form1::txtCall_Change(const QString &text)
{
    lookupCountry(text);
    emit callTextChanged(text);
}

void Form1::lookupCountry(const QString &call)
{
    if (call.isEmpty())
        return;
    const CountryLookup hit = m_prefixes.lookup(call);
    if (hit.found) {
        if (hit.country != u"USA")
            txtCntry->setText(hit.country);
        Label19->setText(QStringLiteral(" ") + hit.continent);
        const HeadingLabels h = hdcalc(m_prefs.ownLatitude, m_prefs.ownLongitude, hit.latitude, hit.longitude);
        Label22->setText(h.bearing);
        Label23->setText(h.miles);
    } else {
        txtCntry->setText(QStringLiteral("Not Found"));
        Label22->clear();
        Label23->clear();
        Label19->clear();
    }
    // Select the whole text with the caret at its start, so a typed key replaces it.
    txtCntry->setCursorPosition(int(txtCntry->text().size()));
    txtCntry->cursorBackward(true, int(txtCntry->text().size()));
}

void Form1::txtCntry_Change(const QString &text)
{
    if (text != u"Not Found" && text.size() > 2 && text != u"USA")
        Label3->setVisible(!m_log.dxEntities().contains(text, Qt::CaseInsensitive));
    else
        Label3->hide();
    if (text.size() < 3) {
        Label22->clear();
        Label23->clear();
        Label19->clear();
    }
}

void Form1::fieldFocusIn(QLineEdit *field)
{
    if (field == txtCall) {
        showEditButtons(false);
        if (m_prefs.voiceNavigationLevel >= 1)
            emit announcementRequested(QStringLiteral("Call"));
    } else if (field == txtRSTR) {
        if (m_prefs.voiceNavigationLevel >= 2)
            emit announcementRequested(QStringLiteral("Name"));
    } else if (field == txtCntry) {
        if (txtCntry->text() == u"USA")
            txtCntry->clear();
        if (m_prefs.voiceNavigationLevel >= 2)
            emit announcementRequested(QStringLiteral("StCntry"));
    } else if (field == txtRSTS) {
        if (txtRSTS->text().isEmpty())
            txtRSTS->setText(QStringLiteral("None"));
        QTimer::singleShot(0, txtRSTS, [f = txtRSTS] { f->selectAll(); });
        if (m_prefs.voiceNavigationLevel >= 2)
            emit announcementRequested(QStringLiteral("1010"));
    } else if (field == txtPostConDate) {
        if (txtPostConDate->text().isEmpty())
            txtPostConDate->setText(m_clock.localNow().date().toString(QStringLiteral("yyyy/MM/dd")));
        QTimer::singleShot(0, txtPostConDate, [f = txtPostConDate] { f->selectAll(); });
    } else if (field == txtPostConTime) {
        QTimer::singleShot(0, txtPostConTime, [f = txtPostConTime] { f->selectAll(); });
    }
}

void Form1::fieldFocusOut(QLineEdit *field, Qt::FocusReason reason)
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

void Form1::dupcheck()
{
    m_dupeFound = false;
    const int n = entryrules::findDupe(m_log, txtCall->text());
    if (n == 0)
        return;
    setStatus(entryline::dupeLine(m_log.record(n), n), true);
    setPartialLine(QString());
    QApplication::beep();
    emit announcementRequested(QStringLiteral("Dupe"));
    m_dupeFound = true;
    m_dupeTime.start();
    txtCall->setFocus();
    for (QLineEdit *f : {txtRSTS, txtCntry, txtCall, txtRSTR})
        f->clear();
    Label19->clear();
    Label22->clear();
    Label23->clear();
}

bool Form1::frmcmp()
{
    m_missingField = false;
    auto fail = [this](const QString &message, QLineEdit *field) {
        QApplication::beep();
        setStatus(message);
        m_missingField = true;
        field->setFocus();
    };
    if (txtRSTR->text().isEmpty())
        fail(QStringLiteral("Need Name!"), txtRSTR);
    if (txtCall->text().size() < 3)
        fail(QStringLiteral("Need Call Sign!"), txtCall);
    if (txtCntry->text().isEmpty())
        fail(QStringLiteral("Need Country!"), txtCntry);
    const QString number = entryrules::memberNumberOrNone(txtRSTS->text());
    if (number != txtRSTS->text())
        txtRSTS->setText(number);
    return !m_missingField;
}

bool Form1::checkStateEntry()
{
    m_invalidState = false;
    if (txtCntry->text().size() == 2 && !entryrules::isStateAbbreviation(txtCntry->text())) {
        m_invalidState = true;
        QApplication::beep();
        setStatus(QStringLiteral("Invalid State!"));
        txtCntry->setFocus();
    }
    return !m_invalidState;
}

void Form1::Mains()
{
    m_inMains = true;
    frmcmp();
    checkStateEntry();
    dupcheck();
    m_inMains = false;

    // Shown or not, whatever the state of the window itself (minimised, covered).
    const bool postContest = !txtPostConTime->isHidden();
    if (postContest) {
        QDate date;
        if (!entryrules::isValidDate(txtPostConDate->text(), &date)) {
            setStatus(QStringLiteral("Invalid date format!"));
            QApplication::beep();
            return;
        }
        txtPostConDate->setText(date.toString(QStringLiteral("yyyy/MM/dd")));
        QTime time;
        txtPostConTime->setText(entryrules::expandTimeDigits(txtPostConTime->text()));
        if (!entryrules::isValidTime(txtPostConTime->text(), &time)) {
            setStatus(QStringLiteral("Invalid time format!"));
            QApplication::beep();
            return;
        }
        txtPostConTime->setText(time.toString(QStringLiteral("HH:mm")));
    }

    if (!m_missingField && !m_dupeFound && !m_invalidState) {
        const QDateTime utc = entryline::utcFromLocal(m_clock.localNow(), m_prefs.utcOffset);
        QsoRecord r;
        r.memberNumber = txtRSTS->text();
        r.qth = txtCntry->text().trimmed();
        r.call = txtCall->text();
        r.name = txtRSTR->text();
        r.date = postContest ? txtPostConDate->text() : utc.toString(QStringLiteral("yyyy/MM/dd"));
        r.time = postContest ? txtPostConTime->text() : utc.toString(QStringLiteral("HH:mm:ss"));
        r.mode = m_prefs.currentMode;
        r.points = entryrules::pointsFor(r.memberNumber);
        QString error;
        const int dxBefore = int(m_log.dxEntities().size());
        switch (m_log.appendQso(logPath(), r, &error, !Label3->isHidden())) {
        case LogStore::AppendResult::Ok:
            break;
        case LogStore::AppendResult::Full:
            QApplication::beep();
            setStatus(QStringLiteral("Log full: %1 contacts is the most one log holds. Not logged.")
                          .arg(LogStore::kCapacity));
            return;
        case LogStore::AppendResult::WriteFailed:
            QApplication::beep();
            setStatus(QStringLiteral("NOT LOGGED: log.txt could not be written."));
            m_dialogs.message(this,
                              QStringLiteral("The contact was not logged because log.txt could not be "
                                             "written:\r\n%1\r\n\r\nFree some disk space or fix the "
                                             "folder's permissions, then press Enter again.")
                                  .arg(error),
                              QStringLiteral("Log Not Saved"), Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
            return;
        }
        setStatus(QString());
        paintStateGrid();
        if (m_log.dxEntities().size() != dxBefore) {
            List1->clear();
            List1->addItems(m_log.dxEntities());
            lblDxHeading->setText(QStringLiteral("DX - %1").arg(List1->count()));
        }
        refreshLogList();
        Labeldisplay();
    }
    if (!m_invalidState && !m_missingField) {
        for (QLineEdit *f : {txtRSTS, txtCntry, txtCall, txtRSTR})
            f->clear();
        Label19->clear();
        Label22->clear();
        Label23->clear();
        txtCall->setFocus();
    }
    setPartialLine(QString());
    TimeStats();
}

void Form1::cmdClear_Click()
{
    for (QLineEdit *f : {txtCall, txtRSTR, txtCntry, txtRSTS})
        f->clear();
    setPartialLine(QString());
    setStatus(QString());
    Label19->clear();
    Label22->clear();
    Label23->clear();
    txtCall->setFocus();
}

void Form1::cmdDup_Click()
{
    // Only the colour goes back to normal; the calls listed stay readable.
    lblDupe->setStyleSheet(QString());
    m_partialDupes = !m_partialDupes;
    cmdDup->setText(m_partialDupes ? QStringLiteral("On") : QStringLiteral("Off"));
    txtCall->setFocus();
}
