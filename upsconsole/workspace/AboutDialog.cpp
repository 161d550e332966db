#include "AboutDialog.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>

const char AboutDialog::kVersion[] = "1.3.0";

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent)
{
    setFixedSize(400, 200);
    auto* row = new QHBoxLayout(this);
    m_logo = new QLabel(this);
    m_logo->hide();
    m_text = new QLabel(this);
    m_text->setWordWrap(true);
    row->addWidget(m_logo);
    row->addWidget(m_text);
    retranslate();
}

QString AboutDialog::text() const
{
    return m_text->text();
}

void AboutDialog::retranslate()
{
    setWindowTitle(tr("About"));
    m_text->setText(QStringLiteral("<html><span style=\"font-weight:bold; font-size:16px\">Upsconsole v") +
                    QLatin1String(kVersion) + QStringLiteral("</span><br><br>") + tr("Built on") +
                    QLatin1Char(' ') + QLatin1String(__DATE__) + QLatin1Char(' ') + QLatin1String(__TIME__) +
                    QStringLiteral("<br><br>") +
                    tr("The program is used for device management and settings by SNMP.") +
                    QStringLiteral("</html>"));
}

void AboutDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}
