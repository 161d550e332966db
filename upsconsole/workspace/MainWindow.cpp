#include "MainWindow.h"

#include "AboutDialog.h"
#include "AppContext.h"
#include "Database.h"
#include "DlgUser.h"
#include "Language.h"
#include "MainWidget.h"
#include "ManageTreeView.h"
#include "SNMP.h"
#include "SysSettingsDialog.h"
#include "WorkspaceCommon.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCompleter>
#include <QDateTime>
#include <QDockWidget>
#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QSqlQuery>
#include <QStatusBar>
#include <QStringListModel>
#include <QTimer>
#include <QToolBar>
#include <QTranslator>
#include <QVBoxLayout>

#include "DialogSettingsEmail.h"
#include "DevSearchDialog.h"

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent)
{
    Workspace::ensureResources();
    m_translator = new QTranslator(this);
    m_devSearch = new DevSearchDialog(nullptr);

    setupForm();
    setupLanguageMenu();

    m_completerModel = new QStringListModel(this);
    m_completer = new QCompleter(m_completerModel, this);
    m_completer->setCaseSensitivity(Qt::CaseSensitive);
    m_search->setCompleter(m_completer);

    m_tree = new ManageTreeView(m_dock);
    m_dock->widget()->layout()->addWidget(m_tree);

    QSettings* settings = AppContext::instance()->settings;
    const int mode = settings ? settings->value(QStringLiteral("display_mode"), 0).toInt() : 0;
    (mode != 0 ? m_actIconMode : m_actTableMode)->setChecked(true);

    m_view = new MainWidget(this);
    setCentralWidget(m_view);
    handleDisplayModeChanged(m_modeGroup->checkedAction());

    connect(m_actSystem, &QAction::triggered, this, &MainWindow::displaySysSettingsDlg);
    connect(m_actEmail, &QAction::triggered, this, &MainWindow::displayDlgEmailSettings);
    connect(m_actUser, &QAction::triggered, this, &MainWindow::displayUserDlg);
    connect(m_actSearchDevice, &QAction::triggered, this, &MainWindow::displaySearchDeviceDlg);
    connect(m_actDevicePanel, &QAction::toggled, m_view, &MainWidget::showDevicePanel);
    connect(m_modeGroup, &QActionGroup::triggered, this, &MainWindow::handleDisplayModeChanged);
    connect(m_actManage, &QAction::triggered, this, &MainWindow::displayManageWindow);
    connect(m_actToolBar, &QAction::triggered, this, &MainWindow::displayToolBarWindow);
    connect(m_actAbout, &QAction::triggered, this, &MainWindow::displayAboutDlg);
    connect(m_languageGroup, &QActionGroup::triggered, this, &MainWindow::onLanguageTriggered);
    connect(m_actMinimize, &QAction::triggered, this, &QWidget::hide);
    connect(m_actDisplay, &QAction::triggered, this, &QWidget::showNormal);
    connect(m_actQuit, &QAction::triggered, qApp, &QCoreApplication::quit);

    m_clockTimer = new QTimer(this);
    m_clockTimer->start(1000);
    onTimerTimeTimeout();

    connect(m_tree, &ManageTreeView::stationChanged, m_view, &MainWidget::handleStationChanged);
    connect(m_tree, &ManageTreeView::addStationSuccess, m_view, &MainWidget::handleAddStationEvent);
    connect(m_view, &MainWidget::deviceChanged, m_tree, &ManageTreeView::handleDeviceChanged);
    if (SNMP::exists())
        connect(SNMP::instance(), &SNMP::stateChanged, m_tree, &ManageTreeView::updateState);
    connect(m_search, &QLineEdit::textChanged, this, &MainWindow::onSearchTextChanged);
    connect(m_completer, QOverload<const QString&>::of(&QCompleter::activated), this, &MainWindow::jumpToStation);
    connect(m_tray, &QSystemTrayIcon::activated, this, &MainWindow::onTrayActivated);
    connect(m_clockTimer, &QTimer::timeout, this, &MainWindow::onTimerTimeTimeout);
}

MainWindow::~MainWindow()
{
    delete m_devSearch;
    m_devSearch = nullptr;
    // The views go first: they must not outlive the engine and the database
    // they read from.
    delete m_view;
    m_view = nullptr;
    if (Database* db = Database::instance())
        db->removeConnection(QStringLiteral("Global"));
    SNMP::destroy();
    Database::destroy();
}

