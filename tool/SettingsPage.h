#pragma once

#include <QWidget>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

struct UI_SettingPage
{
    QGroupBox* groupIp = nullptr;
    QLabel* labels[5] = {};
    QLineEdit* ipEdits[5] = {}; // address, netmask, gateway, DNS1, DNS2
    QPushButton* btnIpRead = nullptr;
    QPushButton* btnIpWrite = nullptr;
    QPushButton* btnIpReset = nullptr;
    QLabel* labelNote = nullptr;
    QGroupBox* groupDate = nullptr;
    QLabel* labelDate = nullptr;
    QLineEdit* lineEditDate = nullptr;
    QPushButton* btnDeviceDate = nullptr;
    QPushButton* btnSyncDate = nullptr;
    QGroupBox* groupPort = nullptr;
    QTableWidget* tablePorts = nullptr;
    QCheckBox* portChecks[4] = {};
    QLineEdit* portEdits[4] = {};
    QPushButton* btnPortRead = nullptr;
    QPushButton* btnPortWrite = nullptr;

    void setupUi(QWidget* page);
    void retranslateUi(QWidget* page);
};

class SettingsPage : public QWidget
{
    Q_OBJECT
public:
    explicit SettingsPage(QWidget* parent = nullptr);
    UI_SettingPage* ui() const { return m_ui.get(); }

    static QByteArray buildIpPayload(const QStringList& fields);

signals:
    void sendCmd(int cmd, QByteArray data);

public slots:
    void handleRespond(int cmd, const quint8* data, int size);

private slots:
    void onCheckBoxPortChecked(bool checked);
    void writeIp();
    void syncDate();
    void writePorts();

protected:
    void changeEvent(QEvent* event) override;

private:
    std::shared_ptr<UI_SettingPage> m_ui;
};
