#include "shell/spotwiring.h"

#include "shell/mainwindow.h"
#include "bandmap/bandmaps.h"
#include "shell/bandmapwiring.h"
#include "spotting/dxlistview.h"
#include "spotting/packetspotfrm.h"
#include "spotting/spotstore.h"
#include "platform/settingsstore.h"
#include "rig/riglink.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTreeWidget>

namespace {
// Serial port N is /dev/ttyS(N-1) unless the settings store's "SerialPortMap" ("N=/dev/path;...")
// names another device for it.
QString serialDeviceFor(const SettingsStore *settings, int port)
{
    if (settings) {
        const QStringList entries =
            settings->value(QStringLiteral("SerialPortMap"), QString()).split(u';');
        for (const QString &entry : entries) {
            const qsizetype eq = entry.indexOf(u'=');
            if (eq > 0 && entry.left(eq).trimmed().toInt() == port)
                return entry.mid(eq + 1).trimmed();
        }
    }
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
}

// The list sits under the recent contacts when the spotting window chose "List" and a source.
void PacketResize(Form1 &form, DxListView *list, PacketSpotfrm *window)
{
    auto *contacts = form.findChild<QTreeWidget *>(QStringLiteral("ListView1"));
    if (!contacts)
        return;
    static const char *kFullHeight = "vardelFullHeight";
    if (!contacts->property(kFullHeight).isValid())
        contacts->setProperty(kFullHeight, contacts->height());
    const int full = contacts->property(kFullHeight).toInt();
    const bool show = window && window->showListOnMainWindow() && window->transport() != "None"
                      && !window->transport().isEmpty();
    const int listHeight = show ? full / 3 : 0;
    contacts->resize(contacts->width(), full - listHeight);
    list->setGeometry(contacts->x(), contacts->y() + full - listHeight, contacts->width(),
                      listHeight);
    list->scaleColumns(form.width());
    list->setVisible(show);
}
}  // namespace

SpotStore *wireSpotting(Form1 &form, const Form1Services &services)
{
    Form1 *f = &form;
    auto *store = new SpotStore(*services.clock, form.prefixTable(),
                                [f] { return f->preferences().ownCall; }, &form);
    store->setObjectName(QStringLiteral("spotStore"));

    auto *list = new DxListView(*store, form.centralWidget());
    list->hide();
    // A double click on the list opens the band map window (the wiring exists once the
    // constructor has made it, before any operator can click).
    QObject::connect(list, &QTreeWidget::itemDoubleClicked, &form,
                     [f] { f->bandMaps().maps().showSpectrumMap(f); });
    QObject::connect(list, &DxListView::callClicked, &form, [f](const QString &call) {
        if (auto *txtCall = f->findChild<QLineEdit *>(QStringLiteral("txtCall"))) {
            txtCall->setText(call);
            txtCall->setFocus();
        }
    });

    QObject::connect(store, &SpotStore::ownCallSpotted, &form, [f](const QString &record) {
        QApplication::beep();
        if (auto *lblDialog = f->findChild<QLabel *>(QStringLiteral("lblDialog"))) {
            lblDialog->setText(QStringLiteral("You've been spotted! "));
            lblDialog->setStyleSheet(QStringLiteral("background-color: white"));
        }
        if (auto *lblDupe = f->findChild<QLabel *>(QStringLiteral("lblDupe"))) {
            lblDupe->setText(QStringLiteral("You've been spotted!  ") + record);
            lblDupe->setStyleSheet(QStringLiteral("background-color: white"));
        }
    });

    auto window = std::make_shared<QPointer<PacketSpotfrm>>();
    const SettingsStore *settings = services.settings;
    const QString workingDir = services.folders.workingDir;
    Dialogs *dialogs = services.dialogs;
    RigLink *rig = services.rig;
    auto showSpotting = [f, store, list, window, settings, workingDir, dialogs, rig] {
        if (!*window) {
            SpotWindowServices s;
            s.dialogs = dialogs;
            s.store = store;
            s.workingDir = workingDir;
            s.appTitle = Form1::caption().left(50).trimmed();
            s.ownCall = [f] { return f->preferences().ownCall; };
            s.lastLoggedCall = [f] {
                const LogStore &log = f->logStore();
                return log.count() > 0 ? log.record(log.count()).call : QString();
            };
            s.rigFrequencyHz = [rig] { return rig && rig->isConnected() ? rig->frequencyHz() : 0; };
            s.serialDevice = [settings](int port) { return serialDeviceFor(settings, port); };
            s.savepref = [f] { f->savepref(); };
            auto *w = new PacketSpotfrm(s, f);
            QObject::connect(w, &PacketSpotfrm::PacketResize, f, [f, list, w] {
                PacketResize(*f, list, w);
                // The strip takes the foot of the window only while "Band Map" is chosen.
                const bool none = w->transport() == "None" || w->transport().isEmpty();
                f->bandMaps().PacketResize(none || w->showListOnMainWindow(),
                                           SpotPanel::Display::BandMap);
            });
            QObject::connect(w, &PacketSpotfrm::bandMapRefreshDue, f,
                             [f] { f->bandMaps().maps().DisplayBandMapLabels(); });
            *window = w;
        }
        (*window)->showWindow();
    };

    QMenu *options = form.findChild<QMenu *>(QStringLiteral("mnuOptions"));
    if (options) {
        QMenu *spotting = options->addMenu(QStringLiteral("DX &Spotting"));
        spotting->setObjectName(QStringLiteral("mnuDXSpottingMenu"));
        QAction *configure = spotting->addAction(QStringLiteral("&Configure"));
        configure->setObjectName(QStringLiteral("mnuDXSpotting"));
        QObject::connect(configure, &QAction::triggered, &form, [f, showSpotting] {
            f->savepref();
            showSpotting();
        });
    }
    form.keys().add(KeyDispatcher::kCommands, [showSpotting](QObject *, QKeyEvent *key) {
        if (key->key() == Qt::Key_D && key->modifiers() == Qt::ControlModifier) {
            showSpotting();
            return true;
        }
        return false;
    });
    return store;
}
