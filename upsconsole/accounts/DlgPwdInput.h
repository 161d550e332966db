#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// "Login": checks a user name and password against the user table.
class DlgPwdInput : public QDialog
{
    Q_OBJECT
public:
    explicit DlgPwdInput(QWidget* parent = nullptr);

    QLineEdit* userEdit() const { return lineEditUser; }
    QLineEdit* passwordEdit() const { return lineEditPwd; }
    QPushButton* sureButton() const { return btnSure; }

    // MD5 digest (16 raw bytes) of a password in the local 8-bit encoding.
    static QByteArray passwordDigest(const QString& password);

protected:
    void changeEvent(QEvent* event) override;

private slots:
    void onBtnSureClicked();

private:
    void retranslate();

    QLabel* label_2;
    QLabel* label;
    QLineEdit* lineEditUser;
    QLineEdit* lineEditPwd;
    QPushButton* btnSure;
};