void MainWindow::setupForm()
{
    resize(800, 600);
    setContextMenuPolicy(Qt::NoContextMenu);
    setWindowIcon(QIcon(QStringLiteral(":/qrc/image/icon.ico")));

    QMenuBar* bar = menuBar();
    m_menuSystem = bar->addMenu(QString());
    m_menuSettings = m_menuSystem->addMenu(QString());
    m_actSystem = m_menuSettings->addAction(QString());
    m_actEmail = m_menuSettings->addAction(QString());
    m_actUser = m_menuSystem->addAction(QString());
    m_actUser->setVisible(false);

    m_menuLanguage = bar->addMenu(QString());
    m_languageGroup = new QActionGroup(this);
    m_languageGroup->setExclusive(true);

    m_menuTool = bar->addMenu(QString());
    m_actSearchDevice = m_menuTool->addAction(QString());

    m_menuWindow = bar->addMenu(QString());
    m_actDevicePanel = m_menuWindow->addAction(QString());
    m_actDevicePanel->setCheckable(true);
    m_menuDisplayMode = m_menuWindow->addMenu(QString());
    m_modeGroup = new QActionGroup(this);
    m_modeGroup->setExclusive(true);
    m_actTableMode = m_menuDisplayMode->addAction(QString());
    m_actIconMode = m_menuDisplayMode->addAction(QString());
    m_actTableMode->setCheckable(true);
    m_actIconMode->setCheckable(true);
    m_modeGroup->addAction(m_actTableMode);
    m_modeGroup->addAction(m_actIconMode);
    m_menuWindow->addSeparator();
    m_actManage = m_menuWindow->addAction(QString());
    m_actManage->setCheckable(true);
    m_actManage->setChecked(true);
    m_actToolBar = m_menuWindow->addAction(QString());
    m_actToolBar->setCheckable(true);
    m_actToolBar->setChecked(true);

    m_menuHelp = bar->addMenu(QString());
    m_actAbout = m_menuHelp->addAction(QString());

    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setMovable(false);
    addToolBar(Qt::TopToolBarArea, m_toolBar);

    m_dock = new QDockWidget(this);
    m_dock->setObjectName(QStringLiteral("dockStation"));
    m_dock->setFeatures(QDockWidget::DockWidgetMovable);
    m_dock->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    auto* dockContent = new QWidget(m_dock);
    auto* dockBox = new QVBoxLayout(dockContent);
    dockBox->setContentsMargins(2, 2, 2, 2);
    m_search = new QLineEdit(dockContent);
    m_search->setObjectName(QStringLiteral("lineEditSearch"));
    dockBox->addWidget(m_search);
    m_dock->setWidget(dockContent);
    addDockWidget(Qt::LeftDockWidgetArea, m_dock);

    m_clock = new QLabel(this);
    statusBar()->addPermanentWidget(m_clock);

    m_tray = new QSystemTrayIcon(QIcon(QStringLiteral(":/qrc/image/icon.ico")), this);
    m_trayMenu = new QMenu(this);
    m_actMinimize = m_trayMenu->addAction(QString());
    m_actDisplay = m_trayMenu->addAction(QString());
    m_trayMenu->addSeparator();
    m_actQuit = m_trayMenu->addAction(QString());
    m_tray->setContextMenu(m_trayMenu);
    // Where the desktop offers no tray the window simply stays visible.
    if (QSystemTrayIcon::isSystemTrayAvailable())
        m_tray->show();

    retranslate();
}

void MainWindow::retranslate()
{
    setWindowTitle(tr("Upsconsole"));
    m_menuSystem->setTitle(tr("System"));
    m_menuSettings->setTitle(tr("Settings"));
    m_actSystem->setText(tr("System"));
    m_actEmail->setText(tr("E-Mail"));
    m_actUser->setText(tr("User"));
    m_menuLanguage->setTitle(tr("Language"));
    m_menuTool->setTitle(tr("Tool"));
    m_actSearchDevice->setText(tr("Search Device"));
    m_menuWindow->setTitle(tr("Window"));
    m_actDevicePanel->setText(tr("Device panel"));
    m_menuDisplayMode->setTitle(tr("Display mode"));
    m_actTableMode->setText(tr("Table mode"));
    m_actIconMode->setText(tr("Icon mode"));
    m_actManage->setText(tr("Management station"));
    m_actToolBar->setText(tr("Tool bar"));
    m_menuHelp->setTitle(tr("Help"));
    m_actAbout->setText(tr("About"));
    m_toolBar->setWindowTitle(tr("Tool bar"));
    m_dock->setWindowTitle(tr("Management station"));
    m_search->setPlaceholderText(tr("Search station"));
    m_tray->setToolTip(tr("Upsconsole"));
    m_actMinimize->setText(tr("Minimize"));
    m_actDisplay->setText(tr("Display window"));
    m_actQuit->setText(tr("Quit"));
}

void MainWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QMainWindow::changeEvent(event);
}

QList<QAction*> MainWindow::trayActions() const
{
    return m_trayMenu->actions();
}

