#pragma once

#include <QRegularExpression>
#include <QString>

class QValidator;
class QObject;

// The dotted IPv4 pattern used by every address field of the suite.
namespace Ipv4Pattern {
extern const char kPattern[];
// The pattern anchored to the whole text.
const QRegularExpression& regex();
bool isValid(const QString& text);
// A validator for line edits, owned by parent.
QValidator* createValidator(QObject* parent);
}
