#include "reports/reportwindow.h"

#include "core/logstore.h"
#include "platform/clock.h"
#include "ui/keyfilter.h"
#include "reports/reportjobs.h"
#include "ui/formscaler.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace reports;

namespace {
// Design units are twips on the 9600 x 7200 basis.
void place(QWidget *w, int x, int y, int width, int height)
{
    w->setGeometry(formscale::rect(x, y, width, height));
}

constexpr int kFieldTop = 240;
constexpr int kContestTop = 120, kContestHeight = 2300;
constexpr int kRowHeight = 420;
}  // namespace

Form2::Form2(const ReportContext &context, QWidget *parent) : QDialog(parent), m_ctx(context)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Print / Write Summary Information"));
    setModal(true);
    place(this, 0, 0, 9600, 7200);

    // The Part's five options keep their names; the later parties follow in the year's order,
    // down the first column and on down the second.
    // Wider than the groups below it: the fields beside it have short labels.
    auto *contestGroup = new QGroupBox(QStringLiteral("QSO Party Name:"), this);
    place(contestGroup, 240, kContestTop, 4000, kContestHeight);
    static const char *const contestNames[] = {"Option3", "Option21", "Option7",  "Option22", "Option23",
                                               "Option6", "Option1",  "Option2",  "Option24"};
    for (qsizetype i = 0; i < allContests().size(); ++i) {
        const Contest c = allContests()[i];
        m_contest[int(c)] = addOption(contestGroup, contestNames[i], contestCaption(c), int(i), 5, 1920);
    }
    m_contest[int(Contest::WinterPhone)]->setChecked(true);

    auto *entryGroup = new QGroupBox(QStringLiteral("Entry is:"), this);
    place(entryGroup, 240, 2560, 2700, 1560);
    static const char *const entryNames[] = {"Option19", "Option18", "Option20", "Option25", "Option26", "Option27"};
    for (int i = 0; i < kEntryClasses; ++i)
        m_entry[i] = addOption(entryGroup, entryNames[i], entryCaption(EntryClass(i)), i, 3, 1280);
    m_entry[0]->setChecked(true);

    // The party the log's dates and modes fit, one key away; the choice stays the operator's.
    cmdProposed = new QPushButton(this);
    cmdProposed->setObjectName(QStringLiteral("cmdProposed"));
    cmdProposed->setAutoDefault(false);
    place(cmdProposed, 240, 4150, 2700, 360);
    connect(cmdProposed, &QPushButton::clicked, this, [this] { m_contest[int(m_proposed)]->setChecked(true); });

    Text10 = addField("Text10", QStringLiteral("Year:"), 0, false, false);
    Text2 = addField("Text2", QStringLiteral("Start Date (0000z):"), 1, false, false);
    Text11 = addField("Text11", QStringLiteral("End Date (2400z):"), 2, false, false);
    Text5 = addField("Text5", QStringLiteral("Your Name:"), 3, true, false);
    Text6 = addField("Text6", QStringLiteral("Address Line 1:"), 4, true, false);
    Text7 = addField("Text7", QStringLiteral("Address Line 2:"), 5, true, false);
    Text8 = addField("Text8", QStringLiteral("Call Area or ARRL Country:"), 6, true, true);
    Text4 = addField("Text4", QStringLiteral("Operators (Club Only: Name/1010):"), 7, true, true);
    Text1 = addField("Text1", QStringLiteral("Chapter Assignment (if any):"), 8, true, false);
    Text3 = addField("Text3", QStringLiteral("Comment:"), 9, true, false);

    auto *printLabel = new QLabel(QStringLiteral("Print:"), this);
    printLabel->setTextFormat(Qt::PlainText);
    place(printLabel, 240, 4560, 2400, 300);
    auto *writeLabel = new QLabel(QStringLiteral("Write ASCII Files:"), this);
    writeLabel->setTextFormat(Qt::PlainText);
    place(writeLabel, 240, 5700, 2400, 300);

    auto jobs = [this] { return ReportJobs(m_ctx, this); };
    connect(addButton("Command3", QStringLiteral("Log"), 240, 4920, 2900), &QPushButton::clicked, this,
            [jobs] { jobs().printLog(); });
    connect(addButton("Command5", QStringLiteral("Dupe Sheet"), 3340, 4920, 2900), &QPushButton::clicked, this,
            [jobs] { jobs().printDupeSheet(); });
    connect(addButton("Command6", QStringLiteral("Cover Sheet"), 6440, 4920, 2900), &QPushButton::clicked, this,
            [this, jobs] { jobs().printCoverSheet(fields()); });
    connect(addButton("Command1", QStringLiteral("Dupe File (Your Call.dup)"), 240, 6060, 2900),
            &QPushButton::clicked, this, [jobs] { jobs().writeDupeFile(); });
    connect(addButton("Command2", QStringLiteral("Cover Sheet (Your Call.sum)"), 3340, 6060, 2900),
            &QPushButton::clicked, this, [this, jobs] { jobs().writeCoverSheet(fields()); });
    connect(addButton("Command4", QStringLiteral("Cabrillo Log File (Your Call.log)"), 6440, 6060, 2900),
            &QPushButton::clicked, this, [this, jobs] { jobs().writeCabrillo(fields()); });
    // The same log with a standard header, for checkers that know only Cabrillo 3.0 tags.
    connect(addButton("Command7", QStringLiteral("Cabrillo 3.0"), 6440, 6600, 2900), &QPushButton::clicked, this,
            [this, jobs] { jobs().writeCabrillo(fields(), CabrilloWriter::Format::Cabrillo3); });

    load();
}