void MainWindow::setupLanguageMenu()
{
    Language* language = Language::instance();
    const QStringList names = language->names();
    for (int i = 0; i < names.size(); ++i) {
        QAction* action = m_menuLanguage->addAction(names.at(i));
        action->setCheckable(true);
        action->setData(i);
        m_languageGroup->addAction(action);
    }
    QSettings* settings = AppContext::instance()->settings;
    const int code = settings ? settings->value(QStringLiteral("language"), 0).toInt() : 0;
    const int index = language->codes().indexOf(code);
    if (index >= 0 && index < m_languageGroup->actions().size())
        onLanguageTriggered(m_languageGroup->actions().at(index));
}

void MainWindow::onLanguageTriggered(QAction* action)
{
    if (!action)
        return;
    Language* language = Language::instance();
    const int index = action->data().toInt();
    if (index == language->currentIndex())
        return;
    language->setCurrentIndex(index);
    const QString file = AppContext::appPath(QStringLiteral("translations/") + language->currentLocale() +
                                             QStringLiteral(".qm"));
    if (m_translator->load(file)) {
        if (m_translatorInstalled)
            QCoreApplication::removeTranslator(m_translator);
        m_translatorInstalled = QCoreApplication::installTranslator(m_translator);
    } else if (m_translatorInstalled) {
        // Back to the program's own texts: the emptied translator goes, so
        // that every window hears of the change.
        QCoreApplication::removeTranslator(m_translator);
        m_translatorInstalled = false;
    }
    if (QSettings* settings = AppContext::instance()->settings)
        settings->setValue(QStringLiteral("language"), language->currentCode());
    action->setChecked(true);
}

void MainWindow::setUserActionVisible(bool visible)
{
    m_actUser->setVisible(visible);
}

void MainWindow::onTrayActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason != QSystemTrayIcon::Trigger && reason != QSystemTrayIcon::DoubleClick)
        return;
    if (!AppContext::instance()->loggedIn)
        return;
    showNormal();
    raise();
}

void MainWindow::onTimerTimeTimeout()
{
    m_clock->setText(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
}

void MainWindow::onSearchTextChanged(QString text)
{
    if (text.isEmpty())
        return;
    // The typed text is bound as a value; its own wildcard characters are
    // escaped so that every name containing the text is found.
    QString pattern = text;
    pattern.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    pattern.replace(QLatin1Char('%'), QStringLiteral("\\%"));
    pattern.replace(QLatin1Char('_'), QStringLiteral("\\_"));
    QStringList names;
    QSqlQuery query(Workspace::globalDb());
    query.prepare(QStringLiteral("select name from station where name like ? escape '\\';"));
    query.addBindValue(QLatin1Char('%') + pattern + QLatin1Char('%'));
    if (query.exec()) {
        while (query.next())
            names.append(query.value(0).toString());
    }
    m_completerModel->setStringList(names);
    m_completer->setCompletionPrefix(text);
    m_completer->complete();
}

void MainWindow::jumpToStation(QString text)
{
    m_tree->jumpToStation(text);
}

void MainWindow::displayManageWindow()
{
    m_dock->setVisible(m_dock->isHidden());
    m_actManage->setChecked(!m_dock->isHidden());
}

void MainWindow::displayToolBarWindow()
{
    m_toolBar->setVisible(m_toolBar->isHidden());
    m_actToolBar->setChecked(!m_toolBar->isHidden());
}

void MainWindow::handleDisplayModeChanged(QAction* action)
{
    Q_UNUSED(action);
    const bool table = m_actTableMode->isChecked();
    if (QSettings* settings = AppContext::instance()->settings)
        settings->setValue(QStringLiteral("display_mode"), table ? 0 : 1);
    m_view->setIconMode(!table);
}

void MainWindow::displayAboutDlg()
{
    AboutDialog dialog(this);
    dialog.exec();
}

void MainWindow::displaySysSettingsDlg()
{
    SysSettingsDialog dialog(this);
    if (SNMP::exists()) {
        SNMP* engine = SNMP::instance();
        connect(&dialog, &SysSettingsDialog::snmpVersionChanged, engine, &SNMP::setSNMPVersion);
        connect(&dialog, &SysSettingsDialog::pollingCycleChanged, engine, &SNMP::setPollingCycle);
        connect(&dialog, &SysSettingsDialog::pollingTimeoutChanged, engine, &SNMP::setPollingTimeout);
        connect(&dialog, &SysSettingsDialog::pollingRetryChanged, engine, &SNMP::setRetry);
        connect(&dialog, &SysSettingsDialog::storeIntervalChanged, engine, &SNMP::setStoreInterval);
        connect(&dialog, &SysSettingsDialog::snmpPortChanged, engine, &SNMP::onSnmpPortChanged);
    }
    dialog.exec();
}

void MainWindow::displayDlgEmailSettings()
{
    DialogSettingsEmail dialog(this);
    dialog.exec();
}

void MainWindow::displayUserDlg()
{
    DlgUser dialog(this);
    dialog.exec();
}

void MainWindow::displaySearchDeviceDlg()
{
    if (m_devSearch) {
        m_devSearch->show();
        m_devSearch->raise();
    }
}
