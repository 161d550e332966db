// Main window, about box, engine settings dialog, login and user management.

#include "WsFixture.h"

#include "AboutDialog.h"
#include "DlgPwdInput.h"
#include "DlgUser.h"
#include "DlgUserAdd.h"
#include "IconItemGraphicsView.h"
#include "MainWidget.h"
#include "MainWindow.h"
#include "ManageTreeView.h"
#include "SysSettingsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QCryptographicHash>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStandardItem>
#include <QPushButton>
#include <QSignalSpy>
#include <QStringListModel>
#include <QTableWidget>
#include <QToolBar>

namespace {

QByteArray md5(const QByteArray& text)
{
    return QCryptographicHash::hash(text, QCryptographicHash::Md5);
}

void setLanguageSetting(const QVariant& code)
{
    if (code.isValid())
        AppContext::instance()->settings->setValue("language", code);
}

QAction* checkedLanguage(MainWindow& window)
{
    for (QAction* action : window.languageMenu()->actions()) {
        if (action->isChecked())
            return action;
    }
    return nullptr;
}

void typeAndFinish(QLineEdit* edit, const QString& text)
{
    edit->setText(text);
    emit edit->editingFinished();
}

} // namespace

class TestWsWindow : public QObject
{
    Q_OBJECT

private slots:
    void init() { Language::instance()->setCurrentIndex(0); }
    void layoutAndMenus();
    void displayModeStoredAndRestored();
    void completerIsCaseSensitive();
    void searchTextIsBoundNotPasted_data();
    void searchTextIsBoundNotPasted();
    void trayClickNeedsLogin();
    void dockAndToolBarToggle();
    void languageAtStart_data();
    void languageAtStart();
    void languageSwitchRetranslates();
    void destructionTearsDown();
    void databaseGoneNoCrash();
    void aboutText();

    void settingsDialogLoadsAndWrites();
    void settingsDialogRefusesShortCycle();

    void login_data();
    void login();
    void userListRules();
    void handOverAdministrator();
    void handOverFailureKeepsAdministrator();
    void addAndModifyUsers();
};

void TestWsWindow::layoutAndMenus()
{
    WsDir dir;
    MainWindow window;
    QCOMPARE(window.windowTitle(), QStringLiteral("Upsconsole"));
    QCOMPARE(window.size(), QSize(800, 600));
    QVERIFY(!window.isVisible());
    QVERIFY(!window.userAction()->isVisible());
    window.setUserActionVisible(true);
    QVERIFY(window.userAction()->isVisible());
    QCOMPARE(window.dock()->windowTitle(), QStringLiteral("Management station"));
    QCOMPARE(window.dock()->features(), QDockWidget::DockWidgetMovable);
    QCOMPARE(window.searchField()->placeholderText(), QStringLiteral("Search station"));
    QVERIFY(!window.toolBar()->isMovable());
    QCOMPARE(window.trayIcon()->toolTip(), QStringLiteral("Upsconsole"));
    QStringList tray;
    for (QAction* action : window.trayActions())
        tray.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(tray, (QStringList{"Minimize", "Display window", "-", "Quit"}));
    QStringList menus;
    for (QAction* action : window.menuBar()->actions())
        menus.append(action->text());
    QCOMPARE(menus, (QStringList{"System", "Language", "Tool", "Window", "Help"}));
    QStringList languages;
    for (QAction* action : window.languageMenu()->actions())
        languages.append(action->text());
    QCOMPARE(languages, (QStringList{"English", QString::fromUtf8("中文")}));
    QCOMPARE(window.clockLabel()->text().size(), 19);
    QVERIFY(!window.devicePanelAction()->isChecked());
    window.devicePanelAction()->trigger();
    QVERIFY(!window.stationView()->devicePanel()->isHidden());
    // "Search Device" shows the one search dialog, without blocking
    window.searchDeviceAction()->trigger();
    QWidget* search = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->inherits("DevSearchDialog") && w->isVisible())
            search = w;
    }
    QVERIFY(search);
    QVERIFY(!search->isModal());
    search->close();
}

void TestWsWindow::displayModeStoredAndRestored()
{
    WsDir dir;
    AppContext::instance()->settings->setValue("display_mode", 1);
    {
        MainWindow window;
        QVERIFY(window.iconModeAction()->isChecked());
        QVERIFY(window.stationView()->iconMode());
        window.tableModeAction()->trigger();
        QCOMPARE(AppContext::instance()->settings->value("display_mode").toInt(), 0);
        QVERIFY(!window.stationView()->iconMode());
    }
}

