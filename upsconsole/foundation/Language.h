#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

class LanguagePrivate;

// The console's language list from cfg/LanList.xml and the language in force.
class Language
{
public:
    static Language* instance();
    // Reads the list again (tests change cfg/LanList.xml between cases).
    void reload();

    QStringList names() const;
    QVector<int> codes() const;
    QStringList locales() const;
    int currentIndex() const;
    void setCurrentIndex(int index);
    int currentCode() const;      // -1 when the list is empty
    QString currentLocale() const; // empty when the list is empty

private:
    Language();
    ~Language();
    void initConfig();
    LanguagePrivate* d;
};
