#include "FixedParamPage.h"

#include "CardFrame.h"
#include "FileDialog.h"
#include "MessageBox.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTableWidget>
#include <QVBoxLayout>

FixedParamPage::FixedParamPage(QWidget* parent) : QWidget(parent)
{
    m_table = new QTableWidget(0, 2, this);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_btnRead = new QPushButton(this);
    m_btnWrite = new QPushButton(this);
    m_btnAdd = new QPushButton(this);
    m_btnReset = new QPushButton(this);
    m_btnBackup = new QPushButton(this);
    m_btnLoad = new QPushButton(this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_btnRead);
    buttons->addWidget(m_btnWrite);
    buttons->addWidget(m_btnAdd);
    buttons->addWidget(m_btnReset);
    buttons->addStretch();
    buttons->addWidget(m_btnBackup);
    buttons->addWidget(m_btnLoad);
    auto* vbox = new QVBoxLayout(this);
    vbox->addWidget(m_table);
    vbox->addLayout(buttons);
    retranslate();

    connect(m_btnRead, &QPushButton::clicked, this, [this] { emit sendCmd(CardCmd::ReadFixedParams, QByteArray()); });
    connect(m_btnWrite, &QPushButton::clicked, this, &FixedParamPage::sendFixedParam);
    connect(m_btnAdd, &QPushButton::clicked, this, &FixedParamPage::addFixedParam);
    connect(m_btnReset, &QPushButton::clicked, this, &FixedParamPage::resetFixedParam);
    connect(m_btnBackup, &QPushButton::clicked, this, &FixedParamPage::backupFixedParam);
    connect(m_btnLoad, &QPushButton::clicked, this, &FixedParamPage::loadFixedParam);
    connect(m_table, &QTableWidget::cellChanged, this, &FixedParamPage::handleCellChangedEvent);
}

void FixedParamPage::retranslate()
{
    m_table->setHorizontalHeaderLabels({tr("Item"), tr("value")});
    m_btnRead->setText(tr("Read"));
    m_btnWrite->setText(tr("Write"));
    m_btnAdd->setText(tr("Add"));
    m_btnReset->setText(tr("Reset"));
    m_btnBackup->setText(tr("Backup"));
    m_btnLoad->setText(tr("Load"));
}

void FixedParamPage::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

bool FixedParamPage::isValidMac(const QString& value)
{
    static const QRegularExpression re(QStringLiteral("^([A-Fa-f0-9]{2}:){5}[A-Fa-f0-9]{2}$"));
    return re.match(value).hasMatch();
}

QString FixedParamPage::withMacColons(const QString& value)
{
    if (value.size() != 12 || value.contains(QLatin1Char(':')))
        return value;
    QString out = value;
    for (int pos : {2, 5, 8, 11, 14})
        out.insert(pos, QLatin1Char(':'));
    return out;
}

void FixedParamPage::setRow(int row, const QString& name, const QString& value)
{
    auto* nameItem = new QTableWidgetItem(name);
    nameItem->setTextAlignment(Qt::AlignCenter);
    auto* valueItem = new QTableWidgetItem(value);
    valueItem->setTextAlignment(Qt::AlignCenter);
    m_table->setItem(row, 0, nameItem);
    m_table->setItem(row, 1, valueItem);
}

void FixedParamPage::handleRespond(int cmd, const quint8* data, int size)
{
    if (cmd != CardCmd::ReadFixedParams)
        return;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray(reinterpret_cast<const char*>(data), size), &error);
    if (doc.isNull() || error.error != QJsonParseError::NoError || !doc.isObject()) {
        MessageBox::warning(this, tr("Warning"), tr("Read fixed parameters failed!"), tr("Sure"));
        return;
    }
    const QJsonObject object = doc.object();
    m_table->clearContents();
    m_table->setRowCount(object.size());
    int row = 0;
    for (auto it = object.begin(); it != object.end(); ++it, ++row)
        setRow(row, it.key(), it.value().isString() ? it.value().toString() : QString());
    MessageBox::information(this, tr("Information"), tr("Read fixed parameters finished!"), tr("Sure"));
}