void TestWsWindow::completerIsCaseSensitive()
{
    WsDir dir;
    WsDir::addStation("Station A", 0);
    WsDir::addStation("East", 0);
    MainWindow window;
    window.searchField()->setText("st");
    QCOMPARE(window.completerModel()->stringList(), (QStringList{"Station A", "East"}));
    QCOMPARE(window.completer()->completionCount(), 0);
    window.searchField()->setText("Sta");
    QCOMPARE(window.completer()->completionCount(), 1);
    QCOMPARE(window.completer()->currentCompletion(), QStringLiteral("Station A"));

    QSignalSpy changed(window.stationTree(), &ManageTreeView::stationChanged);
    emit window.completer()->activated(QStringLiteral("Station A"));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(1).toString(), QStringLiteral("Station A"));
}

void TestWsWindow::searchTextIsBoundNotPasted_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("quote") << "O'B" << QStringList{"O'Brien"};
    QTest::newRow("percent") << "100%" << QStringList{"100% ok"};
    QTest::newRow("underscore") << "a_b" << QStringList{"a_b"};
    QTest::newRow("backslash") << "c\\d" << QStringList{"c\\d"};
    QTest::newRow("sql") << "'; drop table station; --" << QStringList();
    QTest::newRow("chinese") << QString::fromUtf8("机房") << QStringList{QString::fromUtf8("北京机房")};
}

void TestWsWindow::searchTextIsBoundNotPasted()
{
    QFETCH(QString, text);
    QFETCH(QStringList, found);
    WsDir dir;
    for (const char* name : {"O'Brien", "100% ok", "1000 ok", "a_b", "axb", "c\\d", "北京机房"})
        WsDir::addStation(QString::fromUtf8(name), 0);
    MainWindow window;
    window.searchField()->setText(text);
    QCOMPARE(window.completerModel()->stringList(), found);
    QCOMPARE(WsDir::count("select count(*) from station;"), 7);
}

void TestWsWindow::trayClickNeedsLogin()
{
    WsDir dir;
    MainWindow window;
    emit window.trayIcon()->activated(QSystemTrayIcon::Trigger);
    QVERIFY(!window.isVisible());
    AppContext::instance()->loggedIn = true;
    emit window.trayIcon()->activated(QSystemTrayIcon::Context);
    QVERIFY(!window.isVisible());
    emit window.trayIcon()->activated(QSystemTrayIcon::DoubleClick);
    QVERIFY(window.isVisible());
    window.trayActions().at(0)->trigger(); // "Minimize"
    QVERIFY(!window.isVisible());
    window.trayActions().at(1)->trigger(); // "Display window"
    QVERIFY(window.isVisible());
}

void TestWsWindow::dockAndToolBarToggle()
{
    WsDir dir;
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.manageWindowAction()->trigger();
    QVERIFY(!window.dock()->isVisible());
    QVERIFY(!window.manageWindowAction()->isChecked());
    window.manageWindowAction()->trigger();
    QVERIFY(window.dock()->isVisible());
    QVERIFY(window.manageWindowAction()->isChecked());
    window.toolBarAction()->trigger();
    QVERIFY(!window.toolBar()->isVisible());
    QVERIFY(!window.toolBarAction()->isChecked());
    window.toolBarAction()->trigger();
    QVERIFY(window.toolBar()->isVisible());
}

void TestWsWindow::languageAtStart_data()
{
    QTest::addColumn<QVariant>("code");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("checked"); // -1: none
    QTest::newRow("absent") << QVariant() << "Upsconsole" << -1;
    QTest::newRow("first language") << QVariant(0) << "Upsconsole" << -1;
    QTest::newRow("unknown code") << QVariant(42) << "Upsconsole" << -1;
    QTest::newRow("chinese") << QVariant(1) << QString::fromUtf8("UPS 监控台") << 1;
}

