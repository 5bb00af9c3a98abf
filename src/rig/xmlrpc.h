#pragma once
#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVariantList>

// The little of XML-RPC a modem program's control interface needs: a call with string, integer,
// double or boolean parameters, and one value (or a fault) back.
namespace xmlrpc {

QByteArray request(const QString &method, const QVariantList &params = {});

struct Response {
    bool ok = false;
    QVariant value;  // QString, int, double or bool; invalid for an empty answer
    QString fault;   // when not ok: the fault string or what was wrong with the answer
};
Response parse(const QByteArray &body);

}  // namespace xmlrpc
