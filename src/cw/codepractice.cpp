#include "cw/codepractice.h"
#include "ui/plaintext.h"
#include "ui/fieldkeys.h"
#include "cw/cwcontrol.h"
#include "cw/cwsender.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QVBoxLayout>

namespace {

const QString kPracticeTable = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.,?/-");

double systemRandom()
{
    return QRandomGenerator::global()->generateDouble();
}

QPushButton *button(QWidget *parent, const QString &name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QString upperAZ(QString text)
{
    for (QChar &c : text)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 32);
    return text;
}

}  // namespace

frmCodePractice::frmCodePractice(CwControl &control, QWidget *parent)
    : QDialog(parent), m_control(control)
{
    setObjectName(QStringLiteral("frmCodePractice"));
    setWindowTitle(QStringLiteral("On the Air Code Practice"));
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    auto *top = new QVBoxLayout(this);
    top->addWidget(plainLabel(QStringLiteral(
        "Fill the text to send by generating random groups, pasting from the clipboard or typing "
        "it in; Send transmits it. Characters typed in the lower box are sent at once."), this));

    top->addWidget(plainLabel(QStringLiteral(" Text to Send"), this));
    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setFont(fixed);
    Text1->installEventFilter(this);
    top->addWidget(Text1);
    top->addWidget(plainLabel(QStringLiteral(" Text Sent"), this));
    Text2 = new QPlainTextEdit(this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setFont(fixed);
    Text2->setReadOnly(true);
    top->addWidget(Text2);
    top->addWidget(plainLabel(QStringLiteral("Type characters here to send text from keyboard:"), this));
    Text5 = new QLineEdit(this);
    Text5->setObjectName(QStringLiteral("Text5"));
    Text5->installEventFilter(this);
    top->addWidget(Text5);

    auto *gen = new QHBoxLayout;
    Text3 = new QLineEdit(QStringLiteral("10"), this);
    Text3->setObjectName(QStringLiteral("Text3"));
    Text4 = new QLineEdit(QStringLiteral("5"), this);
    Text4->setObjectName(QStringLiteral("Text4"));
    auto *include = new QGroupBox(QStringLiteral("Include:"), this);
    auto *il = new QHBoxLayout(include);
    Option1 = new QRadioButton(QStringLiteral("Letters Only"), include);
    Option1->setObjectName(QStringLiteral("Option1"));
    Option2 = new QRadioButton(QStringLiteral("All"), include);
    Option2->setObjectName(QStringLiteral("Option2"));
    Option2->setChecked(true);
    il->addWidget(Option1);
    il->addWidget(Option2);
    gen->addWidget(plainLabel(QStringLiteral("Generate"), this));
    gen->addWidget(Text3);
    gen->addWidget(plainLabel(QStringLiteral("groups of"), this));
    gen->addWidget(Text4);
    gen->addWidget(plainLabel(QStringLiteral("characters each."), this));
    gen->addWidget(include);
    top->addLayout(gen);

    auto *row = new QHBoxLayout;
    auto *generate = button(this, QStringLiteral("cmdGenerate"), QStringLiteral("&Generate Random Characters"));
    auto *paste = button(this, QStringLiteral("cmdPaste"), QStringLiteral("&Paste from Clipboard"));
    auto *clear1 = button(this, QStringLiteral("cmdClear"), QStringLiteral("&Clear"));
    auto *clear2 = button(this, QStringLiteral("cmdClear2"), QStringLiteral("Cl&ear"));
    auto *send = button(this, QStringLiteral("cmdSend"), QStringLiteral("&Send"));
    auto *stop = button(this, QStringLiteral("cmdStop"), QStringLiteral("S&top"));
    auto *faster = button(this, QStringLiteral("cmdFaster"), QStringLiteral("&Faster"));
    auto *slower = button(this, QStringLiteral("cmdSlower"), QStringLiteral("S&lower"));
    Label8 = new QLabel(QString::number(m_control.settings().speedWpm()), this);
    Label8->setTextFormat(Qt::PlainText);
    Label8->setObjectName(QStringLiteral("Label8"));
    for (QWidget *w : {static_cast<QWidget *>(generate), static_cast<QWidget *>(paste),
                       static_cast<QWidget *>(clear1), static_cast<QWidget *>(clear2),
                       static_cast<QWidget *>(send), static_cast<QWidget *>(stop),
                       static_cast<QWidget *>(faster), static_cast<QWidget *>(slower),
                       static_cast<QWidget *>(Label8)})
        row->addWidget(w);
    row->addWidget(plainLabel(QStringLiteral("WPM"), this));
    top->addLayout(row);

    connect(generate, &QPushButton::clicked, this, &frmCodePractice::cmdGenerate_Click);
    connect(paste, &QPushButton::clicked, this,
            [this] { Text1->setPlainText(QApplication::clipboard()->text()); });
    connect(clear1, &QPushButton::clicked, Text1, &QPlainTextEdit::clear);
    connect(clear2, &QPushButton::clicked, Text2, &QPlainTextEdit::clear);
    connect(send, &QPushButton::clicked, this, &frmCodePractice::cmdSend_Click);
    connect(stop, &QPushButton::clicked, this, &frmCodePractice::cmdStop_Click);
    auto speed = [this](int delta) {
        m_control.changeSpeed(delta);
        Label8->setText(QString::number(m_control.settings().speedWpm()));
    };
    connect(faster, &QPushButton::clicked, this, [speed] { speed(1); });
    connect(slower, &QPushButton::clicked, this, [speed] { speed(-1); });
    connect(&m_control.sender(), &CwSender::charKeyed, this, &frmCodePractice::onCharKeyed);
    connect(&m_control.sender(), &CwSender::sendingChanged, this, [this](bool sending) {
        if (!sending && m_stopping) {
            m_stopping = false;
            m_index = -1;
        }
    });
    // Pasted text meets the same rules as typed text: nothing the files cannot hold.
    fieldkeys::guardTextFields(this);
}

QString frmCodePractice::randomGroups(int groups, int size, bool lettersOnly, double (*random)())
{
    const int range = lettersOnly ? 26 : 41;
    QString out;
    for (int g = 0; g < groups; ++g) {
        for (int i = 0; i < size; ++i)
            out += kPracticeTable.at(qBound(0, int(range * random()), range - 1));
        out += QLatin1Char(' ');
    }
    return out;
}

void frmCodePractice::cmdGenerate_Click()
{
    bool ok = false;
    int groups = Text3->text().trimmed().toInt(&ok);
    if (!ok) {
        Text3->setText(QStringLiteral("10"));
        groups = 10;
    }
    int size = Text4->text().trimmed().toInt(&ok);
    if (!ok) {
        Text4->setText(QStringLiteral("5"));
        size = 5;
    }
    // A mistyped count must not freeze the window building millions of characters.
    groups = qBound(0, groups, 1000);
    size = qBound(0, size, 100);
    Text1->setPlainText(randomGroups(groups, size, Option1->isChecked(), systemRandom));
}

void frmCodePractice::cmdSend_Click()
{
    PracticeText = Text1->toPlainText();
    Text1->setFocus();
    m_stopping = false;
    m_index = 0;
    sendNext();
}

void frmCodePractice::sendNext()
{
    // Edits made while sending take effect: the text is read again for every character.
    PracticeText = Text1->toPlainText();
    if (m_index < 0 || m_index >= PracticeText.size()) {
        m_index = -1;
        return;
    }
    m_control.sender().send(QString(PracticeText.at(m_index)));
}

void frmCodePractice::onCharKeyed(QChar c, const QString &)
{
    if (m_index < 0)
        return;  // typed characters echo as they are typed
    Text2->moveCursor(QTextCursor::End);
    Text2->insertPlainText(QString(c));
    QTextCursor cursor = Text1->textCursor();
    cursor.setPosition(qMin(m_index + 1, int(Text1->toPlainText().size())));
    Text1->setTextCursor(cursor);
    ++m_index;
    if (m_stopping) {
        m_stopping = false;
        m_index = -1;
        return;
    }
    sendNext();
}

void frmCodePractice::cmdStop_Click()
{
    PracticeText.clear();
    m_control.sender().stop();
    // The character being keyed is finished and echoed when it has gone out; with nothing on
    // the air the practice ends here.
    m_stopping = m_index >= 0 && m_control.sender().isSending();
    if (!m_stopping)
        m_index = -1;
}

bool frmCodePractice::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (watched == Text1) {
        const QString up = upperAZ(key->text());
        if (!key->text().isEmpty() && up != key->text()) {
            Text1->insertPlainText(up);
            return true;
        }
        return false;
    }
    if (watched == Text5) {
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab || key->text().isEmpty())
            return false;
        if (key->key() == Qt::Key_Backspace) {
            m_control.sender().backspace();
            QString sent = Text2->toPlainText();
            if (!sent.isEmpty()) {
                sent.chop(1);
                Text2->setPlainText(sent);
            }
            return true;
        }
        const QString text = upperAZ(key->text());
        Text2->moveCursor(QTextCursor::End);
        Text2->insertPlainText(text);
        m_control.sender().append(text);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmCodePractice::reject()
{
    // Esc or the window's close: the first attempt during sending only stops it.
    PracticeText.clear();
    m_index = -1;
    m_control.sender().stop();
    if (m_control.sender().isSending())
        return;
    QDialog::reject();
}

void frmCodePractice::closeEvent(QCloseEvent *event)
{
    PracticeText.clear();
    m_index = -1;
    m_control.sender().stop();
    if (m_control.sender().isSending()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
