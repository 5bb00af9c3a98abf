#pragma once
#include <QTreeWidget>

class SpotStore;
struct DxListRow;

// The main window's DX list `txtDX`: the store's spots, newest on top, at most 200 rows.
// A click on a row whose frequency is a number offers its call to the entry line.
//
// Thread contract: GUI thread only.
class DxListView : public QTreeWidget {
    Q_OBJECT

public:
    explicit DxListView(SpotStore &store, QWidget *parent = nullptr);
    // Column widths follow the window: the given widths hold at a window 9600 twips wide.
    void scaleColumns(int windowWidthPx);

signals:
    void callClicked(const QString &call);

private:
    void addRow(const DxListRow &row);
};
