#include "spotting/dxlistview.h"

#include "core/entryrules.h"
#include "spotting/spotstore.h"

#include <QHeaderView>

namespace {
const int kDesignWidths[] = {1040, 880, 2000, 0, 3400, 520, 600, 520};  // twips
constexpr int kFrequencyColumn = 1;
}  // namespace

DxListView::DxListView(SpotStore &store, QWidget *parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("txtDX"));
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(QStringLiteral("DX spots"));
    setHeaderLabels({QStringLiteral("Call"), QStringLiteral("Frequency"), QStringLiteral("QTH"),
                     QStringLiteral("Status"), QStringLiteral("Comments"),
                     QStringLiteral("Prefix"), QStringLiteral("Time"), QStringLiteral("From")});
    setColumnHidden(3, true);
    scaleColumns(640);
    for (const DxListRow &row : store.dxList())
        addTopLevelItem(new QTreeWidgetItem(
            {row.call, row.frequency, row.qth, row.status, row.comments, row.prefix, row.time,
             row.from}));
    connect(&store, &SpotStore::dxRowAdded, this, &DxListView::addRow);
    // Only a row with a frequency holds a call to pick.
    connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) {
        if (item && entryrules::isNumeric(item->text(kFrequencyColumn)))
            emit callClicked(item->text(0));
    });
}

void DxListView::scaleColumns(int windowWidthPx)
{
    // 9600 twips is 640 pixels at the 640 x 480 basis every window is laid out on.
    for (int c = 0; c < 8; ++c) {
        if (kDesignWidths[c] > 0)
            setColumnWidth(c, kDesignWidths[c] * windowWidthPx / 9600);
    }
}

void DxListView::addRow(const DxListRow &row)
{
    if (topLevelItemCount() >= SpotStore::kMaxListRows)
        delete takeTopLevelItem(SpotStore::kMaxListRows - 1);
    insertTopLevelItem(0, new QTreeWidgetItem({row.call, row.frequency, row.qth, row.status,
                                               row.comments, row.prefix, row.time, row.from}));
}