void TestWsWindow::languageAtStart()
{
    QFETCH(QVariant, code);
    QFETCH(QString, title);
    QFETCH(int, checked);
    WsDir dir;
    QVERIFY(QFile::exists(dir.filePath("translations/zh_CN.qm")));
    setLanguageSetting(code);
    {
        MainWindow window;
        QCoreApplication::processEvents(); // the language change is posted
        QCOMPARE(window.windowTitle(), title);
        QAction* action = checkedLanguage(window);
        QCOMPARE(action ? action->data().toInt() : -1, checked);
        if (checked == 1) {
            QCOMPARE(Language::instance()->currentIndex(), 1);
            QCOMPARE(window.dock()->windowTitle(), QString::fromUtf8("管理站点"));
        }
        // back to English: every text follows
        window.languageMenu()->actions().at(0)->trigger();
        QCoreApplication::processEvents();
        QCOMPARE(window.windowTitle(), QStringLiteral("Upsconsole"));
        if (checked == 1)
            QCOMPARE(AppContext::instance()->settings->value("language").toInt(), 0);
    }
}

void TestWsWindow::languageSwitchRetranslates()
{
    WsDir dir;
    const int s = WsDir::addStation("S", 0);
    WsDir::addDevice("10.20.0.1", s);
    MainWindow window;
    window.stationTree()->jumpToStation("S");
    window.languageMenu()->actions().at(1)->trigger();
    QCoreApplication::processEvents();
    QCOMPARE(AppContext::instance()->settings->value("language").toInt(), 1);
    QVERIFY(window.languageMenu()->actions().at(1)->isChecked());
    QCOMPARE(window.stationTree()->rootItem()->text(), QString::fromUtf8("所有站点"));
    QTableWidget* table = window.stationView()->table();
    QCOMPARE(table->horizontalHeaderItem(0)->text(), QStringLiteral("IP"));
    QCOMPARE(table->horizontalHeaderItem(4)->text(), QString::fromUtf8("通信状态"));
    QCOMPARE(table->item(0, 4)->text(), QString::fromUtf8("离线"));
    window.languageMenu()->actions().at(0)->trigger();
    QCoreApplication::processEvents();
    QCOMPARE(table->item(0, 4)->text(), QStringLiteral("Offline"));
    QCOMPARE(window.stationTree()->rootItem()->text(), QStringLiteral("Vud Arori"));
}

void TestWsWindow::destructionTearsDown()
{
    WsDir dir;
    auto* window = new MainWindow;
    QVERIFY(QSqlDatabase::contains("Global"));
    delete window;
    QVERIFY(!QSqlDatabase::contains("Global"));
}

void TestWsWindow::databaseGoneNoCrash()
{
    WsDir dir;
    const int s = WsDir::addStation("S", 0);
    WsDir::addDevice("10.30.0.1", s);
    MainWindow window;
    ManageTreeView* tree = window.stationTree();
    window.stationView()->handleStationChanged(s, "S");

    // the file refuses writes: nothing is lost, nothing reported as done
    WsDir::exec("pragma query_only = 1;");
    tree->standardModel()->setData(tree->findItem(s)->index(), "Renamed", Qt::EditRole);
    QCOMPARE(WsDir::value("select name from station where id=?;", {s}).toString(), QStringLiteral("S"));
    MessageBox::setNextAnswer(0);
    MessageBox::setNextAnswer(0);
    tree->deleteStation(tree->findItem(s));
    QCOMPARE(MessageBox::lastShown().text, QStringLiteral("Delete failed!"));
    QCOMPARE(WsDir::count("select count(*) from station;"), 1);
    QCOMPARE(WsDir::count("select count(*) from device;"), 1);
    WsDir::exec("pragma query_only = 0;");

    // the database goes away altogether
    QFile::remove(dir.filePath("data/ups.db"));
    QSqlDatabase db = WsDir::db();
    db.close();
    tree->refresh();
    QVERIFY(tree->rootItem());
    window.searchField()->setText("S");
    QVERIFY(window.completerModel()->stringList().isEmpty());
    window.stationView()->handleStationChanged(s, "S");
    QCOMPARE(window.stationView()->table()->rowCount(), 0);
    window.iconModeAction()->trigger();
    QCOMPARE(window.stationView()->iconView()->icons().size(), 0);
    DlgUser users;
    QCOMPARE(users.table()->rowCount(), 0);
    DlgPwdInput login;
    login.userEdit()->setText("admin");
    login.passwordEdit()->setText("plomb");
    MessageBox::setNextAnswer(0);
    QTest::mouseClick(login.sureButton(), Qt::LeftButton);
    QCOMPARE(MessageBox::lastShown().text, QStringLiteral("User does not exist!"));
    QVERIFY(!AppContext::instance()->loggedIn);
}

