#include "rig/xmlrpc.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace xmlrpc {

QByteArray request(const QString &method, const QVariantList &params)
{
    QByteArray out;
    QXmlStreamWriter x(&out);  // escapes whatever text goes out to be transmitted
    x.writeStartDocument();
    x.writeStartElement(QStringLiteral("methodCall"));
    x.writeTextElement(QStringLiteral("methodName"), method);
    x.writeStartElement(QStringLiteral("params"));
    for (const QVariant &p : params) {
        x.writeStartElement(QStringLiteral("param"));
        x.writeStartElement(QStringLiteral("value"));
        switch (p.typeId()) {
        case QMetaType::Bool: x.writeTextElement(QStringLiteral("boolean"), p.toBool() ? "1" : "0"); break;
        case QMetaType::Int: x.writeTextElement(QStringLiteral("int"), QString::number(p.toInt())); break;
        case QMetaType::Double: x.writeTextElement(QStringLiteral("double"), QString::number(p.toDouble(), 'f', 3)); break;
        default: x.writeTextElement(QStringLiteral("string"), p.toString()); break;
        }
        x.writeEndElement();
        x.writeEndElement();
    }
    x.writeEndElement();
    x.writeEndElement();
    x.writeEndDocument();
    return out;
}

namespace {
// The value inside the current <value> element; the reader stands on its start.
QVariant readValue(QXmlStreamReader &x)
{
    QVariant result;
    bool typed = false;
    QString bare;
    while (!x.atEnd()) {
        const auto t = x.readNext();
        if (t == QXmlStreamReader::Characters && !typed) {
            bare += x.text();
        } else if (t == QXmlStreamReader::StartElement) {
            const QString type = x.name().toString();
            const QString text = x.readElementText(QXmlStreamReader::IncludeChildElements);
            typed = true;
            if (type == u"i4" || type == u"int")
                result = text.trimmed().toInt();
            else if (type == u"double")
                result = text.trimmed().toDouble();
            else if (type == u"boolean")
                result = text.trimmed() == u"1";
            else if (type == u"string")
                result = text;
            else
                result = text;  // structs and arrays are not asked for; their text is kept
        } else if (t == QXmlStreamReader::EndElement && x.name() == u"value") {
            break;
        }
    }
    return typed ? result : QVariant(bare);  // an untyped value is a string
}
}  // namespace

Response parse(const QByteArray &body)
{
    Response r;
    QXmlStreamReader x(body);
    bool inFault = false, sawResponse = false;
    while (!x.atEnd()) {
        if (x.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QStringView name = x.name();
        if (name == u"methodResponse") {
            sawResponse = true;
        } else if (name == u"fault") {
            inFault = true;
        } else if (name == u"value") {
            const QVariant v = readValue(x);
            if (inFault) {
                const QString text = v.toString();
                r.fault = text.isEmpty() ? QStringLiteral("the call failed") : text.simplified();
                return r;
            }
            r.ok = true;
            r.value = v;
            return r;
        }
    }
    if (x.hasError())
        r.fault = QStringLiteral("the answer is not XML-RPC (%1)").arg(x.errorString());
    else if (!sawResponse)
        r.fault = QStringLiteral("the answer is not XML-RPC");
    else
        r.ok = true;  // a response without a value: a call that returns nothing
    return r;
}

}  // namespace xmlrpc
