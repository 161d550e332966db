#pragma once

#include "SNMPInfo.h"

#include <QByteArray>
#include <QMainWindow>
#include <QSet>
#include <QStringList>
#include <QTimer>

class CodeTextFile;
class Language;
class ListWidgetItem;
class PowerOff;
class QAction;
class QActionGroup;
class QLabel;
class QListWidget;
class QMenu;
class QTableWidget;
class QToolBar;
class SNMP;
class ShutdownController;

class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    // powerOff is the system layer the shutdown controller uses; it is not
    // owned and must outlive the window.
    explicit MainWindow(PowerOff* powerOff, QWidget* parent = nullptr);
    ~MainWindow() override;

    void setEngine(SNMP* engine) { m_engine = engine; }

    // Text of an event number in the current language, empty when unknown.
    QString eventText(int event) const;

    // For tests.
    QStringList hostList() const { return m_hostList; }
    QListWidget* hostListWidget() const { return m_hosts; }
    ListWidgetItem* hostItem(int row) const;
    QTableWidget* eventTable() const { return m_table; }
    ShutdownController* controller() const { return m_controller; }
    bool popWarning() const { return m_popWarning; }
    QLabel* clockLabel() const { return m_clock; }
    QActionGroup* languageGroup() const { return m_languageGroup; }
    static const QSet<int>& warningEvents();

public slots:
    void handleSNMPEvent(QString host, int event);
    void handleSNMPStatus(QString host, int status);
    void handleSNMPData(QString host, QByteArray data);
    void storeSNMPEvent(QString host, int event);
    void displaySNMPEvent(QString host, QString event);
    void addSNMPHostEvent(SNMPInfo info);
    void removeSNMPHostEvent(QString peer);
    void modifySNMPHostEvent(SNMPInfo infoNew, SNMPInfo infoOld);
    void showAboutDialog();
    void showSettingsDialog();
    void showLogDialog();
    void onLanguageChanged(QAction* action);
    void onEventTableContextMenu(QPoint pos);
    void clearEventTable();
    void setPopWarning(bool popup) { m_popWarning = popup; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void buildUi();
    void retranslate();
    void appendHostRow(const QString& ip);
    void updateClock();
    void onControllerMessage(QString text);

    SNMP* m_engine = nullptr;
    QStringList m_hostList;
    CodeTextFile* m_eventTexts = nullptr;
    Language* m_language = nullptr;
    QTimer m_clockTimer;
    bool m_popWarning = false;
    ShutdownController* m_controller = nullptr;

    QListWidget* m_hosts = nullptr;
    QTableWidget* m_table = nullptr;
    QLabel* m_clock = nullptr;
    QMenu* m_settingsMenu = nullptr;
    QMenu* m_languageMenu = nullptr;
    QMenu* m_helpMenu = nullptr;
    QAction* m_settingsAction = nullptr;
    QAction* m_englishAction = nullptr;
    QAction* m_chineseAction = nullptr;
    QAction* m_aboutAction = nullptr;
    QAction* m_toolSettingsAction = nullptr;
    QAction* m_toolLogAction = nullptr;
    QActionGroup* m_languageGroup = nullptr;
    QToolBar* m_toolBar = nullptr;
};