void TestWsWindow::aboutText()
{
    AboutDialog about;
    QCOMPARE(about.windowTitle(), QStringLiteral("About"));
    QCOMPARE(about.size(), QSize(400, 200));
    QVERIFY(about.text().startsWith(
        "<html><span style=\"font-weight:bold; font-size:16px\">Upsconsole v1.3.0</span><br><br>Built on "));
    QVERIFY(about.text().contains(QLatin1String(__DATE__)));
    QVERIFY(about.text().endsWith(
        "<br><br>The program is used for device management and settings by SNMP.</html>"));
}

void TestWsWindow::settingsDialogLoadsAndWrites()
{
    WsDir dir;
    ConsoleSetup::initSettingsDefaults();
    QSettings* settings = AppContext::instance()->settings;
    settings->setValue("snmp/polling_cycle", 2000);
    settings->setValue("snmp/snmp_version", 1);
    SysSettingsDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("System Settings"));
    QCOMPARE(dialog.versionBox()->currentIndex(), 1);
    QCOMPARE(dialog.cycleEdit()->text(), QStringLiteral("2000"));
    QCOMPARE(dialog.timeoutEdit()->text(), QStringLiteral("100"));
    QCOMPARE(dialog.trapPortEdit()->text(), QStringLiteral("162"));

    QSignalSpy cycle(&dialog, &SysSettingsDialog::pollingCycleChanged);
    QSignalSpy timeout(&dialog, &SysSettingsDialog::pollingTimeoutChanged);
    QSignalSpy store(&dialog, &SysSettingsDialog::storeIntervalChanged);
    QSignalSpy retry(&dialog, &SysSettingsDialog::pollingRetryChanged);
    QSignalSpy port(&dialog, &SysSettingsDialog::snmpPortChanged);
    QSignalSpy trap(&dialog, &SysSettingsDialog::trapPortChanged);
    QSignalSpy version(&dialog, &SysSettingsDialog::snmpVersionChanged);

    typeAndFinish(dialog.cycleEdit(), "2000"); // same value: nothing
    QCOMPARE(cycle.count(), 0);
    typeAndFinish(dialog.cycleEdit(), "3000");
    QCOMPARE(cycle.count(), 1);
    QCOMPARE(cycle.at(0).at(0).toUInt(), 3000u);
    QCOMPARE(settings->value("snmp/polling_cycle").toUInt(), 3000u);
    typeAndFinish(dialog.timeoutEdit(), "250");
    typeAndFinish(dialog.storeEdit(), "30");
    typeAndFinish(dialog.retryEdit(), "3");
    typeAndFinish(dialog.snmpPortEdit(), "24161");
    typeAndFinish(dialog.trapPortEdit(), "24162");
    QCOMPARE(timeout.at(0).at(0).toUInt(), 250u);
    QCOMPARE(store.at(0).at(0).toUInt(), 30u);
    QCOMPARE(retry.at(0).at(0).toInt(), 3);
    QCOMPARE(port.at(0).at(0).value<ushort>(), ushort(24161));
    QCOMPARE(trap.at(0).at(0).value<ushort>(), ushort(24162));
    QCOMPARE(settings->value("snmp/polling_timout").toUInt(), 250u);
    QCOMPARE(settings->value("snmp/store_interval").toUInt(), 30u);
    QCOMPARE(settings->value("snmp/polling_retry").toInt(), 3);
    QCOMPARE(settings->value("snmp/snmp_port").toUInt(), 24161u);
    QCOMPARE(settings->value("snmp/trap_port").toUInt(), 24162u);
    dialog.versionBox()->setCurrentIndex(0);
    QCOMPARE(version.count(), 1);
    QCOMPARE(settings->value("snmp/snmp_version").toInt(), 0);
    QVERIFY(MessageBox::shown().isEmpty());
}

void TestWsWindow::settingsDialogRefusesShortCycle()
{
    WsDir dir;
    ConsoleSetup::initSettingsDefaults();
    SysSettingsDialog dialog;
    QSignalSpy cycle(&dialog, &SysSettingsDialog::pollingCycleChanged);
    MessageBox::setNextAnswer(0);
    typeAndFinish(dialog.cycleEdit(), "500");
    QCOMPARE(cycle.count(), 0);
    QCOMPARE(MessageBox::lastShown().title, QStringLiteral("Information"));
    QCOMPARE(MessageBox::lastShown().text, QStringLiteral("Polling cycle must greater than 1000!"));
    QCOMPARE(AppContext::instance()->settings->value("snmp/polling_cycle").toUInt(), 5000u);
    typeAndFinish(dialog.cycleEdit(), "1000");
    QCOMPARE(cycle.count(), 1);
}

