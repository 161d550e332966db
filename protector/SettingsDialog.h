#pragma once

#include "SNMPInfo.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;

// Watched hosts and the general and shutdown settings.
class SettingsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SettingsDialog(QWidget* parent = nullptr);

    // For tests.
    QTableWidget* hostTable() const { return m_hostTable; }
    QCheckBox* popupBox() const { return m_popup; }
    QCheckBox* runAppBox() const { return m_runApp; }
    QLineEdit* appPathEdit() const { return m_appPath; }
    QPushButton* browseButton() const { return m_browse; }
    QLineEdit* execTimeEdit() const { return m_execTime; }
    QLineEdit* acFailedTimeEdit() const { return m_acFailedTime; }
    QLineEdit* battLowTimeEdit() const { return m_battLowTime; }
    QLineEdit* capacityEdit() const { return m_capacity; }
    int selectedRow() const { return m_selectedRow; }

signals:
    void hostAdded(SNMPInfo info);
    void hostModified(SNMPInfo infoNew, SNMPInfo infoOld);
    void hostRemoved(QString peer);
    void popupStateChanged(bool popup);

public slots:
    void hostClicked(int row, int column);
    void hostAddedEvent(SNMPInfo info);
    void hostModifiedEvent(SNMPInfo infoNew, SNMPInfo infoOld);
    void onRadioBtnOffAPP(bool checked);
    void onBrowseOffAPP();
    void addSNMPHost();
    void modifySNMPHost();
    void removeSNMPHost();
    void saveSettings();

protected:
    void changeEvent(QEvent* event) override;

private:
    void buildUi();
    void retranslate();
    void loadSettings();
    void setHostRow(int row, const QString& ip, int port, int version);

    int m_selectedRow = -1;
    bool m_popupAtOpen = false;

    QTabWidget* m_tabs;
    QGroupBox* m_hostGroup;
    QGroupBox* m_warningGroup;
    QTableWidget* m_hostTable;
    QPushButton* m_add;
    QPushButton* m_modify;
    QPushButton* m_remove;
    QCheckBox* m_popup;
    QCheckBox* m_runApp;
    QLineEdit* m_appPath;
    QPushButton* m_browse;
    QLabel* m_execLabel;
    QLineEdit* m_execTime;
    QLabel* m_execUnit;
    QLabel* m_acFailedLabel;
    QLineEdit* m_acFailedTime;
    QLabel* m_acFailedUnit;
    QLabel* m_battLowLabel;
    QLineEdit* m_battLowTime;
    QLabel* m_battLowUnit;
    QLabel* m_capacityLabel;
    QLineEdit* m_capacity;
    QPushButton* m_sure;
    QPushButton* m_cancel;
};