void FixedParamPage::sendFixedParam()
{
    if (m_table->rowCount() == 0)
        return;
    QJsonObject object;
    bool invalid = false;
    bool skipped = false;
    for (int row = 0; row < m_table->rowCount(); ++row) {
        QTableWidgetItem* nameItem = m_table->item(row, 0);
        QTableWidgetItem* valueItem = m_table->item(row, 1);
        if (!nameItem || !valueItem)
            continue;
        const QString name = nameItem->text();
        const QString value = valueItem->text();
        if (name.compare(QLatin1String("ethaddr"), Qt::CaseInsensitive) == 0 && !isValidMac(value))
            invalid = true;
        if (name.isEmpty() || value.isEmpty())
            skipped = true;
        else
            object.insert(name, value);
    }
    if (object.isEmpty() || invalid) {
        MessageBox::warning(this, tr("Warning"), tr("Invaild settings!"), tr("Sure"));
        return;
    }
    if (skipped) {
        const int answer = MessageBox::warning(
            this, tr("Warning"),
            tr("There is item or value is empty! And these will no be set to device!\nDo you want to continue?"),
            tr("Yes"), tr("No"));
        if (answer != 0)
            return;
    }
    emit sendCmd(CardCmd::WriteFixedParams, QJsonDocument(object).toJson(QJsonDocument::Compact));
}

void FixedParamPage::handleCellChangedEvent(int row, int column)
{
    if (column != 1)
        return;
    QTableWidgetItem* nameItem = m_table->item(row, 0);
    QTableWidgetItem* valueItem = m_table->item(row, 1);
    if (!nameItem || !valueItem || nameItem->text().compare(QLatin1String("ethaddr"), Qt::CaseInsensitive) != 0)
        return;
    const QString fixed = withMacColons(valueItem->text());
    if (fixed != valueItem->text())
        valueItem->setText(fixed);
}

void FixedParamPage::addFixedParam()
{
    const int row = m_table->rowCount();
    m_table->setRowCount(row + 1);
    setRow(row, QString(), QString());
}

void FixedParamPage::resetFixedParam()
{
    m_table->clearContents();
    m_table->setRowCount(3);
    setRow(0, tr("name"), QString());
    setRow(1, tr("devserial"), QString());
    setRow(2, tr("ethaddr"), QString());
}

void FixedParamPage::backupFixedParam()
{
    if (m_table->rowCount() == 0) {
        MessageBox::information(this, tr("Information"), tr("No content to backup!"), tr("Sure"));
        return;
    }
    const QString path = FileDialog::getSaveFileName(this, tr("Save fixed parameter file"),
                                                     QCoreApplication::applicationDirPath(), tr("(*.ini)"));
    if (path.isEmpty())
        return;
    QSettings settings(path, QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("fixed_param"));
    for (int row = 0; row < m_table->rowCount(); ++row) {
        QTableWidgetItem* nameItem = m_table->item(row, 0);
        QTableWidgetItem* valueItem = m_table->item(row, 1);
        if (nameItem && valueItem && !nameItem->text().isEmpty() && !valueItem->text().isEmpty())
            settings.setValue(nameItem->text(), valueItem->text());
    }
    settings.endGroup();
    settings.sync();
    MessageBox::information(this, tr("Information"), tr("Save fixed parameter success!"), tr("Sure"));
}

void FixedParamPage::loadFixedParam()
{
    const QString path = FileDialog::getOpenFileName(this, tr("Choose fixed parameter file"),
                                                     QCoreApplication::applicationDirPath(), tr("(*.ini)"));
    if (path.isEmpty())
        return;
    m_table->clearContents();
    QSettings settings(path, QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("fixed_param"));
    const QStringList keys = settings.childKeys();
    m_table->setRowCount(keys.size());
    for (int row = 0; row < keys.size(); ++row)
        setRow(row, keys[row], settings.value(keys[row]).toString());
    settings.endGroup();
    MessageBox::information(this, tr("Information"), tr("Load fixed parameter success!"), tr("Sure"));
}
