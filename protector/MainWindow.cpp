#include "MainWindow.h"

#include "AboutDialog.h"
#include "AgentDatabase.h"
#include "AgentSettings.h"
#include "CodeTextFile.h"
#include "Language.h"
#include "ListWidgetItem.h"
#include "LogDialog.h"
#include "MessageBox.h"
#include "SNMP.h"
#include "SettingsDialog.h"
#include "ShutdownController.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QCursor>
#include <QDateTime>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QSqlQuery>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolBar>
#include <QtDebug>

namespace {
const char kEventFile[] = "cfg/protector.cfg";
}

// The images live in protector_core, a static library: register them.
static void initResources()
{
    Q_INIT_RESOURCE(protector);
}

const QSet<int>& MainWindow::warningEvents()
{
    static const QSet<int> events{2,  3,  8,  13, 17, 19, 21, 22, 23, 27, 28, 31, 32, 34, 35, 36, 37,
                                  38, 39, 40, 48, 49, 51, 53, 55, 56, 57, 58, 59, 62, 63, 66, 72};
    return events;
}

MainWindow::MainWindow(PowerOff* powerOff, QWidget* parent)
    : QMainWindow(parent)
{
    initResources();
    m_eventTexts = new CodeTextFile(QString::fromLatin1(kEventFile));
    m_eventTexts->registerSelf();
    m_language = Language::instance();
    m_controller = new ShutdownController(powerOff, this);
    m_popWarning = AgentSettings::read(QStringLiteral("system/pop_warning")).toBool();

    buildUi();
    m_language->applyStored(m_languageGroup);
    retranslate();

    QSqlQuery query(AgentDatabase::database());
    if (query.exec(QStringLiteral("select ip from snmp_session;"))) {
        while (query.next())
            appendHostRow(query.value(0).toString());
    }

    connect(m_settingsAction, &QAction::triggered, this, &MainWindow::showSettingsDialog);
    connect(m_toolSettingsAction, &QAction::triggered, this, &MainWindow::showSettingsDialog);
    connect(m_aboutAction, &QAction::triggered, this, &MainWindow::showAboutDialog);
    connect(m_toolLogAction, &QAction::triggered, this, &MainWindow::showLogDialog);
    connect(m_languageGroup, &QActionGroup::triggered, this, &MainWindow::onLanguageChanged);
    connect(m_table, &QWidget::customContextMenuRequested, this, &MainWindow::onEventTableContextMenu);
    connect(&m_clockTimer, &QTimer::timeout, this, &MainWindow::updateClock);
    connect(m_controller, &ShutdownController::message, this, &MainWindow::onControllerMessage);
    m_clockTimer.start(1000);
}

MainWindow::~MainWindow()
{
    delete m_language;
    m_language = nullptr;
    delete m_eventTexts; // unregisters itself
    m_eventTexts = nullptr;
}

void MainWindow::buildUi()
{
    resize(720, 540);

    m_settingsMenu = menuBar()->addMenu(QString());
    m_settingsAction = m_settingsMenu->addAction(QIcon(QStringLiteral(":/image/settings.ico")), QString());
    m_languageMenu = menuBar()->addMenu(QString());
    m_languageGroup = new QActionGroup(this);
    m_languageGroup->setExclusive(true);
    m_englishAction = m_languageMenu->addAction(QStringLiteral("English"));
    m_chineseAction = m_languageMenu->addAction(QString::fromUtf8("中文"));
    for (QAction* action : {m_englishAction, m_chineseAction}) {
        action->setCheckable(true);
        m_languageGroup->addAction(action);
    }
    m_helpMenu = menuBar()->addMenu(QString());
    m_aboutAction = m_helpMenu->addAction(QIcon(QStringLiteral(":/image/about.ico")), QString());

    m_toolBar = addToolBar(QStringLiteral("main"));
    m_toolBar->setMovable(false);
    m_toolBar->setIconSize(QSize(48, 48));
    m_toolSettingsAction = m_toolBar->addAction(QIcon(QStringLiteral(":/image/settings.ico")), QString());
    m_toolBar->addSeparator();
    m_toolLogAction = m_toolBar->addAction(QIcon(QStringLiteral(":/image/log.ico")), QString());
    m_toolBar->addSeparator();

    m_clock = new QLabel(this);
    statusBar()->addPermanentWidget(m_clock);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    m_hosts = new QListWidget(splitter);
    m_table = new QTableWidget(0, 3, splitter);
    m_table->setColumnWidth(0, 130);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    splitter->addWidget(m_hosts);
    splitter->addWidget(m_table);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 7);
    setCentralWidget(splitter);
}

void MainWindow::retranslate()
{
    setWindowTitle(tr("Upsguard"));
    m_settingsMenu->setTitle(tr("Settings"));
    m_settingsAction->setText(tr("Settings"));
    m_languageMenu->setTitle(tr("Language"));
    m_helpMenu->setTitle(tr("Help"));
    m_aboutAction->setText(tr("About"));
    m_toolSettingsAction->setToolTip(tr("Settings"));
    m_toolSettingsAction->setText(tr("Settings"));
    m_toolLogAction->setToolTip(tr("Log"));
    m_toolLogAction->setText(tr("Log"));
    m_table->setHorizontalHeaderLabels({QCoreApplication::translate("MainWidget", "Time"),
                                        QCoreApplication::translate("MainWidget", "Object"),
                                        QCoreApplication::translate("MainWidget", "Event")});
}

void MainWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange && m_table)
        retranslate();
    QMainWindow::changeEvent(event);
}

