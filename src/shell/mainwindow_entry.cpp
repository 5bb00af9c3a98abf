// The main window's side of the entry line: the command keys, the mouse over the state grid and
// the recent contacts, and what follows an Enter.
#include "shell/mainwindow.h"

#include "core/entryline.h"
#include "core/statetable.h"
#include "logging/entrylinewidget.h"

#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

void Form1::registerCommandKeys()
{
    // The recent contacts without the mouse: Ctrl+L goes into the list on the newest contact,
    // the arrows choose, Enter edits and Delete deletes the chosen one, Esc goes back to the call.
    m_keys.add(KeyDispatcher::kCommands - 10, [this](QObject *target, QKeyEvent *key) {
        if (key->key() == Qt::Key_L && key->modifiers() == Qt::ControlModifier) {
            if (ListView1->topLevelItemCount() == 0)
                return true;
            if (!ListView1->currentItem()) {
                QTreeWidgetItem *newest = ListView1->topLevelItem(0);
                for (int i = 1; i < ListView1->topLevelItemCount(); ++i)
                    if (ListView1->topLevelItem(i)->text(0).toInt() > newest->text(0).toInt())
                        newest = ListView1->topLevelItem(i);
                ListView1->setCurrentItem(newest);
            }
            ListView1->setFocus(Qt::ShortcutFocusReason);
            showEditButtons(true);
            return true;
        }
        if (target != ListView1 && target != ListView1->viewport())
            return false;
        if (key->key() == Qt::Key_Escape) {
            m_entry->focusCall();  // what is typed in the entry line stays
            return true;
        }
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if ((enter || key->key() == Qt::Key_Delete) && key->modifiers() == Qt::NoModifier) {
            if (ListView1->currentItem()) {
                if (enter)
                    cmdEdit_Click();
                else
                    cmdDelete_Click();
            }
            m_entry->focusCall();
            return true;
        }
        return false;
    });

    m_keys.add(KeyDispatcher::kCommands, [this](QObject *, QKeyEvent *key) {
        if (key->key() == Qt::Key_Escape) {
            cmdClear_Click();
            return true;
        }
        if (key->key() == Qt::Key_F && key->modifiers() == Qt::ControlModifier) {
            mnuPrivileges_Click();
            return true;
        }
        return false;
    });
}

bool Form1::logCurrentContact() { return m_entry->logCurrentContact(); }

bool Form1::dupeFound() const { return m_entry->dupeFound(); }

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (m_programEnded)
        return QMainWindow::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        // Key preview: every key typed in this window is offered to the registered handlers
        // before the focused control sees it.
        auto *w = qobject_cast<QWidget *>(watched);
        if (w && w->window() == this && m_keys.dispatch(watched, static_cast<QKeyEvent *>(event)))
            return true;
        break;
    }
    case QEvent::MouseMove:
    case QEvent::Enter:
        if (watched == m_central) {
            m_entry->showPartialLine(QString());
        } else if (auto *label = qobject_cast<QLabel *>(watched); label && Label10.contains(label)) {
            const int entry = int(Label10.indexOf(label)) + 1;
            m_entry->showPartialLine(QStringLiteral("  ") + statetable::name(entry) + QStringLiteral("    Total =")
                                     + entryline::signedNumber(m_log.countQth(statetable::abbr(entry))));
            return true;  // not on to the window background, which would empty the line again
        }
        break;
    case QEvent::MouseButtonPress:
        if (auto *label = qobject_cast<QLabel *>(watched); label && Label10.contains(label)) {
            m_entry->setQth(statetable::abbr(int(Label10.indexOf(label)) + 1));
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

void Form1::afterEnter(bool logged, bool dxListGrew)
{
    if (logged) {
        paintStateGrid();
        if (dxListGrew)
            showDxList();
        listNewestRecord();
        Labeldisplay();
    }
    TimeStats();
}

void Form1::showDxList()
{
    List1->clear();
    List1->addItems(m_log.dxEntities());
    lblDxHeading->setText(QStringLiteral("DX - %1").arg(List1->count()));
}

void Form1::cmdClear_Click() { m_entry->clearEntry(); }

void Form1::cmdDup_Click()
{
    m_entry->setPartialDupes(!m_entry->partialDupes());
    cmdDup->setText(m_entry->partialDupes() ? QStringLiteral("On") : QStringLiteral("Off"));
    m_entry->focusCall();
}
