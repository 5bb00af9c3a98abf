#include "spotting/spotterminal.h"

#include "spotting/spotline.h"

void SpotTerminal::setText(const QString &text)
{
    m_text = text;
    TrimTerminal();
}

void SpotTerminal::append(const QString &text)
{
    m_text.append(text);
    TrimTerminal();
}

void SpotTerminal::TrimTerminal()
{
    if (m_text.size() > kMaxLength)
        m_text = m_text.right(kKeptLength);
}

bool SpotTerminal::recentlyShown(const QString &line) const
{
    const qsizetype from = std::max<qsizetype>(0, m_text.size() - kDuplicateWindow - 1);
    return QStringView(m_text).mid(from).contains(line, Qt::CaseInsensitive);
}

void SpotReception::post(const QString &line)
{
    if (m_postSpot)
        m_postSpot(splitSpotLine(line));
}

namespace {
// The spot in a TNC line: the line itself when it is a spot line, or what follows a monitor
// header on the same line ("K1TTT-5>DX,WIDE2-1: DX de ..."). "" for anything else.
QString tncSpot(const QString &line)
{
    if (isSpotLine(line))
        return line;
    const qsizetype dx = line.indexOf(QLatin1String("DX de "), 0, Qt::CaseInsensitive);
    if (dx <= 0)
        return QString();
    const QStringView header = QStringView(line).left(dx).trimmed();
    if (!header.contains(u'>') || !(header.endsWith(u':') || header.endsWith(u']')))
        return QString();
    return line.mid(dx);
}
}  // namespace

bool SpotReception::addTncText(const QString &received)
{
    // A TNC ends its lines with CR alone as often as with CR LF; each ends one line here, kept
    // as CR LF for the terminal.
    QString text;
    text.reserve(received.size() + 16);
    for (const QChar c : received) {
        if (c == u'\n' && m_tncLastWasCr) {
            m_tncLastWasCr = false;
            continue;
        }
        m_tncLastWasCr = c == u'\r';
        if (m_tncLastWasCr)
            text.append(QLatin1String("\r\n"));
        else if (c != u'\0')
            text.append(c);
    }
    m_receiveBuffer.append(text);
    if (m_receiveBuffer.size() > 2)
        ProcessTncBuffer();
    // Whatever is left is one partial line after its leading line feed.
    if (lineTooLong(m_receiveBuffer.size() - 1)) {
        resetTncBuffer();
        return false;
    }
    return true;
}

void SpotReception::ProcessTncBuffer()
{
    qsizetype consumed = 0;
    for (;;) {
        const qsizetype first = m_receiveBuffer.indexOf(u'\n', consumed);
        if (first < 0) {
            // No line start at all: nothing here can ever complete a line.
            m_receiveBuffer.clear();
            return;
        }
        const qsizetype second = m_receiveBuffer.indexOf(u'\n', first + 1);
        if (second < 0) {
            m_receiveBuffer.remove(0, first);
            return;
        }
        const QString line = m_receiveBuffer.mid(first + 1, second - first);
        consumed = second;
        if (m_terminal.recentlyShown(line))
            continue;
        if (const QString spot = tncSpot(line); !spot.isEmpty()) {
            m_terminal.append(line);
            post(spot);
        } else if (!listDxOnly) {
            m_terminal.append(line);
        }
    }
}

void SpotReception::dropPartialLines()
{
    m_telnetLine.clear();
    m_readStarts.clear();
    m_lastWasCr = false;
    m_tncLastWasCr = false;
    resetTncBuffer();
}

QString SpotReception::withLineFeeds(const QString &text)
{
    // Nodes end lines with CR LF, LF, CR alone or CR NUL: each is one line end here. A CR at the
    // end of one read and the LF starting the next are one line end too.
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\n' && m_lastWasCr) {
            m_lastWasCr = false;
            continue;
        }
        m_lastWasCr = c == u'\r';
        if (c == u'\0')
            continue;
        out.append(c == u'\r' ? QChar(u'\n') : c);
    }
    return out;
}

bool SpotReception::addTelnetText(const QString &received)
{
    // The terminal shows what arrived; the lines are cut at whatever ended them.
    if (!listDxOnly)
        m_terminal.append(received);
    const QString text = withLineFeeds(received);
    bool ok = true;
    qsizetype start = 0;
    // Where reads began inside the partial line. A prompt ("login: ") is never ended, so a spot
    // that starts in a later read begins a line of its own.
    if (!m_telnetLine.isEmpty() && m_readStarts.size() < 64)
        m_readStarts.append(m_telnetLine.size());
    for (;;) {
        const qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            break;
        m_telnetLine.append(QStringView(text).mid(start, end + 1 - start));
        for (qsizetype i = 0; i < m_readStarts.size() && !isSpotLine(m_telnetLine); ++i) {
            if (isSpotLine(m_telnetLine.mid(m_readStarts[i])))
                m_telnetLine.remove(0, m_readStarts[i]);
        }
        m_readStarts.clear();
        if (isSpotLine(m_telnetLine)) {
            post(m_telnetLine);
            if (listDxOnly)
                m_terminal.append(m_telnetLine.chopped(1) + QLatin1String("\r\n"));
        }
        m_telnetLine.clear();
        start = end + 1;
    }
    m_telnetLine.append(QStringView(text).mid(start));
    if (lineTooLong(m_telnetLine.size())) {
        m_telnetLine.clear();
        m_readStarts.clear();
        ok = false;
    }
    return ok;
}

namespace {
QString withCrLf(const QString &text)
{
    QString out;
    out.reserve(text.size() + 16);
    for (const QChar c : text) {
        if (c == u'\r' || c == u'\n')
            out.append(QLatin1String("\r\n"));
        else
            out.append(c);
    }
    return out;
}
}  // namespace

void SpotReception::addAgwFrame(QChar kind, const QString &fromCall, const QString &data,
                                const QString &connectedCall)
{
    const QString fullText = withCrLf(QString(kind) + fromCall + u' ' + data);
    QString payload = withCrLf(data);
    const bool connected = !connectedCall.isEmpty();
    // Monitored frames start with the engine's header line; connected data has none.
    const bool monitored = kind != u'D' || !connected;
    if (monitored) {
        const qsizetype lf = payload.indexOf(u'\n');
        if (lf >= 0)
            payload.remove(0, lf + 1);
        payload = trimBlanks(payload);
    }

    // Every spot line of the frame is a spot; the rest is the station's text.
    QString chatter;
    bool anySpot = false;
    qsizetype start = 0;
    while (start < payload.size()) {
        qsizetype end = payload.indexOf(u'\n', start);
        end = end < 0 ? payload.size() : end + 1;
        const QString line = payload.mid(start, end - start);
        start = end;
        if (line == QLatin1String("\r\n"))
            continue;
        const qsizetype dx = line.indexOf(QLatin1String("DX"), 0, Qt::CaseInsensitive);
        if (dx == 0 || dx == 1) {
            anySpot = true;
            if (!m_terminal.recentlyShown(line)) {
                m_terminal.append(line);
                post(line);
            }
        } else {
            chatter += line;
        }
    }
    if (listDxOnly || chatter.isEmpty())
        return;
    if (connected) {
        if (!monitored && fromCall.compare(connectedCall, Qt::CaseInsensitive) == 0)
            m_terminal.append(chatter);
    } else if (!anySpot && !fullText.contains(QLatin1String("DX "))) {
        m_terminal.append(fullText);
    }
}
