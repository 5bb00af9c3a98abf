#include "core/supercheck.h"

#include "core/appfolders.h"
#include "core/fieldfile.h"

#include <QFileInfo>

#include <algorithm>
#include <cstring>

namespace {
// Letters, digits and "/" each get their own code; anything else shares one, and the text check
// after the index lookup sorts those out.
constexpr int kBase = 40;
constexpr int kPieces2 = kBase * kBase;
constexpr int kPieces3 = kBase * kBase * kBase;

const char *const kSystemMasterScp = "/usr/share/hamradio-files/MASTER.SCP";

// Two passes over the calls: count the calls per piece, then fill. A piece that occurs twice in
// one call lists the call once.
void buildIndex(const std::vector<QByteArray> &calls, int length, int pieces,
                int (*key)(const char *, int), std::vector<uint32_t> &offsets,
                std::vector<uint32_t> &postings)
{
    offsets.assign(size_t(pieces) + 1, 0);
    std::vector<uint32_t> lastSeen(size_t(pieces), 0);  // call number + 1
    auto eachNewPiece = [&](auto use) {
        std::fill(lastSeen.begin(), lastSeen.end(), 0);
        for (size_t i = 0; i < calls.size(); ++i) {
            const QByteArray &c = calls[i];
            for (qsizetype p = 0; p + length <= c.size(); ++p) {
                const int k = key(c.constData() + p, length);
                if (lastSeen[k] != i + 1) {
                    lastSeen[k] = uint32_t(i + 1);
                    use(k, uint32_t(i));
                }
            }
        }
    };
    eachNewPiece([&](int k, uint32_t) { ++offsets[size_t(k) + 1]; });
    for (int k = 0; k < pieces; ++k)
        offsets[size_t(k) + 1] += offsets[size_t(k)];
    postings.assign(offsets.back(), 0);
    std::vector<uint32_t> fill(offsets.begin(), offsets.end() - 1);
    eachNewPiece([&](int k, uint32_t call) { postings[fill[k]++] = call; });
}
}  // namespace

int SuperCheckPartial::code(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 1;
    if (c >= '0' && c <= '9')
        return c - '0' + 27;
    if (c == '/')
        return 37;
    return 38;
}

int SuperCheckPartial::pieceKey(const char *p, int length)
{
    int k = 0;
    for (int i = 0; i < length; ++i)
        k = k * kBase + code(p[i]);
    return k;
}

bool SuperCheckPartial::load(const QString &path, QString *error)
{
    QByteArray bytes;
    if (!fieldfile::readFile(path, bytes, error)) {
        loadCalls({});
        return false;
    }
    // Straight from the bytes: the file is large and read at every start.
    m_calls.clear();
    for (const QByteArray &raw : bytes.split('\n')) {
        QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        addCall(line);
    }
    index();
    if (m_calls.empty()) {
        if (error)
            *error = QStringLiteral("%1 holds no calls.").arg(QFileInfo(path).fileName());
        return false;
    }
    return true;
}

void SuperCheckPartial::loadCalls(const QStringList &calls)
{
    m_calls.clear();
    m_calls.reserve(size_t(calls.size()));
    for (const QString &c : calls) {
        const QString call = c.trimmed();
        // Latin-1 turns anything it cannot hold into "?", which addCall refuses.
        addCall(call.toLatin1());
    }
    index();
}

void SuperCheckPartial::addCall(QByteArray call)
{
    // A call is one word of printable ASCII.
    if (call.isEmpty())
        return;
    for (char &c : call) {
        if (c <= ' ' || c > '~' || c == '?')
            return;
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    }
    m_calls.push_back(std::move(call));
}

void SuperCheckPartial::index()
{
    std::sort(m_calls.begin(), m_calls.end());
    m_calls.erase(std::unique(m_calls.begin(), m_calls.end()), m_calls.end());
    buildIndex(m_calls, 2, kPieces2, &SuperCheckPartial::pieceKey, m_offsets2, m_postings2);
    buildIndex(m_calls, 3, kPieces3, &SuperCheckPartial::pieceKey, m_offsets3, m_postings3);
}

QList<SuperCheckPartial::Match> SuperCheckPartial::matches(const QString &typed, int limit,
                                                           const QSet<QString> &worked) const
{
    QList<Match> out;
    const QByteArray t = typed.trimmed().toUpper().toLatin1();
    if (t.size() < kMinimumTyped || limit <= 0 || m_calls.empty())
        return out;
    // The rarest piece of the typed text narrows the calls to look at.
    const int length = t.size() >= 3 ? 3 : 2;
    const auto &offsets = length == 3 ? m_offsets3 : m_offsets2;
    const auto &postings = length == 3 ? m_postings3 : m_postings2;
    uint32_t from = 0, to = 0;
    bool first = true;
    for (qsizetype p = 0; p + length <= t.size(); ++p) {
        const int k = pieceKey(t.constData() + p, length);
        if (first || offsets[size_t(k) + 1] - offsets[size_t(k)] < to - from) {
            from = offsets[size_t(k)];
            to = offsets[size_t(k) + 1];
            first = false;
        }
    }
    // Calls that begin with the typed text come first (K3L: K3LR before 7K3LHX), then those
    // that hold it elsewhere; each group in the file's order.
    QList<Match> inside;
    for (uint32_t i = from; i < to && out.size() < limit; ++i) {
        const QByteArray &call = m_calls[postings[i]];
        if (!call.contains(t))
            continue;
        const QString text = QString::fromLatin1(call);
        (call.startsWith(t) ? out : inside).append({text, worked.contains(text)});
    }
    out.append(inside.mid(0, limit - out.size()));
    return out;
}

QString SuperCheckPartial::formatLine(const QList<Match> &matches)
{
    QString line;
    for (const Match &m : matches) {
        if (!line.isEmpty())
            line += u' ';
        line += m.worked ? u'(' + m.call + u')' : m.call;
    }
    return line;
}

QString locateMasterScp(const AppFolders &folders)
{
    const QString own = locateDataFile(folders, QString::fromLatin1(SuperCheckPartial::kFileName));
    if (QFileInfo::exists(own))
        return own;
    const QString system = QString::fromLatin1(kSystemMasterScp);
    return QFileInfo::exists(system) ? system : QString();
}
