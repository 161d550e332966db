#include "AttributeDialog.h"

#include "WorkspaceCommon.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QSqlQuery>
#include <QVariant>

AttributeDialog::AttributeDialog(int kind, QWidget* parent) : QDialog(parent), m_kind(kind)
{
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(300, 300);
    auto* grid = new QGridLayout(this);
    const int rows = m_kind == 0 ? 5 : 7;
    for (int i = 0; i < rows; ++i) {
        auto* caption = new QLabel(this);
        auto* value = new QLabel(this);
        value->setTextFormat(Qt::PlainText);
        value->setWordWrap(true);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(caption, i, 0);
        grid->addWidget(value, i, 1);
        m_captions.append(caption);
        m_values.append(value);
    }
    grid->setColumnStretch(1, 1);
    retranslate();
}

QString AttributeDialog::valueText(int row) const
{
    return row >= 0 && row < m_values.size() ? m_values.at(row)->text() : QString();
}

QString AttributeDialog::captionText(int row) const
{
    return row >= 0 && row < m_captions.size() ? m_captions.at(row)->text() : QString();
}

void AttributeDialog::retranslate()
{
    setWindowTitle(tr("Attribute"));
    if (m_kind == 0) {
        const QStringList captions{tr("Name:"), tr("Attribute:"), tr("Number of substations:"),
                                   tr("Number of devices:"), tr("Create time:")};
        for (int i = 0; i < captions.size(); ++i)
            m_captions[i]->setText(captions.at(i));
        m_values[1]->setText(tr("station"));
    } else {
        const QStringList captions{tr("Name:"),          tr("Attribute:"),         tr("IP address:"),
                                   tr("Position:"),      tr("Administrator:"),     tr("Belong to station:"),
                                   tr("Create time:")};
        for (int i = 0; i < captions.size(); ++i)
            m_captions[i]->setText(captions.at(i));
        m_values[1]->setText((m_threePhase ? tr("three phase ") : QString()) + tr("device"));
    }
}

void AttributeDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

void AttributeDialog::fillStation(int stationId, int substations, int devices)
{
    QSqlQuery query(Workspace::globalDb());
    query.prepare(QStringLiteral("select name, create_time from station where id=?;"));
    query.addBindValue(stationId);
    if (query.exec() && query.next()) {
        m_values[0]->setText(query.value(0).toString());
        m_values[4]->setText(Workspace::formatTime(query.value(1).toLongLong()));
    }
    m_values[2]->setText(QString::number(substations));
    m_values[3]->setText(QString::number(devices));
    retranslate();
}

void AttributeDialog::fillDevice(const QString& ipv4, const QString& stationName)
{
    QSqlQuery query(Workspace::globalDb());
    query.prepare(QStringLiteral(
        "select create_time, name, position, admin, is_three_phase from device where device_ip=?;"));
    query.addBindValue(ipv4);
    m_threePhase = false;
    if (query.exec() && query.next()) {
        m_values[6]->setText(Workspace::formatTime(query.value(0).toLongLong()));
        m_values[0]->setText(query.value(1).toString());
        m_values[3]->setText(query.value(2).toString());
        m_values[4]->setText(query.value(3).toString());
        m_threePhase = query.value(4).toInt() != 0;
    }
    m_values[2]->setText(ipv4);
    m_values[5]->setText(stationName);
    retranslate();
}

int AttributeDialog::showStation(int stationId, int substations, int devices)
{
    fillStation(stationId, substations, devices);
    return exec();
}

int AttributeDialog::showDevice(const QString& ipv4, const QString& stationName)
{
    fillDevice(ipv4, stationName);
    return exec();
}
