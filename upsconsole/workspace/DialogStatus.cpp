#include "DialogStatus.h"

#include "AppContext.h"
#include "CodeTextFile.h"
#include "Language.h"

#include <QDateTime>
#include <QEvent>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

DialogStatus::DialogStatus(QWidget* parent) : QDialog(parent)
{
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(480, 360);

    auto* box = new QVBoxLayout(this);
    m_table = new QTableWidget(0, 3, this);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    box->addWidget(m_table);

    m_texts = new CodeTextFile(AppContext::appDir() + QStringLiteral("/cfg/trap.conf"));
    retranslate();
}

DialogStatus::~DialogStatus()
{
    delete m_texts;
}

QString DialogStatus::statusText(int trap) const
{
    return m_texts->textOf(QStringLiteral("Event_") + Language::instance()->currentLocale(), trap);
}

void DialogStatus::addStatus(const QString& ipv4, int trap)
{
    const QString date = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    m_entries.prepend(Entry{date, ipv4, trap});
    m_table->insertRow(0);
    const QStringList cells{date, ipv4, statusText(trap)};
    for (int c = 0; c < cells.size(); ++c) {
        auto* item = new QTableWidgetItem(cells.at(c));
        item->setTextAlignment(Qt::AlignCenter);
        m_table->setItem(0, c, item);
    }
    if (m_entries.size() > kMaxEntries) {
        m_entries.removeLast();
        m_table->removeRow(m_table->rowCount() - 1);
    }
}

void DialogStatus::retranslate()
{
    setWindowTitle(tr("Status list"));
    m_table->setHorizontalHeaderLabels({tr("Date"), tr("IP"), tr("Status")});
    m_table->clearContents();
    m_table->setRowCount(m_entries.size());
    for (int r = 0; r < m_entries.size(); ++r) {
        const Entry& e = m_entries.at(r);
        m_table->setItem(r, 0, new QTableWidgetItem(e.date));
        m_table->setItem(r, 1, new QTableWidgetItem(e.ipv4));
        m_table->setItem(r, 2, new QTableWidgetItem(statusText(e.trap)));
    }
}

void DialogStatus::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}
