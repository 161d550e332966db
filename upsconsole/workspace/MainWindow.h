#pragma once

#include <QMainWindow>
#include <QSystemTrayIcon>

class QAction;
class QActionGroup;
class QCompleter;
class QDockWidget;
class QLabel;
class QLineEdit;
class QMenu;
class QStringListModel;
class QTimer;
class QToolBar;
class QTranslator;
class ManageTreeView;
class MainWidget;

// The console's top-level window.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Called by start-up after a successful login.
    void setUserActionVisible(bool visible);

    ManageTreeView* stationTree() const { return m_tree; }
    MainWidget* stationView() const { return m_view; }
    QLineEdit* searchField() const { return m_search; }
    QCompleter* completer() const { return m_completer; }
    QStringListModel* completerModel() const { return m_completerModel; }
    QSystemTrayIcon* trayIcon() const { return m_tray; }
    QDockWidget* dock() const { return m_dock; }
    QToolBar* toolBar() const { return m_toolBar; }
    QLabel* clockLabel() const { return m_clock; }
    QMenu* languageMenu() const { return m_menuLanguage; }
    QAction* userAction() const { return m_actUser; }
    QAction* systemSettingsAction() const { return m_actSystem; }
    QAction* tableModeAction() const { return m_actTableMode; }
    QAction* iconModeAction() const { return m_actIconMode; }
    QAction* devicePanelAction() const { return m_actDevicePanel; }
    QAction* manageWindowAction() const { return m_actManage; }
    QAction* toolBarAction() const { return m_actToolBar; }
    QAction* searchDeviceAction() const { return m_actSearchDevice; }
    QList<QAction*> trayActions() const;

private slots:
    void onTrayActivated(QSystemTrayIcon::ActivationReason reason);
    void onTimerTimeTimeout();
    void onSearchTextChanged(QString text);
    void displayManageWindow();
    void displayToolBarWindow();
    void handleDisplayModeChanged(QAction* action);
    void displayAboutDlg();
    void displaySysSettingsDlg();
    void displayDlgEmailSettings();
    void displayUserDlg();
    void displaySearchDeviceDlg();
    void jumpToStation(QString text);
    void onLanguageTriggered(QAction* action);

protected:
    void changeEvent(QEvent* event) override;

private:
    void setupForm();
    void setupLanguageMenu();
    void retranslate();

    ManageTreeView* m_tree = nullptr;
    MainWidget* m_view = nullptr;
    QWidget* m_devSearch = nullptr;
    QStringListModel* m_completerModel = nullptr;
    QCompleter* m_completer = nullptr;
    QTimer* m_clockTimer = nullptr;
    QTranslator* m_translator = nullptr;
    bool m_translatorInstalled = false;

    QToolBar* m_toolBar = nullptr;
    QDockWidget* m_dock = nullptr;
    QLineEdit* m_search = nullptr;
    QLabel* m_clock = nullptr;
    QSystemTrayIcon* m_tray = nullptr;
    QMenu* m_trayMenu = nullptr;

    QMenu* m_menuSystem = nullptr;
    QMenu* m_menuSettings = nullptr;
    QMenu* m_menuLanguage = nullptr;
    QMenu* m_menuTool = nullptr;
    QMenu* m_menuWindow = nullptr;
    QMenu* m_menuDisplayMode = nullptr;
    QMenu* m_menuHelp = nullptr;
    QActionGroup* m_languageGroup = nullptr;
    QActionGroup* m_modeGroup = nullptr;

    QAction* m_actSystem = nullptr;
    QAction* m_actEmail = nullptr;
    QAction* m_actUser = nullptr;
    QAction* m_actSearchDevice = nullptr;
    QAction* m_actDevicePanel = nullptr;
    QAction* m_actTableMode = nullptr;
    QAction* m_actIconMode = nullptr;
    QAction* m_actManage = nullptr;
    QAction* m_actToolBar = nullptr;
    QAction* m_actAbout = nullptr;
    QAction* m_actMinimize = nullptr;
    QAction* m_actDisplay = nullptr;
    QAction* m_actQuit = nullptr;
};
