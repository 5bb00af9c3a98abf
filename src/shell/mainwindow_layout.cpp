// Building the main window's controls and menus. Positions are in twips of the 9600 x 7200
// design screen (15 twips per pixel); the window is scaled to the real screen at load.
#include "shell/mainwindow.h"
#include "ui/liveregion.h"

#include "core/statetable.h"
#include "logging/entrylinewidget.h"
#include "ui/formscaler.h"

#include <QAction>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

namespace {
constexpr int twips(int t) { return formscale::px(t); }
}  // namespace

QLabel *Form1::makeLabel(const QString &name, const QString &text, int left, int top, int width,
                         int height)
{
    auto *label = new QLabel(text, m_central);
    label->setTextFormat(Qt::PlainText);
    label->setObjectName(name);
    label->setGeometry(twips(left), twips(top), twips(width), twips(height));
    return label;
}

void Form1::buildControls()
{
    m_central = new QWidget(this);
    m_central->setObjectName(QStringLiteral("Form1Client"));
    m_central->setMouseTracking(true);
    m_central->installEventFilter(this);
    setCentralWidget(m_central);
    QFont base(QStringLiteral("Arial"));
    base.setPixelSize(11);
    m_central->setFont(base);

    // Own station and clocks.
    makeLabel(QStringLiteral("lblOwnCallCaption"), tr("Call:"), 100, 60, 450, 240);
    Label2 = makeLabel(QStringLiteral("Label2"), QString(), 550, 60, 1300, 240);
    makeLabel(QStringLiteral("lblOwnStateCaption"), tr("ST"), 1900, 60, 300, 240);
    Label1 = makeLabel(QStringLiteral("Label1"), QString(), 2200, 60, 900, 240);
    makeLabel(QStringLiteral("lblOwnNumberCaption"), tr("10-10 #"), 3150, 60, 650, 240);
    Label4 = makeLabel(QStringLiteral("Label4"), QString(), 3800, 60, 900, 240);
    makeLabel(QStringLiteral("lblOwnNameCaption"), tr("Name"), 4750, 60, 500, 240);
    Label12 = makeLabel(QStringLiteral("Label12"), QString(), 5250, 60, 1100, 240);
    makeLabel(QStringLiteral("lblUtcCaption"), tr("UTC"), 6450, 60, 400, 240);
    lblutctime = makeLabel(QStringLiteral("lblutctime"), QString(), 6850, 60, 1000, 240);
    makeLabel(QStringLiteral("lblLocalCaption"), tr("Local"), 7900, 60, 500, 240);
    lblCurTime = makeLabel(QStringLiteral("lblCurTime"), QString(), 8400, 60, 750, 240);
    Label16 = makeLabel(QStringLiteral("Label16"), QString(), 9150, 60, 350, 240);
    // The clocks change every second: read when asked, never announced by themselves.
    liveregion::makeQuiet(lblutctime, QStringLiteral("UTC"));
    liveregion::makeQuiet(lblCurTime, QStringLiteral("Local time"));
    liveregion::makeQuiet(Label16, QString());

    // The entry line, with the status and partial-dupe lines under it.
    EntryLineWidget::Services entry;
    entry.log = &m_log;
    entry.prefs = &m_prefs;
    entry.prefixes = &m_prefixes;
    entry.clock = &m_clock;
    entry.dialogs = &m_dialogs;
    entry.logPath = logPath();
    m_entry = new EntryLineWidget(entry, m_keys, m_central);
    connect(m_entry, &EntryLineWidget::callTextChanged, this, &Form1::callTextChanged);
    connect(m_entry, &EntryLineWidget::announcementRequested, this, &Form1::announcementRequested);
    connect(m_entry, &EntryLineWidget::callFieldEntered, this, [this] { showEditButtons(false); });
    connect(m_entry, &EntryLineWidget::enterFinished, this, &Form1::afterEnter);

    // Recent contacts.
    makeLabel(QStringLiteral("lblRecent"), tr("Recent Contacts"), 100, 2400, 3000, 220);
    ListView1 = new QTreeWidget(m_central);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setGeometry(twips(100), twips(2620), twips(6150), twips(3500));
    ListView1->setRootIsDecorated(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Out of the Tab chain: Space after the 10-10 number moves on within the entry line (back
    // to the call, or to the post-contest date), so the Enter that follows still logs.
    ListView1->setFocusPolicy(Qt::ClickFocus);
    ListView1->setAccessibleName(QStringLiteral("Recent contacts"));
    ListView1->setHeaderLabels({QStringLiteral("Rec#"), QStringLiteral("Call"), QStringLiteral("Name"),
                                QStringLiteral("QTH"), QStringLiteral("1010#"),
                                QStringLiteral("Date / Time"), QStringLiteral("Mode"),
                                QStringLiteral("Pnts")});
    const int columnTwips[] = {550, 900, 1000, 900, 650, 950, 600, 500};
    for (int c = 0; c < 8; ++c)
        ListView1->setColumnWidth(c, twips(columnTwips[c]));
    ListView1->header()->setSectionsClickable(true);
    ListView1->installEventFilter(this);
    ListView1->viewport()->installEventFilter(this);

    auto button = [this](const QString &name, const QString &text, int left, int width) {
        auto *b = new QPushButton(text, m_central);
        b->setObjectName(name);
        b->setGeometry(twips(left), twips(6220), twips(width), twips(400));
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    // Edit and Delete Contact take the room their captions need; Last 20 and Clear are shorter.
    cmdList = button(QStringLiteral("cmdList"), QStringLiteral("Last 20"), 100, 800);
    cmdEdit = button(QStringLiteral("cmdEdit"), QStringLiteral("Edit Contact"), 950, 1200);
    cmdDelete = button(QStringLiteral("cmdDelete"), QStringLiteral("Delete Contact"), 2200, 1350);
    cmdClear = button(QStringLiteral("cmdClear"), QStringLiteral("&Clear"), 3600, 600);
    cmdClear->setToolTip(QStringLiteral("Click to clear entry fields or press ALT C"));
    makeLabel(QStringLiteral("lblPartialCaption"), tr("Partial dupes:"), 4250, 6300, 1150, 240);
    cmdDup = button(QStringLiteral("cmdDup"), QStringLiteral("On"), 5400, 800);
    cmdDup->setToolTip(QStringLiteral("Displaying partial dupes slows the program on older pc's."));
    cmdEdit->hide();
    cmdDelete->hide();

    // Score, rates, state grid and DX list.
    makeLabel(QStringLiteral("lblScoreHeading"), QStringLiteral("Score Statistics"), 6400, 2400, 3000, 220);
    makeLabel(QStringLiteral("lblTotConCaption"), QStringLiteral("Total Contacts ............"), 6400, 2620, 2200, 220);
    lblTotCon = makeLabel(QStringLiteral("lblTotCon"), QStringLiteral("0"), 8600, 2620, 900, 220);
    makeLabel(QStringLiteral("lblTotSecCaption"), QStringLiteral("Total QSO Points ........"), 6400, 2840, 2200, 220);
    lblTotSec = makeLabel(QStringLiteral("lblTotSec"), QStringLiteral("0"), 8600, 2840, 900, 220);
    makeLabel(QStringLiteral("lblAQSO60Caption"), QStringLiteral("QSOs last 60 min ........"), 6400, 3060, 2200, 220);
    lblAQSO60 = makeLabel(QStringLiteral("lblAQSO60"), QStringLiteral("0"), 8600, 3060, 900, 220);
    makeLabel(QStringLiteral("lblAQSO20Caption"), QStringLiteral("Rate/hr last 20 min ....."), 6400, 3280, 2200, 220);
    lblAQSO20 = makeLabel(QStringLiteral("lblAQSO20"), QStringLiteral("0"), 8600, 3280, 900, 220);

    static constexpr int firstOfArea[] = {1, 7, 9, 12, 20, 26, 28, 37, 40, 43, 51};
    QFont bold = base;
    bold.setBold(true);
    for (int area = 0; area < 10; ++area) {
        const int left = 6400 + area * 310;
        makeLabel(QStringLiteral("lblArea%1").arg(area), statetable::callArea(firstOfArea[area]),
                  left, 3520, 300, 200)
            ->setFont(bold);
        for (int entry = firstOfArea[area]; entry < firstOfArea[area + 1]; ++entry) {
            QLabel *state = makeLabel(QStringLiteral("Label10_%1").arg(entry), QString(), left,
                                      3720 + (entry - firstOfArea[area]) * 190, 300, 190);
            state->setMouseTracking(true);
            state->installEventFilter(this);
            Label10.append(state);
        }
    }
    lblDxHeading = makeLabel(QStringLiteral("lblStation_5"), QStringLiteral("DX - 0"), 6400, 5480, 3000, 220);
    List1 = new QListWidget(m_central);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(twips(6400), twips(5700), twips(3100), twips(920));
    List1->setFocusPolicy(Qt::NoFocus);

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(1000);
    connect(Timer2, &QTimer::timeout, this, &Form1::Timer2_Timer);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(60000);
    connect(Timer1, &QTimer::timeout, this, &Form1::TimeStats);

    connect(cmdList, &QPushButton::clicked, this, &Form1::cmdList_Click);
    connect(cmdClear, &QPushButton::clicked, this, &Form1::cmdClear_Click);
    connect(cmdDup, &QPushButton::clicked, this, &Form1::cmdDup_Click);
    connect(cmdEdit, &QPushButton::clicked, this, &Form1::cmdEdit_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &Form1::cmdDelete_Click);
    connect(ListView1, &QTreeWidget::itemClicked, this, [this] { showEditButtons(true); });
    connect(ListView1->header(), &QHeaderView::sectionClicked, this,
            [this](int column) {
                ListView1->sortItems(column, Qt::AscendingOrder);
                m_listSorted = true;
            });
}

QMenu *Form1::transmitMenu()
{
    if (!mnuTransmit) {
        mnuTransmit = mnuOptions->addMenu(QStringLiteral("&Transmit"));
        mnuTransmit->setObjectName(QStringLiteral("mnuTransmit"));
    }
    return mnuTransmit;
}

QMenu *Form1::spottingMenu()
{
    if (!mnuDXSpottingMenu) {
        mnuDXSpottingMenu = mnuOptions->addMenu(QStringLiteral("&DX Spotting"));
        mnuDXSpottingMenu->setObjectName(QStringLiteral("mnuDXSpottingMenu"));
    }
    return mnuDXSpottingMenu;
}

void Form1::setTransmitting(const QString &source, const QString &what, bool on)
{
    if (on)
        m_transmitting.insert(source, what);
    else
        m_transmitting.remove(source);
    const QString text = transmitText();
    const bool started = lblTX->isHidden() && !text.isEmpty();
    lblTX->setText(text);
    lblTX->setAccessibleName(text);
    lblTX->setVisible(!text.isEmpty());
    if (started)
        m_entry->announce(text);  // heard as the transmitter comes on, not at each change
}

QString Form1::transmitText() const
{
    if (m_transmitting.isEmpty())
        return QString();
    return QStringLiteral("TX ") + QStringList(m_transmitting.values()).join(QStringLiteral(", "));
}

void Form1::buildMenus()
{
    QMenuBar *bar = menuBar();
    // On the air: red at the menu bar's right end, where it shows whatever the window holds.
    lblTX = new QLabel(bar);
    lblTX->setTextFormat(Qt::PlainText);
    lblTX->setObjectName(QStringLiteral("lblTX"));
    lblTX->setTextFormat(Qt::PlainText);
    lblTX->setStyleSheet(QStringLiteral("background-color: rgb(255, 0, 0); color: white; font-weight: bold; padding: 0 8px;"));
    lblTX->hide();
    bar->setCornerWidget(lblTX, Qt::TopRightCorner);
    auto add = [this](QMenu *menu, const QString &name, const QString &text, auto slot) {
        QAction *a = menu->addAction(text);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    add(file, QStringLiteral("mnuNew"), QStringLiteral("&New"), &Form1::mnuNew_Click);
    add(file, QStringLiteral("mnuOpen"), QStringLiteral("&Open"), &Form1::mnuopen2);
    if (m_services.startInFolder)
        add(file, QStringLiteral("mnuOpenFolder"), QStringLiteral("Open Contest &Folder..."),
            &Form1::mnuOpenFolder_Click);
    add(file, QStringLiteral("mnuArchive"), QStringLiteral("Archive Current &Log"), &Form1::mnuArchive_Click);
    add(file, QStringLiteral("mnuRestore"), QStringLiteral("&Restore from Archive or Backup"),
        &Form1::mnuRestore_Click);
    add(file, QStringLiteral("mnuWriteSumm"), QStringLiteral("&Print or Write Files"), &Form1::mnuWriteSumm_Click);
    add(file, QStringLiteral("mnuTallisImport"), QStringLiteral("&Export for Tallis Import"),
        &Form1::mnuTallisImport_Click);
    add(file, QStringLiteral("mnuADIF"), QStringLiteral("Export &ADIF"), &Form1::mnuADIF_Click);
    add(file, QStringLiteral("mnuContestAdif"), QStringLiteral("Export Contest ADIF &3.1..."), &Form1::mnuContestAdif_Click);
    add(file, QStringLiteral("mnuCopyListtoClipboard"), QStringLiteral("&Copy Listed Items to Clipboard"),
        &Form1::mnuCopyListtoClipboard_Click);
    file->addSeparator();
    QAction *exit = file->addAction(QStringLiteral("E&xit"));
    exit->setObjectName(QStringLiteral("mnuExit"));
    // Exit ends at once: no close sequence, no backup.
    connect(exit, &QAction::triggered, this, [this] { endProgram(); });

    QMenu *options = bar->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("mnuOptions"));
    mnuOptions = options;
    QMenu *appearance = options->addMenu(QStringLiteral("&Appearance"));
    add(appearance, QStringLiteral("mnuFormSize"), QStringLiteral("&Form Size"), &Form1::mnuFormSize_Click);
    mnuTaskbar = add(appearance, QStringLiteral("mnuTaskbar"), QStringLiteral("&Taskbar"), &Form1::mnuTaskbar_Click);
    mnuTaskbar->setCheckable(true);
    add(appearance, QStringLiteral("mnuColors"), QStringLiteral("&Colors"), &Form1::mnuColors_Click);
    add(options, QStringLiteral("mnuPrivileges"), QStringLiteral("&Privileges"), &Form1::mnuPrivileges_Click);
    mnuPostContest = add(options, QStringLiteral("mnuPostContest"), QStringLiteral("P&ost Contest Mode"),
                         &Form1::mnuPostContest_Click);
    mnuPostContest->setCheckable(true);

    auto addTop = [this, bar](const QString &name, const QString &text, auto slot) {
        QAction *a = bar->addAction(text);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    addTop(QStringLiteral("mnuSetup"), QStringLiteral("&Setup"), &Form1::mnuSetup_Click);
    QMenu *mode = bar->addMenu(QStringLiteral("&Mode"));
    mode->setObjectName(QStringLiteral("mnuMode"));
    mnuCW = add(mode, QStringLiteral("mnuCW"), QStringLiteral("&CW"), &Form1::mnuCW_Click);
    mnuSSB = add(mode, QStringLiteral("mnuSSB"), QStringLiteral("&PH"), &Form1::mnuSSB_Click);
    mnuDigital = add(mode, QStringLiteral("mnuDigital"), QStringLiteral("&Digital"), &Form1::mnuDigital_Click);
    for (QAction *a : {mnuCW, mnuSSB, mnuDigital})
        a->setCheckable(true);
    addTop(QStringLiteral("mnuGraph"), QStringLiteral("&Graph"), &Form1::mnuGraph_Click);
    addTop(QStringLiteral("mnuHelp"), QStringLiteral("&Help"), &Form1::mnuHelp_Click);
}
