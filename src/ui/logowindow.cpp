#include "ui/logowindow.h"

#include "ui/formscaler.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace {
// The logo's design size: 6000 x 3600 twips.
const QSize kDesignSize(formscale::px(6000), formscale::px(3600));
}

frmKorvexLogo::frmKorvexLogo(const QString &sharedFolder, QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmKorvexLogo"));
    setAttribute(Qt::WA_DeleteOnClose);
    const QString splash = QDir(sharedFolder).filePath(QString::fromLatin1(kSplashFile));
    if (!sharedFolder.isEmpty() && QFileInfo::exists(splash) && m_picture.load(splash))
        m_fromFile = true;
    resize(m_fromFile ? m_picture.size() : kDesignSize);
    if (!m_fromFile)
        m_picture = builtInPicture(size());
    QTimer::singleShot(kShowMs, this, &QWidget::close);
}

QPixmap frmKorvexLogo::builtInPicture(const QSize &size)
{
    QPixmap pm(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(16, 40, 88));
    sky.setColorAt(1, QColor(40, 96, 160));
    p.fillRect(pm.rect(), sky);
    p.setPen(QPen(QColor(230, 200, 90), 3));
    p.drawRect(pm.rect().adjusted(6, 6, -7, -7));

    QFont title(QStringLiteral("Liberation Sans"));
    title.setBold(true);
    title.setPixelSize(std::max(12, size.height() / 4));
    p.setFont(title);
    p.setPen(Qt::white);
    const QRect upper(0, 0, size.width(), size.height() * 3 / 5);
    p.drawText(upper, Qt::AlignHCenter | Qt::AlignBottom, QStringLiteral("Vardel"));

    QFont maker(QStringLiteral("Liberation Sans"));
    maker.setPixelSize(std::max(8, size.height() / 10));
    p.setFont(maker);
    p.setPen(QColor(230, 200, 90));
    const QRect lower(0, size.height() * 3 / 5, size.width(), size.height() * 2 / 5);
    p.drawText(lower, Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("Korvex Software"));
    return pm;
}

void frmKorvexLogo::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawPixmap(rect(), m_picture);
}

void frmKorvexLogo::mousePressEvent(QMouseEvent *)
{
    close();
}

frmKorvexLogo *showLogo(const QString &sharedFolder)
{
    auto *logo = new frmKorvexLogo(sharedFolder);
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect s = screen->geometry();
        const int lift = formscale::px(formscale::kLiftTwips);
        logo->move(s.x() + (s.width() - logo->width()) / 2,
                   s.y() + (s.height() - logo->height()) / 2 - lift);
    }
    logo->show();
    return logo;
}
