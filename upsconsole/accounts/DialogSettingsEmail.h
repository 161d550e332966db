#pragma once

// "E-Mail Settings": edits the configuration of EmailService in place and
// stores every change at once (settings group "email", table email_user);
// there is no OK or Cancel. Open it modally: DialogSettingsEmail(parent).exec().

#include <QDialog>
#include <QQueue>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class DialogSettingsEmail : public QDialog
{
    Q_OBJECT
public:
    explicit DialogSettingsEmail(QWidget* parent = nullptr);

    // Tests answer the receiver input dialogs ahead of time; a queued text
    // (an empty one means "cancelled") is used instead of showing the dialog.
    static void setNextInputText(const QString& text);

protected:
    void changeEvent(QEvent* event) override;

private slots:
    void onChkEnableClicked(bool checked);
    void onChkAuthClicked(bool checked);
    void onLeSenderNameChanged(QString name);
    void onLeSenderAddrChanged(QString addr);
    void onLeSenderAccountChanged(QString account);
    void onLeSenderPasswordChanged(QString password);
    void onLeServerAddrChanged(QString addr);
    void onLeServerPortChanged(QString port);
    void onCbEncryptChanged(int index);
    void onBtnSendTestClicked();
    void onBtnAddClicked();
    void onBtnDelClicked();
    void onBtnModifyClicked();

private:
    void retranslateUi();
    void writeSetting(const QString& key, const QVariant& value);
    bool askAddress(const QString& title, const QString& initial, QString* result);

    QCheckBox* chkBoxEnable = nullptr;
    QGroupBox* groupSender = nullptr;
    QGroupBox* groupUser = nullptr;
    QLabel* lblSenderName = nullptr;
    QLabel* lblSenderAddr = nullptr;
    QLabel* lblServerAddr = nullptr;
    QLabel* lblServerPort = nullptr;
    QLabel* lblEncrypt = nullptr;
    QLabel* lblAccount = nullptr;
    QLabel* lblPassword = nullptr;
    QLabel* lblSendTest = nullptr;
    QLineEdit* leSenderName = nullptr;
    QLineEdit* leSenderAddr = nullptr;
    QLineEdit* leServerAddr = nullptr;
    QLineEdit* leServerPort = nullptr;
    QComboBox* cbBoxEncrypt = nullptr;
    QCheckBox* chkBoxAuth = nullptr;
    QLineEdit* leAccount = nullptr;
    QLineEdit* lePassword = nullptr;
    QPushButton* btnSendTest = nullptr;
    QListWidget* listWidget = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnModify = nullptr;
    QPushButton* btnDelete = nullptr;

    static QQueue<QString> s_inputs;
};
