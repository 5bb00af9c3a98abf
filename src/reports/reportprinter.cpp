#include "reports/reportprinter.h"

#include "reports/reportdata.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace {
// Margins small enough that three heading lines and 50 body rows fit a US Letter page.
const QMarginsF kMarginsMm(12.7, 10, 12.7, 10);
}  // namespace

ReportPrinter::ReportPrinter(QPagedPaintDevice &device) : m_device(device)
{
    m_font = QFont(QStringLiteral("Arial"));
    m_font.setPointSize(kBodySize);
}

ReportPrinter::~ReportPrinter()
{
    end();
}

void ReportPrinter::setPageRange(int from, int to)
{
    m_from = from;
    m_to = to;
}

bool ReportPrinter::pageInRange() const
{
    return (m_from <= 0 || m_pages >= m_from) && (m_to <= 0 || m_pages <= m_to);
}

void ReportPrinter::setFontSize(int points)
{
    m_font.setPointSize(points);
    if (m_painter.isActive())
        m_painter.setFont(m_font);
}

qreal ReportPrinter::lineHeight() const
{
    return QFontMetricsF(m_font, &m_device).lineSpacing();
}

qreal ReportPrinter::columnX(int column) const
{
    return (column - 1) * columnWidth(m_font, m_device);
}

qreal ReportPrinter::columnWidth(const QFont &font, QPaintDevice &device)
{
    // A print column is the font's average character width in the classic sense: the advances
    // of the lower-case letters and the blank weighted by how often they occur in English text.
    // The font file's own "average width" field changed meaning between font versions (some
    // builds average every glyph), which would move the columns and push the last one off the
    // page; the weighted letters give the same columns with any build of the font.
    static constexpr int kWeights[27] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6, 35, 20, 56,
                                         56, 17, 4, 49, 56, 71, 31, 10, 18, 3, 18, 2, 166};
    const QFontMetricsF metrics(font, &device);
    qreal sum = 0;
    for (int i = 0; i < 26; ++i)
        sum += kWeights[i] * metrics.horizontalAdvance(QChar(u'a' + i));
    sum += kWeights[26] * metrics.horizontalAdvance(QChar(u' '));
    return sum / 1000.0;
}

bool ReportPrinter::ensurePage()
{
    if (m_failed || m_ended)
        return false;
    if (m_pages == 0 || m_ejectPending) {
        ++m_pages;
        m_y = 0;
        m_ejectPending = false;
    }
    if (!pageInRange())
        return true;  // laid out, not printed
    if (!m_painter.isActive()) {
        if (!m_painter.begin(&m_device)) {
            m_failed = true;
            return false;
        }
        m_painter.setFont(m_font);
        m_painter.setPen(Qt::black);
    } else if (m_devicePage != m_pages && !m_device.newPage()) {
        m_failed = true;
        return false;
    }
    m_devicePage = m_pages;
    return true;
}

void ReportPrinter::emptyLine()
{
    if (!ensurePage())
        return;
    m_y += lineHeight();
}

void ReportPrinter::printLine(const QList<Cell> &cells)
{
    if (!ensurePage())
        return;
    const QFontMetricsF metrics(m_font, &m_device);
    if (m_devicePage == m_pages) {
        for (const Placed &p : fitRow(cells, metrics, columnWidth(m_font, m_device), m_device.width()))
            m_painter.drawText(QPointF(p.x, m_y + metrics.ascent()), p.text);
    }
    m_y += metrics.lineSpacing();
}

QList<ReportPrinter::Placed> ReportPrinter::fitRow(const QList<Cell> &cells, const QFontMetricsF &metrics,
                                                   qreal columnWidth, qreal width)
{
    QStringList texts;
    for (const Cell &cell : cells)
        texts << cell.text;
    const qreal blank = metrics.horizontalAdvance(QChar(u' '));
    auto place = [&](QList<Placed> &placed) {
        placed.clear();
        qreal end = 0;
        for (qsizetype i = 0; i < cells.size(); ++i) {
            // A value wider than its column (a long name in capitals) would run into the next
            // one; that value then starts one blank after it instead.
            qreal x = (cells[i].column - 1) * columnWidth;
            if (end > 0)
                x = qMax(x, end + blank);
            placed.append({x, texts[i]});
            end = x + metrics.horizontalAdvance(texts[i]);
        }
        return end;
    };
    QList<Placed> placed;
    qreal end = place(placed);
    // Off the paper: shorten the widest text that may be shortened, a little more each round.
    for (int round = 0; end > width && round < 40; ++round) {
        qsizetype widest = -1;
        qreal widestWidth = 0;
        for (qsizetype i = 0; i < cells.size(); ++i) {
            const qreal w = metrics.horizontalAdvance(texts[i]);
            if (!cells[i].keep && texts[i].size() > 2 && w > widestWidth) {
                widest = i;
                widestWidth = w;
            }
        }
        if (widest < 0)
            break;
        const qreal target = qMax(widestWidth - (end - width) - blank, 3 * blank);
        QString shorter = metrics.elidedText(cells[widest].text, Qt::ElideRight, target);
        if (shorter == texts[widest] || shorter.isEmpty())
            shorter = texts[widest].left(texts[widest].size() - 2) + QChar(0x2026);
        texts[widest] = shorter;
        end = place(placed);
    }
    return placed;
}

void ReportPrinter::ejectPage()
{
    if (m_pages > 0)
        m_ejectPending = true;
}

bool ReportPrinter::end()
{
    if (m_ended)
        return !m_failed;
    m_ended = true;
    if (m_painter.isActive() && !m_painter.end())
        m_failed = true;
    return !m_failed;
}

