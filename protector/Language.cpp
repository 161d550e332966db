#include "Language.h"

#include "AgentSettings.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>

Language* Language::s_instance = nullptr;

Language* Language::instance()
{
    if (!s_instance)
        s_instance = new Language;
    return s_instance;
}

Language::Language()
    : m_catalogues{QStringLiteral("translate/en.qm"), QStringLiteral("translate/zh.qm")}
{
}

Language::~Language()
{
    if (m_installed)
        QCoreApplication::removeTranslator(&m_translator);
    if (s_instance == this)
        s_instance = nullptr;
}

void Language::setLanguage(int index)
{
    if (index < 0 || index >= m_catalogues.size())
        index = 0;
    if (m_translator.load(m_catalogues.at(index))) {
        // Installing sends the language-change event to every widget; the
        // translator is never in the application's list twice.
        if (m_installed)
            QCoreApplication::removeTranslator(&m_translator);
        QCoreApplication::installTranslator(&m_translator);
        m_installed = true;
    } else if (m_installed) {
        // A missing catalogue leaves the built-in English texts, not the
        // previous language.
        QCoreApplication::removeTranslator(&m_translator);
        m_installed = false;
    }
    m_current = index;
    AgentSettings::write(QStringLiteral("system/language"), index);
}

void Language::applyStored(QActionGroup* group)
{
    const QVariant stored = AgentSettings::read(QStringLiteral("system/language"));
    int index = 0;
    if (!stored.isValid())
        AgentSettings::write(QStringLiteral("system/language"), 0);
    else
        index = stored.toInt();
    setLanguage(index);
    if (group) {
        const QList<QAction*> actions = group->actions();
        if (m_current >= 0 && m_current < actions.size())
            actions.at(m_current)->setChecked(true);
    }
}

QString Language::eventSection() const
{
    return m_current == 1 ? QStringLiteral("Event_Chinese") : QStringLiteral("Event_English");
}
