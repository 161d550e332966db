#pragma once

#include <QObject>
#include <QStringList>
#include <QTranslator>

class QActionGroup;

// The agent's two languages: index 0 English ("translate/en.qm"), 1 Chinese
// ("translate/zh.qm"). Process-wide singleton, deleted by the main window.
class Language : public QObject
{
    Q_OBJECT
public:
    static Language* instance();
    ~Language() override;

    // Loads catalogue `index`, installs it, stores the index and writes
    // system/language. An index other than 0 and 1 means English.
    void setLanguage(int index);
    // Reads system/language (0, written, when absent), applies it and checks
    // the matching action of the language menu group.
    void applyStored(QActionGroup* group);

    int current() const { return m_current; }
    // "Event_Chinese" for Chinese, "Event_English" otherwise.
    QString eventSection() const;

private:
    Language();

    static Language* s_instance;
    QStringList m_catalogues;
    QTranslator m_translator;
    bool m_installed = false;
    int m_current = 0;
};
