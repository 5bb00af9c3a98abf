#pragma once
#include <QFontMetricsF>
#include "core/qsorecord.h"

#include <QFont>
#include <QList>
#include <QPainter>
#include <QString>
#include <QStringList>
#include <memory>
#include <utility>

class QWidget;

#include <QPagedPaintDevice>

// Line printing on a paged device the way a line printer is driven: lines go down the page in
// the current font, text is placed at print columns counted in average character widths of the
// current font, and a page is only started when something is printed on it (a job that prints
// nothing sends nothing to the printer).
class ReportPrinter {
public:
    static constexpr int kHeadingSize = 13;
    static constexpr int kBodySize = 11;

    struct Cell {
        int column;  // 1-based print column
        QString text;
        bool keep = false;  // never shortened (numbers, points)
    };
    struct Placed {
        qreal x;
        QString text;
    };

    explicit ReportPrinter(QPagedPaintDevice &device);
    ~ReportPrinter();

    // Only pages `from` to `to` (1-based, both included) reach the device; 0, 0: every page.
    // Pages before the range are laid out all the same, so page breaks do not move.
    void setPageRange(int from, int to);
    void setFontSize(int points);
    void emptyLine();
    void printLine(const QList<Cell> &cells);
    void printLine(int column, const QString &text) { printLine({{column, text}}); }
    void ejectPage();
    // Ends the job; false when the device reported an error on the way.
    bool end();

    bool failed() const { return m_failed; }
    int pages() const { return m_pages; }
    qreal columnX(int column) const;
    // Places a row's cells at their columns (a value wider than its column pushes the next one
    // a blank further) and keeps the row inside `width`: the widest text that may be shortened
    // is elided until the row fits.
    static QList<Placed> fitRow(const QList<Cell> &cells, const QFontMetricsF &metrics, qreal columnWidth,
                                qreal width);
    static qreal columnWidth(const QFont &font, QPaintDevice &device);

private:
    bool ensurePage();
    qreal lineHeight() const;

    bool pageInRange() const;

    QPagedPaintDevice &m_device;
    QPainter m_painter;
    QFont m_font;
    qreal m_y = 0;
    int m_pages = 0;         // pages laid out so far
    int m_devicePage = 0;    // the page the device shows now; 0: none yet
    int m_from = 0, m_to = 0;
    bool m_ejectPending = false;
    bool m_failed = false;
    bool m_ended = false;
};

namespace reports {

// Body rows under a heading, 50 to a page: the heading (size 13, after three empty lines) with
// "Page n of m" at its right starts each page, then the column headings (or an empty line when
// there are none), then the rows at size 11.
bool printCountedPages(ReportPrinter &printer, const QString &heading,
                       const QList<QList<ReportPrinter::Cell>> &rows,
                       const QList<ReportPrinter::Cell> &columnHeadings = {});
constexpr int kRowsPerPage = 50;
constexpr int kDupeColumns = 6;  // calls across a dupe-sheet page, read down each column

QList<ReportPrinter::Cell> logRow(const QsoRecord &record);
bool printLog(ReportPrinter &printer, const QList<QsoRecord> &records, const QString &ownCall);
bool printDupeSheet(ReportPrinter &printer, const QList<QsoRecord> &records, const QString &ownCall);
// One page: the heading at size 13 after three empty lines, then the body lines at size 11.
bool printCoverSheet(ReportPrinter &printer, const QString &heading, const QStringList &body);

}  // namespace reports

// Where a print job goes: a printer chosen in the print dialog, or a PDF file.
class PrintTarget {
public:
    virtual ~PrintTarget() = default;
    // A fresh device for one job, or null with the reason when no printer can take it.
    virtual std::unique_ptr<QPagedPaintDevice> open(const QString &jobName, QString *error) = 0;
    // The pages the last opened job is to print (1-based); 0, 0: all.
    virtual std::pair<int, int> pageRange() const { return {0, 0}; }
};

// The print dialog before every job: printer (the default one chosen), copies, pages, or a PDF
// file. Cancelled, `open` gives no device and no reason.
class DialogPrinterTarget : public PrintTarget {
public:
    explicit DialogPrinterTarget(QWidget *parent) : m_parent(parent) {}
    std::unique_ptr<QPagedPaintDevice> open(const QString &jobName, QString *error) override;
    std::pair<int, int> pageRange() const override { return m_range; }

private:
    QWidget *m_parent;
    std::pair<int, int> m_range{0, 0};
};

class PdfPrintTarget : public PrintTarget {
public:
    explicit PdfPrintTarget(const QString &path) : m_path(path) {}
    std::unique_ptr<QPagedPaintDevice> open(const QString &jobName, QString *error) override;

private:
    QString m_path;
};
