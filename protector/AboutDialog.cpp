#include "AboutDialog.h"

#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_label(new QLabel(this))
{
    setFixedSize(400, 200);
    m_label->setWordWrap(true);
    m_label->setTextFormat(Qt::RichText);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    retranslate();
}

QString AboutDialog::text() const
{
    return m_label->text();
}

void AboutDialog::retranslate()
{
    setWindowTitle(tr("About"));
    m_label->setText(QStringLiteral("<html><span style=\"font-weight:bold; font-size:16px\">Upsguard v1.0.2")
                     + QStringLiteral("</span><br><br>") + tr("Built on") + QLatin1Char(' ')
                     + QStringLiteral(__DATE__) + QLatin1Char(' ') + QStringLiteral(__TIME__)
                     + QStringLiteral("<br><br>") + tr("The program is used for power off protection by SNMP.")
                     + QStringLiteral("</html>"));
}

void AboutDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}