namespace reports {

bool printCountedPages(ReportPrinter &printer, const QString &heading,
                       const QList<QList<ReportPrinter::Cell>> &rows,
                       const QList<ReportPrinter::Cell> &columnHeadings)
{
    const int pages = int((rows.size() + kRowsPerPage - 1) / kRowsPerPage);
    int counter = 57;
    int page = 0;
    for (const auto &row : rows) {
        if (counter > 56) {
            printer.setFontSize(ReportPrinter::kHeadingSize);
            printer.emptyLine();
            printer.emptyLine();
            printer.emptyLine();
            ++page;
            printer.printLine({{10, heading}, {75, QStringLiteral("Page %1 of %2").arg(page).arg(pages), true}});
            counter = 7;
            if (columnHeadings.isEmpty()) {
                printer.emptyLine();
            } else {
                printer.setFontSize(ReportPrinter::kBodySize);
                printer.printLine(columnHeadings);
            }
        }
        printer.setFontSize(ReportPrinter::kBodySize);
        ++counter;
        printer.printLine(row);
        if (counter > 56)
            printer.ejectPage();
        if (printer.failed())
            break;
    }
    return printer.end();
}

QList<ReportPrinter::Cell> logRow(const QsoRecord &r)
{
    const QDate date = parseStoredDate(r.date);
    return {
        {10, date.isValid() ? date.toString(QStringLiteral("MM/dd/yy")) : r.date, true},
        {22, storedTimeHhmm(r.time), true},
        {29, r.call},
        {44, r.name},
        {62, r.qth.size() == 2 ? r.qth : QStringLiteral("DX - ") + r.qth},
        {88, r.memberNumber, true},
        {99, r.points, true},
    };
}

bool printLog(ReportPrinter &printer, const QList<QsoRecord> &records, const QString &ownCall)
{
    QList<QList<ReportPrinter::Cell>> rows;
    rows.reserve(records.size());
    for (const QsoRecord &r : records)
        rows << logRow(r);
    const QList<ReportPrinter::Cell> headings{{10, QStringLiteral("Date"), true}, {22, QStringLiteral("UTC"), true},
                                              {29, QStringLiteral("Call"), true}, {44, QStringLiteral("Name"), true},
                                              {62, QStringLiteral("QTH"), true},  {88, QStringLiteral("10-10"), true},
                                              {99, QStringLiteral("Pts"), true}};
    return printCountedPages(printer, QStringLiteral("10-10 QSO Party Log for: ") + ownCall.trimmed(), rows,
                             headings);
}

bool printDupeSheet(ReportPrinter &printer, const QList<QsoRecord> &records, const QString &ownCall)
{
    // Sorted calls down each column of a page, kDupeColumns columns across, so a full log takes
    // a few dozen pages rather than one call a line.
    const QStringList calls = sortedCalls(records);
    const qsizetype perPage = qsizetype(kRowsPerPage) * kDupeColumns;
    QList<QList<ReportPrinter::Cell>> rows;
    for (qsizetype first = 0; first < calls.size(); first += perPage) {
        const qsizetype onPage = std::min(perPage, calls.size() - first);
        // A short last page fills its columns evenly instead of one long column.
        const qsizetype lines = onPage == perPage ? kRowsPerPage : (onPage + kDupeColumns - 1) / kDupeColumns;
        for (qsizetype line = 0; line < lines; ++line) {
            QList<ReportPrinter::Cell> row;
            for (int column = 0; column < kDupeColumns; ++column) {
                const qsizetype at = first + column * lines + line;
                if (at < first + onPage)
                    row << ReportPrinter::Cell{10 + column * 16, calls[at]};
            }
            rows << row;
        }
    }
    return printCountedPages(printer, QStringLiteral("10-10 QSO Party Dupe Sheet for: ") + ownCall.trimmed(),
                             rows);
}

bool printCoverSheet(ReportPrinter &printer, const QString &heading, const QStringList &body)
{
    printer.setFontSize(ReportPrinter::kHeadingSize);
    printer.emptyLine();
    printer.emptyLine();
    printer.emptyLine();
    printer.printLine(10, heading);
    printer.setFontSize(ReportPrinter::kBodySize);
    for (const QString &line : body) {
        if (line.isEmpty())
            printer.emptyLine();
        else
            printer.printLine(10, line);
    }
    return printer.end();
}

}  // namespace reports

std::unique_ptr<QPagedPaintDevice> DialogPrinterTarget::open(const QString &jobName, QString *error)
{
    m_range = {0, 0};
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    auto printer = info.isNull() ? std::make_unique<QPrinter>(QPrinter::HighResolution)
                                 : std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    printer->setDocName(jobName);
    printer->setPageMargins(kMarginsMm, QPageLayout::Millimeter);
    QPrintDialog dialog(printer.get(), m_parent);
    dialog.setWindowTitle(QStringLiteral("Print %1").arg(jobName));
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange
                      | QAbstractPrintDialog::PrintShowPageSize);
    if (dialog.exec() != QDialog::Accepted) {
        if (error)
            error->clear();  // cancelled: nothing to say
        return nullptr;
    }
    if (printer->printRange() == QPrinter::PageRange)
        m_range = {printer->fromPage(), printer->toPage()};
    if (!printer->isValid()) {
        if (error)
            *error = QStringLiteral("The printer \"%1\" cannot be used.").arg(printer->printerName());
        return nullptr;
    }
    return printer;
}

std::unique_ptr<QPagedPaintDevice> PdfPrintTarget::open(const QString &jobName, QString *)
{
    auto pdf = std::make_unique<QPdfWriter>(m_path);
    pdf->setTitle(jobName);
    pdf->setPageSize(QPageSize(QPageSize::Letter));
    pdf->setPageMargins(kMarginsMm, QPageLayout::Millimeter);
    pdf->setResolution(600);
    return pdf;
}
