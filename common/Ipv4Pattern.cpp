#include "Ipv4Pattern.h"

#include <QRegularExpressionValidator>

namespace Ipv4Pattern {

const char kPattern[] =
    "((25[0-5]|2[0-4]\\d|((1\\d{2})|([1-9]?\\d)))\\.){3}(25[0-5]|2[0-4]\\d|((1\\d{2})|([1-9]?\\d)))";

const QRegularExpression& regex()
{
    static const QRegularExpression re(QRegularExpression::anchoredPattern(QString::fromLatin1(kPattern)));
    return re;
}

bool isValid(const QString& text)
{
    return regex().match(text).hasMatch();
}

QValidator* createValidator(QObject* parent)
{
    return new QRegularExpressionValidator(QRegularExpression(QString::fromLatin1(kPattern)), parent);
}

}
