#pragma once

#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>

// Reader of the code-text files (trap.conf, log.conf, protector.cfg):
// sections of "$text = number" entries, looked up by section and number.
class CodeTextFile
{
public:
    struct Section
    {
        QMap<QString, QString> values; // entry text -> raw value text
        QMap<int, QString> texts;      // number -> entry text
        QStringList names;             // entry texts in file order
    };

    explicit CodeTextFile(const QString& path);
    ~CodeTextFile();

    QString textOf(const QString& section, int number) const;
    bool hasSection(const QString& section) const { return m_sections.contains(section); }
    Section section(const QString& name) const { return m_sections.value(name); }
    QStringList sectionNames() const { return m_sections.keys(); }
    QString path() const { return m_path; }

    // Parses text already in memory (used by the reader and by the fuzzer).
    void parse(const QByteArray& content);

    // Process-wide registry by file path, so that several windows share one
    // reader. register() replaces an earlier reader of the same path; the
    // destructor unregisters the reader.
    void registerSelf();
    static CodeTextFile* registered(const QString& path);

private:
    QString m_path;
    QMap<QString, Section> m_sections;
};
