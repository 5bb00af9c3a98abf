#pragma once
#include <QObject>
#include <QStringList>

class FldigiLink;
class Form1;
class QLabel;
struct Form1Services;

// The digital parties through fldigi (Options > fldigi): what the operator takes into fldigi's
// log fields comes into the entry line, F1 .. F10 in DG mode send the digital messages (DG.txt:
// "$" the call, "!" logs the contact) through fldigi, Esc stops its transmission, and its modem
// and frequency show under the entry line, the modem kept with each contact.
//
// Thread contract: GUI thread only.
class FldigiWiring : public QObject {
    Q_OBJECT
public:
    FldigiWiring(Form1 &form, const Form1Services &services);
    FldigiLink &link() { return *m_link; }
    // The ten digital messages, from DG.txt (defaults where it has none).
    const QStringList &messages() const { return m_messages; }
    bool sendMessage(int index);

private:
    void askForAddress();
    void loadMessages();
    void editMessages();
    QString messagesPath() const;

    Form1 &m_form;
    const Form1Services &m_services;
    FldigiLink *m_link;
    QLabel *m_line = nullptr;
    QStringList m_messages;
};
