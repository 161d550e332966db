#include "CodeTextFile.h"

#include <QFile>
#include <QMutex>

namespace {
QMutex g_registryMutex;
QHash<QString, CodeTextFile*> g_registry;

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool isTrailing(QChar c)
{
    return isBlank(c) || c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

// "$ text = value # comment" -> "text=value" with the blanks the format
// allows removed.
QString cutEntry(const QString& line)
{
    QString s = line;
    const int hash = s.indexOf(QLatin1Char('#'));
    if (hash >= 0)
        s.truncate(hash);
    int end = s.size();
    while (end > 0 && isTrailing(s.at(end - 1)))
        --end;
    s.truncate(end);

    QString out;
    out.reserve(s.size());
    out.append(QLatin1Char('$'));
    int i = 1;
    while (i < s.size() && isBlank(s.at(i)))
        ++i;
    const int eq = s.indexOf(QLatin1Char('='), i);
    if (eq < 0) {
        out.append(s.midRef(i));
        return out;
    }
    int textEnd = eq;
    while (textEnd > i && isBlank(s.at(textEnd - 1)))
        --textEnd;
    out.append(s.midRef(i, textEnd - i));
    out.append(QLatin1Char('='));
    int v = eq + 1;
    while (v < s.size() && isBlank(s.at(v)))
        ++v;
    out.append(s.midRef(v));
    return out;
}

int toNumber(const QString& value)
{
    bool ok = false;
    int n = 0;
    if (value.startsWith(QLatin1String("0x")))
        n = value.mid(2).toInt(&ok, 16);
    else
        n = value.toInt(&ok, 10);
    return ok ? n : 0;
}
}

CodeTextFile::CodeTextFile(const QString& path)
    : m_path(path)
{
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    parse(file.readAll());
}

CodeTextFile::~CodeTextFile()
{
    QMutexLocker lock(&g_registryMutex);
    auto it = g_registry.find(m_path);
    if (it != g_registry.end() && it.value() == this)
        g_registry.erase(it);
}

void CodeTextFile::parse(const QByteArray& content)
{
    bool open = false;
    QString name;
    Section current;

    const QList<QByteArray> lines = content.split('\n');
    for (const QByteArray& raw : lines) {
        const QString line = QString::fromUtf8(raw);
        if (line.startsWith(QLatin1Char('['))) {
            const int close = line.indexOf(QLatin1Char(']'), 1);
            if (close > 0) {
                if (open)
                    m_sections.insert(name, current);
                name = line.mid(1, close - 1);
                current = Section();
                open = true;
                continue;
            }
        }
        if (!open || !line.startsWith(QLatin1Char('$')))
            continue;
        const QString cut = cutEntry(line);
        const int eq = cut.indexOf(QLatin1Char('='), 1);
        if (eq < 0) {
            current.names.append(cut.mid(1));
            continue;
        }
        const QString text = cut.mid(1, eq - 1);
        const QString value = cut.mid(eq + 1);
        if (!value.isEmpty()) {
            current.values.insert(text, value);
            current.texts.insert(toNumber(value), text);
        }
        current.names.append(text);
    }
    if (open)
        m_sections.insert(name, current);
}

QString CodeTextFile::textOf(const QString& section, int number) const
{
    auto it = m_sections.constFind(section);
    if (it == m_sections.constEnd())
        return QString();
    return it->texts.value(number);
}

void CodeTextFile::registerSelf()
{
    QMutexLocker lock(&g_registryMutex);
    g_registry.insert(m_path, this);
}

CodeTextFile* CodeTextFile::registered(const QString& path)
{
    QMutexLocker lock(&g_registryMutex);
    return g_registry.value(path, nullptr);
}
