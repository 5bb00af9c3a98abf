#pragma once
#include <QString>

class QColor;
class QWidget;

// Message boxes, input boxes and the common file and colour dialogs. Every window asks through
// this interface so tests can script the answers.
class Dialogs {
public:
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Icon { None, Information, Question, Warning, Critical };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~Dialogs() = default;

    virtual Answer message(QWidget *parent, const QString &text, const QString &title,
                           Buttons buttons = Buttons::Ok, Icon icon = Icon::None) = 0;

    // Returns the typed text; an empty string when the operator cancels (as an input box does).
    virtual QString input(QWidget *parent, const QString &prompt, const QString &title,
                          const QString &defaultAnswer = QString()) = 0;

    // Return the chosen path, or an empty string when cancelled.
    virtual QString openFile(QWidget *parent, const QString &title, const QString &folder,
                             const QString &filter) = 0;
    virtual QString saveFile(QWidget *parent, const QString &title, const QString &proposedPath,
                             const QString &filter) = 0;

    // Returns the chosen folder, or an empty string when cancelled.
    virtual QString chooseFolder(QWidget *parent, const QString &title, const QString &folder) = 0;

    // Returns an invalid colour when cancelled.
    virtual QColor chooseColour(QWidget *parent, const QColor &initial) = 0;
};

class QtDialogs : public Dialogs {
public:
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
};
