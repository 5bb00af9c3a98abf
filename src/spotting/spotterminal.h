#pragma once
#include "spotting/spotline.h"

#include <QList>
#include <QString>

#include <functional>

// The text of the spotting window's terminal box. It stays under 10000 characters so the
// duplicate test, which looks only at its tail, is bounded.
class SpotTerminal {
public:
    static constexpr qsizetype kMaxLength = 10000;
    static constexpr qsizetype kKeptLength = 9000;
    static constexpr qsizetype kDuplicateWindow = 800;

    const QString &text() const { return m_text; }
    void setText(const QString &text);
    void append(const QString &text);
    // Keeps the newest 9000 characters once the text grows past 10000.
    void TrimTerminal();
    // True when `line` occurs (any case) in the terminal's last 800 or so characters.
    bool recentlyShown(const QString &line) const;

private:
    QString m_text;
};

// The text that a spot source delivers, cut into what the terminal shows and the spots it
// carries. One object per spotting window, fed by whichever source is open.
//
// Thread contract: GUI thread only; `postSpot` is called synchronously.
class SpotReception {
public:
    // Longest line a source may send before its link counts as broken.
    static constexpr qsizetype kMaxLine = 4000;

    // Called with every spot line.
    using PostSpot = std::function<void(const SpotLine &line)>;
    explicit SpotReception(PostSpot postSpot) : m_postSpot(std::move(postSpot)) {}

    SpotTerminal &terminal() { return m_terminal; }
    const SpotTerminal &terminal() const { return m_terminal; }
    // "List DX Only": the terminal shows spot lines only.
    bool listDxOnly = false;

    // Serial text from a TNC. Complete lines are shown (unless already in view) and parsed;
    // the partial last line waits. False when the partial line grew past kMaxLine (it is
    // dropped; the caller closes the link).
    bool addTncText(const QString &text);
    void resetTncBuffer() { m_receiveBuffer = QStringLiteral("\n"); }
    const QString &receiveBuffer() const { return m_receiveBuffer; }

    // Text from a Telnet cluster, already free of telnet commands. Shown as it arrives, so a
    // login prompt without a line end is seen; every complete line that is a spot is parsed.
    // False when a line grew past kMaxLine.
    bool addTelnetText(const QString &text);

    // The link closed or opened anew: an unfinished line from before is not the start of the
    // next one.
    void dropPartialLines();

    // One frame from the packet engine: its kind, the station it came from and its data.
    // `connectedCall` is the station connected through the engine, "" when only monitoring.
    void addAgwFrame(QChar kind, const QString &fromCall, const QString &data,
                     const QString &connectedCall);

private:
    // The one guard for every source: a line still unfinished past kMaxLine means the peer is
    // broken or speaks another framing.
    static bool lineTooLong(qsizetype partialLength) { return partialLength > kMaxLine; }
    void ProcessTncBuffer();
    void post(const QString &line);
    QString withLineFeeds(const QString &text);

    PostSpot m_postSpot;
    SpotTerminal m_terminal;
    QString m_receiveBuffer = QStringLiteral("\n");
    QString m_telnetLine;
    QList<qsizetype> m_readStarts;
    bool m_lastWasCr = false;
    bool m_tncLastWasCr = false;
};
