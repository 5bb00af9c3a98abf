#pragma once
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/settingsstore.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QQueue>
#include <QTemporaryDir>

// A clock the test sets; local time and the UTC offset are independent like on a real PC.
class FakeClock : public Clock {
public:
    FakeClock();
    QDateTime localNow() const override { return m_local; }
    QDateTime utcNow() const override;
    // Sets local time; UTC = local + offsetHours.
    void set(const QDateTime &local, double offsetHours = 0);
    // Moves wall and steady time on together.
    void advance(qint64 seconds)
    {
        m_local = m_local.addSecs(seconds);
        m_steadyMs += seconds * 1000;
    }
    qint64 steadyMs() const override { return m_steadyMs; }
    // Moves steady time only (and the wall clock by whole elapsed milliseconds).
    void advanceMs(qint64 ms)
    {
        m_local = m_local.addMSecs(ms);
        m_steadyMs += ms;
    }

private:
    QDateTime m_local;
    qint64 m_steadyMs = 1000000;
    double m_offsetHours = 0;
};

// Answers dialogs from scripted queues and records every dialog shown.
class FakeDialogs : public Dialogs {
public:
    struct Shown {
        QString kind;  // "message", "input", "open", "save", "folder", "colour"
        QString title;
        QString text;
        QString extra;  // default answer, proposed path or folder
    };

    QQueue<Answer> messageAnswers;  // default when empty: Ok / Yes
    QQueue<QString> inputAnswers;   // default when empty: "" (cancel)
    QQueue<QString> fileAnswers;    // default when empty: "" (cancel)
    QQueue<QColor> colourAnswers;
    QList<Shown> shown;

    Answer message(QWidget *parent, const QString &text, const QString &title, Buttons buttons,
                   Icon icon) override;
    QString input(QWidget *parent, const QString &prompt, const QString &title,
                  const QString &defaultAnswer) override;
    QString openFile(QWidget *parent, const QString &title, const QString &folder,
                     const QString &filter) override;
    QString saveFile(QWidget *parent, const QString &title, const QString &proposedPath,
                     const QString &filter) override;
    QString chooseFolder(QWidget *parent, const QString &title, const QString &folder) override;
    QColor chooseColour(QWidget *parent, const QColor &initial) override;

    QStringList titles() const;
    bool wasShown(const QString &title) const { return titles().contains(title); }
};

class FakeSettingsStore : public SettingsStore {
public:
    QHash<QString, QString> values;
    QString value(const QString &key, const QString &defaultValue) const override
    {
        return values.value(key, defaultValue);
    }
    void setValue(const QString &key, const QString &value) override { values[key] = value; }
};

// A fresh temporary working directory with HOME pointed into it, made current for the test.
class TestEnv {
public:
    TestEnv();
    ~TestEnv();
    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const;
    void write(const QString &name, const QByteArray &bytes) const;
    QByteArray read(const QString &name) const;

private:
    QTemporaryDir m_dir;
    QString m_oldCwd;
    QByteArray m_oldHome;
};
