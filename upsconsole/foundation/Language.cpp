#include "Language.h"

#include "AppContext.h"

#include <QDebug>
#include <QDomDocument>
#include <QFile>

class LanguagePrivate
{
public:
    int currentIndex = 0;
    QVector<int> codes;
    QStringList names;
    QStringList locales;
};

Language* Language::instance()
{
    static Language* language = new Language();
    return language;
}

Language::Language()
    : d(new LanguagePrivate)
{
    initConfig();
}

Language::~Language()
{
    delete d;
}

void Language::reload()
{
    *d = LanguagePrivate();
    initConfig();
}

void Language::initConfig()
{
    QFile file(AppContext::appPath(QStringLiteral("cfg/LanList.xml")));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qDebug() << "Language file open failed," << file.errorString();
        return;
    }
    QDomDocument doc;
    QString message;
    int line = 0;
    int column = 0;
    if (!doc.setContent(&file, &message, &line, &column)) {
        qDebug() << "Error: Parse error at line " + QString::number(line) + ", " + "column "
                        + QString::number(column) + ": " + message;
        return;
    }
    const QDomElement root = doc.documentElement();
    if (root.tagName() != QLatin1String("Languages")) {
        qDebug() << "Language file corrupted.";
        return;
    }
    for (QDomElement e = root.firstChildElement(QStringLiteral("Language")); !e.isNull();
         e = e.nextSiblingElement(QStringLiteral("Language"))) {
        d->codes.append(e.attribute(QStringLiteral("Code")).toInt());
        d->names.append(e.attribute(QStringLiteral("Name")));
        d->locales.append(e.attribute(QStringLiteral("Locale")));
    }
}

QStringList Language::names() const { return d->names; }
QVector<int> Language::codes() const { return d->codes; }
QStringList Language::locales() const { return d->locales; }
int Language::currentIndex() const { return d->currentIndex; }

void Language::setCurrentIndex(int index)
{
    if (index >= 0 && index < d->codes.size())
        d->currentIndex = index;
}

int Language::currentCode() const
{
    if (d->codes.isEmpty())
        return -1;
    return d->codes.value(d->currentIndex, -1);
}

QString Language::currentLocale() const
{
    if (d->locales.isEmpty())
        return QString();
    return d->locales.value(d->currentIndex);
}