void TestWsWindow::login_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("admin");
    QTest::newRow("unknown") << "nobody" << "x" << "User does not exist!" << false;
    QTest::newRow("case") << "Admin" << "plomb" << "User does not exist!" << false;
    QTest::newRow("wrong password") << "admin" << "plomB" << "Password is incorrect!" << false;
    QTest::newRow("administrator") << "admin" << "plomb" << QString() << true;
    QTest::newRow("operator") << "op'e\"r" << "" << QString() << false;
    QTest::newRow("sql name") << "x' or '1'='1" << "pw" << "User does not exist!" << false;
}

void TestWsWindow::login()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, message);
    QFETCH(bool, admin);
    WsDir dir;
    WsDir::exec("insert into user(username, password, isRoot) values(?, ?, 0);",
                {QStringLiteral("op'e\"r"), md5("")});
    DlgPwdInput dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Login"));
    dialog.userEdit()->setText(user);
    dialog.passwordEdit()->setText(password);
    MessageBox::setNextAnswer(0);
    QTest::mouseClick(dialog.sureButton(), Qt::LeftButton);
    if (!message.isEmpty()) {
        QCOMPARE(MessageBox::lastShown().text, message);
        QCOMPARE(MessageBox::lastShown().title, QStringLiteral("Warning"));
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!AppContext::instance()->loggedIn);
        return;
    }
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(AppContext::instance()->loggedIn);
    QCOMPARE(AppContext::instance()->isAdmin, admin);
}

void TestWsWindow::userListRules()
{
    WsDir dir;
    WsDir::exec("insert into user(username, password, isRoot) values('bob', ?, 0);", {md5("b")});
    DlgUser dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("User"));
    QTableWidget* table = dialog.table();
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(table->horizontalHeaderItem(0)->text(), QStringLiteral("User Name"));
    QCOMPARE(table->horizontalHeaderItem(1)->text(), QStringLiteral("isRoot"));
    QCOMPARE(table->item(0, 0)->text(), QStringLiteral("admin"));
    auto* adminCheck = qobject_cast<QCheckBox*>(table->cellWidget(0, 1));
    auto* adminDelete = qobject_cast<QPushButton*>(table->cellWidget(0, 3));
    QVERIFY(adminCheck->isChecked() && !adminCheck->isEnabled());
    QVERIFY(!adminDelete->isEnabled());
    QCOMPARE(qobject_cast<QPushButton*>(table->cellWidget(1, 2))->text(), QStringLiteral("Modify"));
    QCOMPARE(table->cellWidget(1, 3)->property("userName").toString(), QStringLiteral("bob"));

    MessageBox::setNextAnswer(1); // "Cancel"
    QTest::mouseClick(qobject_cast<QPushButton*>(table->cellWidget(1, 3)), Qt::LeftButton);
    QCOMPARE(WsDir::count("select count(*) from user;"), 2);
    MessageBox::setNextAnswer(0); // "Sure"
    MessageBox::setNextAnswer(0);
    QTest::mouseClick(qobject_cast<QPushButton*>(table->cellWidget(1, 3)), Qt::LeftButton);
    QCOMPARE(MessageBox::shown().at(1).text, QStringLiteral("Are you sure to delete this user?!"));
    QCOMPARE(MessageBox::lastShown().text, QStringLiteral("Delete user successfully!"));
    QCOMPARE(WsDir::count("select count(*) from user;"), 1);
    QCOMPARE(table->rowCount(), 1);
}

void TestWsWindow::handOverAdministrator()
{
    WsDir dir;
    WsDir::exec("insert into user(username, password, isRoot) values('bob', ?, 0);", {md5("b")});
    DlgUser dialog;
    auto* bobCheck = qobject_cast<QCheckBox*>(dialog.table()->cellWidget(1, 1));
    MessageBox::setNextAnswer(1); // "Cancel"
    QTest::mouseClick(bobCheck, Qt::LeftButton);
    QVERIFY(!bobCheck->isChecked());
    QCOMPARE(WsDir::value("select username from user where isRoot=1;").toString(), QStringLiteral("admin"));

    MessageBox::setNextAnswer(0); // "Sure"
    MessageBox::setNextAnswer(0);
    QTest::mouseClick(bobCheck, Qt::LeftButton);
    QCOMPARE(MessageBox::lastShown().text, QStringLiteral("Operation succeeded!"));
    QCOMPARE(WsDir::count("select count(*) from user where isRoot=1;"), 1);
    QCOMPARE(WsDir::value("select username from user where isRoot=1;").toString(), QStringLiteral("bob"));
    // the list now protects bob's row
    QVERIFY(!dialog.table()->cellWidget(1, 1)->isEnabled());
    QVERIFY(dialog.table()->cellWidget(0, 3)->isEnabled());
}

