#include "shell/cwwiring.h"
#include "cw/cwcontrol.h"
#include "cw/cwfrm.h"
#include "cw/frmcwstrings.h"
#include "cw/keyerthread.h"
#include "logging/entrylinewidget.h"
#include "shell/mainwindow.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMenu>

namespace {

// The CW pieces for the life of the window, on the program's one keyer thread.
class CwStation : public QObject {
public:
    CwStation(Form1 &form, const Form1Services &services)
        : QObject(&form), keyer(*services.keyer), control(keyer, &keyer)
    {
        control.settings().load(services.folders.workingDir);
        control.settings().loadStore(*services.settings);
        control.portMap().load(*services.settings);
        control.applySettings();
        setup = new CWFrm(control, *services.dialogs, *services.settings,
                          services.folders.workingDir, &form);
        strings = new frmCWStrings(control, &form);
        strings->installEventFilter(this);
        QObject::connect(&keyer, &KeyerThread::lineFailed, setup, &CWFrm::portFailed);
        QObject::connect(&keyer, &KeyerThread::lineLost, &form, [&form](const QString &why) {
            QApplication::beep();
            form.entryLine().setStatus(
                QStringLiteral("CW key line lost (%1). The next message opens it again.").arg(why),
                true);
        });
        QObject::connect(setup, &CWFrm::doneClicked, &form, [this, &form] {
            if (control.settings().keyingInterface != KeyingInterface::None)
                strings->showMinimized();
            form.activateWindow();
        });
    }

    // Keys pressed in the strings window work as on the main window.
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == strings && event->type() == QEvent::KeyPress)
            return control.handleKey(static_cast<QKeyEvent *>(event));
        return QObject::eventFilter(watched, event);
    }

    void showModeless(QWidget *w)
    {
        if (w == setup)
            setup->showSettings();
        w->showNormal();
        w->raise();
        w->activateWindow();
    }

    KeyerThread &keyer;
    CwControl control;
    CWFrm *setup = nullptr;
    frmCWStrings *strings = nullptr;
};

// Alt pressed and released alone would put the menu bar in charge of the next keys; the logger
// keeps them (Alt with a letter still opens its menu). The menu bar watches Alt before the key
// preview does, so this filter stands in front of both.
class BareAltFilter : public QObject {
public:
    explicit BareAltFilter(QWidget &window) : QObject(&window), m_window(window) {}
    ~BareAltFilter() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type t = event->type();
        if (t != QEvent::KeyPress && t != QEvent::KeyRelease && t != QEvent::ShortcutOverride)
            return false;
        auto *w = qobject_cast<QWidget *>(watched);
        return w && w->window() == &m_window && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Alt;
    }

private:
    QWidget &m_window;
};

}  // namespace

CwParts wireCw(Form1 &form, const Form1Services &services)
{
    Q_ASSERT(services.keyer);
    auto *station = new CwStation(form, services);
    CwControl &control = station->control;

    EntryLineWidget *entry = &form.entryLine();
    CwHost host;
    host.mode = [&form] { return form.preferences().currentMode; };
    host.call = [entry] { return entry->call(); };
    host.setStatus = [entry](const QString &text) { entry->setStatusText(text); };
    host.setStatusColour = [entry](const QColor &c) { entry->setStatusColour(c); };
    host.logContact = [&form] { return form.logCurrentContact(); };
    host.showSetup = [station] { station->showModeless(station->setup); };
    host.showStrings = [station] { station->showModeless(station->strings); };
    control.setHost(host);

    // Before the window's own Esc (also a command key): Esc stops a message being sent.
    form.keys().add(KeyDispatcher::kCommands - 1, [&control](QObject *, QKeyEvent *key) {
        return control.handleKey(key);
    });
    qApp->installEventFilter(new BareAltFilter(form));
    form.addCloseGuard([&control] { return control.mayClose(); });
    // Whatever the logging step said, keyboard CW is still on: every key typed is sent.
    QObject::connect(entry, &EntryLineWidget::enterFinished, &control, &CwControl::showKeyboardBanner);
    QObject::connect(&control, &CwControl::sendingChanged, &form, [&form](bool on) {
        form.setTransmitting(QStringLiteral("cw"), QStringLiteral("CW"), on);
    });

    // Options > Transmit. The Ctrl keys are the key preview's; the menu shows them but binds
    // them only inside itself, so Ctrl+C is never taken from a text field by a menu shortcut.
    auto showKey = [](QAction *a, const QKeySequence &key) {
        a->setShortcut(key);
        a->setShortcutContext(Qt::WidgetShortcut);
    };
    {
        QMenu *transmit = form.transmitMenu();
        QAction *setup = transmit->addAction(QStringLiteral("&CW Setup"));
        setup->setObjectName(QStringLiteral("mnuCWsetup"));
        showKey(setup, QKeySequence(Qt::CTRL | Qt::Key_C));
        QObject::connect(setup, &QAction::triggered, station, [station] {
            station->setup->showSettings();
            station->setup->exec();
        });
        QAction *strings = transmit->addAction(QStringLiteral("CW &Strings"));
        strings->setObjectName(QStringLiteral("mnuCWStrings"));
        showKey(strings, QKeySequence(Qt::CTRL | Qt::Key_W));
        QObject::connect(strings, &QAction::triggered, station,
                         [station] { station->showModeless(station->strings); });
        QAction *practice = transmit->addAction(QStringLiteral("Send C&ode Practice"));
        practice->setObjectName(QStringLiteral("mnuCodePractice"));
        QObject::connect(practice, &QAction::triggered, station,
                         [station] { station->setup->cmdCodePractice_Click(); });
    }
    return {&control, station->setup};
}