QRadioButton *Form2::addOption(QWidget *group, const char *name, const QString &caption, int index, int rows,
                               int columnWidth)
{
    auto *option = new QRadioButton(caption, group);
    option->setObjectName(QLatin1String(name));
    const int column = index / rows;
    place(option, 120 + column * (columnWidth + 20), 330 + (index % rows) * 390, columnWidth, 360);
    return option;
}

QLineEdit *Form2::addField(const char *name, const QString &caption, int row, bool quoteFilter, bool capitals)
{
    const int y = kFieldTop + row * kRowHeight;
    auto *label = new QLabel(caption, this);
    label->setTextFormat(Qt::PlainText);
    // The rows beside the party names keep clear of them; their labels are short.
    const int labelLeft = y < kContestTop + kContestHeight ? 4300 : 2980;
    place(label, labelLeft, y, 6240 - labelLeft, 330);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto *edit = new QLineEdit(this);
    edit->setObjectName(QLatin1String(name));
    place(edit, 6300, y, 3060, 330);
    label->setBuddy(edit);
    // Every field keeps out what the files cannot hold; the dates too, as they are printed.
    Q_UNUSED(quoteFilter);
    edit->setValidator(new TextFilter(capitals, edit));
    return edit;
}

QPushButton *Form2::addButton(const char *name, const QString &caption, int x, int y, int w)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    place(button, x, y, w, 460);
    return button;
}

void Form2::load()
{
    Text10->setText(m_ctx.clock->localNow().toString(QStringLiteral("yyyy")));
    const QList<QsoRecord> &records = m_ctx.log->records();
    if (!records.isEmpty()) {
        const QDate first = parseStoredDate(records.first().date);
        const QDate last = parseStoredDate(records.last().date);
        if (first.isValid())
            Text2->setText(first.toString(QStringLiteral("MM/dd")));
        if (last.isValid())
            Text11->setText(last.toString(QStringLiteral("MM/dd")));
    }
    ReportFields stored;
    ReportJobs::storedAddress(*m_ctx.settings, stored);
    m_entry[int(stored.entryClass)]->setChecked(true);
    m_proposed = proposedContest(records, m_ctx.clock->utcNow().date());
    cmdProposed->setText(QStringLiteral("&Log fits: ") + contestCaption(m_proposed));
    Text5->setText(stored.name);
    Text6->setText(stored.address1);
    Text7->setText(stored.address2);
}

ReportFields Form2::fields() const
{
    ReportFields f;
    for (int i = 0; i < kContests; ++i)
        if (m_contest[i]->isChecked())
            f.contest = Contest(i);
    for (int i = 0; i < kEntryClasses; ++i)
        if (m_entry[i]->isChecked())
            f.entryClass = EntryClass(i);
    f.year = Text10->text();
    f.startDate = Text2->text();
    f.endDate = Text11->text();
    f.name = Text5->text();
    f.address1 = Text6->text();
    f.address2 = Text7->text();
    f.operatingQth = Text8->text();
    f.operators = Text4->text();
    f.chapter = Text1->text();
    f.comment = Text3->text();
    return f;
}