void TestWsWindow::handOverFailureKeepsAdministrator()
{
    WsDir dir;
    WsDir::exec("insert into user(username, password, isRoot) values('bob', ?, 0);", {md5("b")});
    // the second update fails: the first must not stay applied
    WsDir::exec("create trigger refuse_bob before update of isRoot on user when new.isRoot = 1 "
                "begin select raise(abort, 'refused'); end;");
    DlgUser dialog;
    auto* bobCheck = qobject_cast<QCheckBox*>(dialog.table()->cellWidget(1, 1));
    MessageBox::setNextAnswer(0);
    MessageBox::setNextAnswer(0);
    QTest::mouseClick(bobCheck, Qt::LeftButton);
    QCOMPARE(MessageBox::lastShown().text, QStringLiteral("Operation failed!"));
    QCOMPARE(WsDir::value("select username from user where isRoot=1;").toString(), QStringLiteral("admin"));
    QVERIFY(!bobCheck->isChecked());
    QVERIFY(!DlgUser::setAdministrator("nobody")); // no such user: nothing changes
    QCOMPARE(WsDir::count("select count(*) from user where isRoot=1;"), 1);
}

void TestWsWindow::addAndModifyUsers()
{
    WsDir dir;
    {
        DlgUserAdd add(0);
        QCOMPARE(add.windowTitle(), QStringLiteral("Add User"));
        QSignalSpy finished(&add, &DlgUserAdd::addFinished);
        add.userEdit()->setText("admin");
        MessageBox::setNextAnswer(0);
        QTest::mouseClick(add.sureButton(), Qt::LeftButton);
        QCOMPARE(MessageBox::lastShown().text, QStringLiteral("User exists!"));
        add.userEdit()->setText("carol");
        add.passwordEdit()->setText("Abc");
        add.confirmEdit()->setText("abc");
        MessageBox::setNextAnswer(0);
        QTest::mouseClick(add.sureButton(), Qt::LeftButton);
        QCOMPARE(MessageBox::lastShown().text, QStringLiteral("Password is not same!"));
        add.passwordEdit()->setText("");
        add.confirmEdit()->setText("");
        MessageBox::setNextAnswer(0);
        QTest::mouseClick(add.sureButton(), Qt::LeftButton);
        QCOMPARE(MessageBox::lastShown().text, QStringLiteral("Add user successfully!"));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(WsDir::value("select password from user where username='carol';").toByteArray(), md5(""));
        QCOMPARE(WsDir::value("select isRoot from user where username='carol';").toInt(), 0);
    }
    {
        DlgUserAdd modify(1);
        modify.setUserName("carol");
        QCOMPARE(modify.windowTitle(), QStringLiteral("Modify User"));
        QCOMPARE(modify.userEdit()->text(), QStringLiteral("carol"));
        modify.userEdit()->setText("admin"); // into another user's name: accepted
        modify.passwordEdit()->setText("new");
        modify.confirmEdit()->setText("new");
        MessageBox::setNextAnswer(0);
        QTest::mouseClick(modify.sureButton(), Qt::LeftButton);
        QCOMPARE(MessageBox::lastShown().text, QStringLiteral("Operation succeeded!"));
        QCOMPARE(WsDir::count("select count(*) from user where username='admin';"), 2);
        QCOMPARE(WsDir::count("select count(*) from user where password=?;", {md5("new")}), 1);
    }
    {
        // a user removed meanwhile cannot be "modified successfully"
        DlgUserAdd modify(1);
        modify.setUserName("ghost");
        MessageBox::setNextAnswer(0);
        QTest::mouseClick(modify.sureButton(), Qt::LeftButton);
        QCOMPARE(MessageBox::lastShown().text, QStringLiteral("Operation failed!"));
    }
}

QTEST_MAIN(TestWsWindow)
#include "test_ws_window.moc"