void MainWindow::updateClock()
{
    m_clock->setText(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

QString MainWindow::eventText(int event) const
{
    if (!m_eventTexts)
        return QString();
    const QString section = m_language ? m_language->eventSection() : QStringLiteral("Event_English");
    return m_eventTexts->textOf(section, event);
}

ListWidgetItem* MainWindow::hostItem(int row) const
{
    QListWidgetItem* item = m_hosts->item(row);
    return item ? qobject_cast<ListWidgetItem*>(m_hosts->itemWidget(item)) : nullptr;
}

void MainWindow::appendHostRow(const QString& ip)
{
    m_hostList << ip;
    auto* widget = new ListWidgetItem(ip);
    auto* item = new QListWidgetItem(m_hosts);
    item->setSizeHint(QSize(widget->sizeHint().width(), 40));
    m_hosts->setItemWidget(item, widget);
}

void MainWindow::handleSNMPEvent(QString host, int event)
{
    storeSNMPEvent(host, event);
    const QString text = eventText(event);
    if (!text.isEmpty())
        displaySNMPEvent(host, text);
    if (m_popWarning && warningEvents().contains(event))
        MessageBox::warning(this, tr("Warning"), host + QLatin1Char(' ') + text, tr("Sure"));
}

void MainWindow::storeSNMPEvent(QString host, int event)
{
    QSqlQuery query(AgentDatabase::database());
    query.prepare(QStringLiteral(
        "insert into snmp_event(date, host, event) values(strftime('%s','now'), :1, :2);"));
    query.bindValue(QStringLiteral(":1"), host);
    query.bindValue(QStringLiteral(":2"), event);
    query.exec();
}

void MainWindow::displaySNMPEvent(QString host, QString event)
{
    if (m_table->rowCount() > 4999)
        m_table->removeRow(0);
    const int row = m_table->rowCount();
    m_table->insertRow(row);
    const QStringList cells{QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), host,
                            event};
    for (int column = 0; column < cells.size(); ++column) {
        auto* item = new QTableWidgetItem(cells.at(column));
        item->setTextAlignment(Qt::AlignCenter);
        m_table->setItem(row, column, item);
    }
    m_table->scrollToBottom();
}

void MainWindow::onControllerMessage(QString text)
{
    // Shutdown decisions also go to the log file.
    qInfo().noquote() << "System:" << text;
    displaySNMPEvent(tr("System"), text);
}

void MainWindow::handleSNMPStatus(QString host, int status)
{
    const int index = m_hostList.indexOf(host);
    if (index < 0)
        return;
    if (ListWidgetItem* widget = hostItem(index))
        widget->setStatus(status);
}

void MainWindow::handleSNMPData(QString host, QByteArray data)
{
    m_controller->checkShutdownCondition(host, data);
    const int index = m_hostList.indexOf(host);
    if (index < 0)
        return;
    if (ListWidgetItem* widget = hostItem(index))
        widget->setData(data);
}

void MainWindow::addSNMPHostEvent(SNMPInfo info)
{
    appendHostRow(info.ip);
    if (m_engine)
        m_engine->addHost(info);
}

void MainWindow::removeSNMPHostEvent(QString peer)
{
    if (m_engine)
        m_engine->removeHost(peer);
    const QString ip = peer.section(QLatin1Char(':'), 0, 0);
    const int index = m_hostList.indexOf(ip);
    if (index < 0 || !m_hosts->item(index))
        return;
    m_hostList.removeAll(ip);
    QListWidgetItem* item = m_hosts->item(index);
    m_hosts->removeItemWidget(item); // the view deletes the row widget later
    delete m_hosts->takeItem(index);
    if (!m_hostList.contains(ip))
        m_controller->forgetHost(ip);
}

void MainWindow::modifySNMPHostEvent(SNMPInfo infoNew, SNMPInfo infoOld)
{
    const int index = m_hostList.indexOf(infoOld.ip);
    if (index < 0 || !m_hosts->item(index))
        return;
    m_hostList[index] = infoNew.ip;
    if (ListWidgetItem* widget = hostItem(index)) {
        widget->setHost(infoNew.ip);
        widget->setStatus(0);
    }
    if (m_engine)
        m_engine->modifyHost(infoNew, infoOld);
}

void MainWindow::showAboutDialog()
{
    AboutDialog dialog(this);
    dialog.exec();
}

void MainWindow::showSettingsDialog()
{
    SettingsDialog dialog(this);
    connect(&dialog, &SettingsDialog::hostAdded, this, &MainWindow::addSNMPHostEvent);
    connect(&dialog, &SettingsDialog::hostRemoved, this, &MainWindow::removeSNMPHostEvent);
    connect(&dialog, &SettingsDialog::hostModified, this, &MainWindow::modifySNMPHostEvent);
    connect(&dialog, &SettingsDialog::popupStateChanged, this, &MainWindow::setPopWarning);
    dialog.exec();
}

void MainWindow::showLogDialog()
{
    LogDialog dialog(this);
    dialog.exec();
}

void MainWindow::onLanguageChanged(QAction* action)
{
    const int index = m_languageGroup->actions().indexOf(action);
    if (index >= 0)
        m_language->setLanguage(index);
}

void MainWindow::onEventTableContextMenu(QPoint pos)
{
    QMenu menu(this);
    QAction* clear = menu.addAction(tr("Clear content"));
    if (menu.exec(QCursor::pos()) == clear)
        clearEventTable();
}

void MainWindow::clearEventTable()
{
    m_table->clearContents();
    m_table->setRowCount(0);
}
