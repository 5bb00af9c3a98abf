#include "voice/spokenmessage.h"

#include "core/fieldfile.h"
#include "platform/waveplayer.h"

#include <QDir>
#include <QFile>

namespace spokenmessage {

namespace {
const char *const kPhonetic[26] = {"Alfa",  "Bravo",   "Charlie", "Delta",  "Echo",    "Foxtrot", "Golf",
                                   "Hotel", "India",   "Juliett", "Kilo",   "Lima",    "Mike",    "November",
                                   "Oscar", "Papa",    "Quebec",  "Romeo",  "Sierra",  "Tango",   "Uniform",
                                   "Victor", "Whiskey", "X-ray",  "Yankee", "Zulu"};

void spell(const QString &text, bool phonetic, QStringList &out)
{
    for (const QChar c : text.trimmed().toUpper()) {
        if (c == u'/')
            out << QStringLiteral("stroke");
        else if (c >= u'A' && c <= u'Z')
            out << (phonetic ? QString::fromLatin1(kPhonetic[c.unicode() - 'A']) : QString(c));
        else if (c.isDigit())
            out << QString(c);
    }
}

QString recordingFor(const QString &folder, const QString &part)
{
    return fieldfile::resolvePath(folder, part + QStringLiteral(".wav"));
}
}  // namespace

bool isSpoken(const QString &text)
{
    return text.contains(u'$') || text.contains(u'#');
}

QStringList parts(const QString &text, const QString &call, const QString &number, bool phonetic)
{
    QStringList out;
    QString word;
    auto endWord = [&] {
        if (!word.isEmpty())
            out << word;
        word.clear();
    };
    for (const QChar c : text) {
        if (c == u'$' || c == u'#') {
            endWord();
            spell(c == u'$' ? call : number, phonetic, out);
        } else if (c.isSpace()) {
            endWord();
        } else {
            word += c;
        }
    }
    endWord();
    return out;
}

bool fromRecordings(const QStringList &parts, const QString &folder, const QString &wavPath, QString *why)
{
    QByteArray samples;
    wavefile::Info format;
    for (const QString &part : parts) {
        const QString path = recordingFor(folder, part);
        const wavefile::Info info = wavefile::inspect(path);
        if (!info.problem.isEmpty()) {
            if (why)
                *why = QStringLiteral("%1.wav: %2").arg(part, info.problem);
            return false;
        }
        if (format.sampleRate == 0) {
            format = info;
        } else if (info.sampleRate != format.sampleRate || info.channels != format.channels || info.bits != format.bits) {
            if (why)
                *why = QStringLiteral("%1.wav is recorded in another format than the others").arg(part);
            return false;
        }
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly) || !f.seek(info.dataOffset)) {
            if (why)
                *why = QStringLiteral("%1.wav cannot be read").arg(part);
            return false;
        }
        samples += f.read(info.dataBytes);
    }
    if (format.sampleRate == 0 || format.bits != 16) {
        if (why)
            *why = parts.isEmpty() ? QStringLiteral("the message says nothing") : QStringLiteral("the recordings are not 16-bit");
        return false;
    }
    QDir().mkpath(QFileInfo(wavPath).absolutePath());
    return fieldfile::writeFileAtomic(wavPath, wavefile::header16(format.sampleRate, format.channels, quint32(samples.size())) + samples, why);
}

QString synthText(const QStringList &parts)
{
    return parts.join(QStringLiteral(", "));
}

}  // namespace spokenmessage
