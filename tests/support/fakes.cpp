#include "fakes.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTimeZone>

FakeClock::FakeClock() { set(QDateTime(QDate(2026, 12, 5), QTime(12, 0, 0))); }

QDateTime FakeClock::utcNow() const
{
    const QDateTime asUtc(m_local.date(), m_local.time(), Qt::UTC);
    return asUtc.addSecs(qint64(m_offsetHours * 3600));
}

void FakeClock::set(const QDateTime &local, double offsetHours)
{
    m_local = QDateTime(local.date(), local.time());
    m_offsetHours = offsetHours;
}

Dialogs::Answer FakeDialogs::message(QWidget *, const QString &text, const QString &title,
                                     Buttons buttons, Icon)
{
    shown.append({QStringLiteral("message"), title, text, QString()});
    if (!messageAnswers.isEmpty())
        return messageAnswers.dequeue();
    return (buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel) ? Answer::Yes : Answer::Ok;
}

QString FakeDialogs::input(QWidget *, const QString &prompt, const QString &title,
                           const QString &defaultAnswer)
{
    shown.append({QStringLiteral("input"), title, prompt, defaultAnswer});
    return inputAnswers.isEmpty() ? QString() : inputAnswers.dequeue();
}

QString FakeDialogs::openFile(QWidget *, const QString &title, const QString &folder,
                              const QString &filter)
{
    shown.append({QStringLiteral("open"), title, filter, folder});
    return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
}

QString FakeDialogs::chooseFolder(QWidget *, const QString &title, const QString &folder)
{
    shown.append({QStringLiteral("folder"), title, QString(), folder});
    return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
}

QString FakeDialogs::saveFile(QWidget *, const QString &title, const QString &proposedPath,
                              const QString &filter)
{
    shown.append({QStringLiteral("save"), title, filter, proposedPath});
    return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
}

QColor FakeDialogs::chooseColour(QWidget *, const QColor &initial)
{
    shown.append({QStringLiteral("colour"), QString(), QString(), initial.name()});
    return colourAnswers.isEmpty() ? QColor() : colourAnswers.dequeue();
}

QStringList FakeDialogs::titles() const
{
    QStringList t;
    for (const Shown &s : shown)
        t.append(s.title);
    return t;
}

TestEnv::TestEnv()
{
    m_oldCwd = QDir::currentPath();
    m_oldHome = qgetenv("HOME");
    qputenv("HOME", m_dir.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", QDir(m_dir.path()).filePath(".local/share").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", QDir(m_dir.path()).filePath(".config").toLocal8Bit());
    qputenv("XDG_DOCUMENTS_DIR", QDir(m_dir.path()).filePath("Documents").toLocal8Bit());
    QStandardPaths::setTestModeEnabled(false);
    QDir::setCurrent(m_dir.path());
}

TestEnv::~TestEnv()
{
    QDir::setCurrent(m_oldCwd);
    qputenv("HOME", m_oldHome);
}

QString TestEnv::file(const QString &name) const { return QDir(m_dir.path()).filePath(name); }

void TestEnv::write(const QString &name, const QByteArray &bytes) const
{
    QFile f(file(name));
    QDir().mkpath(QFileInfo(f).absolutePath());
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

QByteArray TestEnv::read(const QString &name) const
{
    QFile f(file(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
