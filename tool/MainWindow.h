#pragma once

#include "CommTcp.h"

#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <memory>

class QAction;
class QFont;
class QActionGroup;
class QCompleter;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QStackedWidget;
class QStringListModel;
class QTranslator;
class ProgrammingPage;
class SettingsPage;
class FixedParamPage;
class DisplayLogPage;
class SPTestPage;
class DevSereachPage;

struct UI_MainWindow
{
    QWidget* central = nullptr;
    QLabel* labelIp = nullptr;
    QLineEdit* lineEditIp = nullptr;
    QPushButton* btnConnect = nullptr;
    QPushButton* btnClearHistory = nullptr;
    QListWidget* listWidget = nullptr;
    QStackedWidget* stackWidget = nullptr;
    QLabel* labelStatus = nullptr;
    QMenu* menuTool = nullptr;
    QMenu* menuWindow = nullptr;
    QMenu* menuLanguage = nullptr;
    QMenu* menuHelp = nullptr;
    QAction* actionReboot = nullptr;
    QAction* actionFont = nullptr;
    QAction* actionEnglish = nullptr;
    QAction* actionChinese = nullptr;
    QAction* actionAbout = nullptr;

    void setupUi(QMainWindow* window);
    void retranslateUi(QMainWindow* window);
};

class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    void setTranslator(QTranslator* translator, bool chinese);

    // Test access.
    UI_MainWindow* ui() const { return m_ui.get(); }
    CommTcp* comm() { return &m_comm; }
    bool isConnected() const { return m_connected; }
    QStringList history() const { return m_history; }
    ProgrammingPage* programmingPage() const { return m_programming; }
    SettingsPage* settingsPage() const { return m_settings; }
    FixedParamPage* fixedParamPage() const { return m_fixedParam; }
    DisplayLogPage* displayLogPage() const { return m_displayLog; }
    SPTestPage* spTestPage() const { return m_spTest; }
    DevSereachPage* devSearchPage() const { return m_devSearch; }
    static QString aboutText();
    // The font dialog; tests put an answer in its place.
    static std::function<QFont(bool* ok, const QFont& initial, QWidget* parent)> fontPicker;

protected:
    void resizeEvent(QResizeEvent* event) override;

private slots:
    void changeLanguage();
    void showAbout();
    void setAPPFont();
    void connectEvent();
    void connectedToDevice();
    void connectionError(QString error);
    void disconnectedFromDeivce();
    void rebootDevice();

private:
    void loadHistory();
    void saveHistory();
    void clearHistory();
    void updateConnectionTexts();
    void applyStoredSettings();

    std::shared_ptr<UI_MainWindow> m_ui;
    QActionGroup* m_languageGroup = nullptr;
    QCompleter* m_completer = nullptr;
    QStringListModel* m_model = nullptr;
    QStringList m_history;
    CommTcp m_comm;
    bool m_connected = false;
    QTranslator* m_translator = nullptr;
    ProgrammingPage* m_programming = nullptr;
    SettingsPage* m_settings = nullptr;
    FixedParamPage* m_fixedParam = nullptr;
    DisplayLogPage* m_displayLog = nullptr;
    SPTestPage* m_spTest = nullptr;
    DevSereachPage* m_devSearch = nullptr;
};
