#pragma once

// "Settings" of one device: its management information (name, position,
// administrator in table device), its limits (SNMP SET of command types 4 to
// 11 and 15 to 18) and three control commands (types 12 to 14).
//
// Usage: SettingsDialog dialog(ipv4); dialog.exec();
// Opening the dialog sends nothing; every edit or button sends at once.

#include <QDialog>
#include <QString>

class QPushButton;
class QTabWidget;
class QTableWidget;
class QTableWidgetItem;

class SettingsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SettingsDialog(const QString& ipv4, QWidget* parent = nullptr);

    QString device() const { return m_device; }
    QTabWidget* tabs() const { return m_tabs; }
    QTableWidget* managementTable() const { return m_management; }
    QTableWidget* configTable() const { return m_config; }
    QTableWidget* controlTable() const { return m_control; }
    // Button of a control row (0 "Power off", 1 "Buzzer", 2 "Batt. self-check").
    QPushButton* enableButton(int row) const { return m_enable[row]; }
    QPushButton* disableButton(int row) const { return m_disable[row]; }

    // Value sent for a "Device Configure" row from the typed text: scaled and
    // rounded for the volt rows, a whole number otherwise; not a number is 0.
    static int configValue(int row, const QString& text);
    static int configType(int row);

protected:
    void changeEvent(QEvent* event) override;

private slots:
    void managementChangedEvent(QTableWidgetItem* item);
    void configChangedEvent(QTableWidgetItem* item);
    void controlEvent();

private:
    void retranslateUi();
    void showResult(bool ok);

    QString m_device;
    QTabWidget* m_tabs = nullptr;
    QTableWidget* m_management = nullptr;
    QTableWidget* m_config = nullptr;
    QTableWidget* m_control = nullptr;
    QPushButton* m_enable[3] = {nullptr, nullptr, nullptr};
    QPushButton* m_disable[3] = {nullptr, nullptr, nullptr};
};
