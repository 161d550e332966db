#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

// Adds a user (mode 0) or changes a user's name and password (mode 1).
class DlgUserAdd : public QDialog
{
    Q_OBJECT
public:
    explicit DlgUserAdd(int mode, QWidget* parent = nullptr);

    // Modify mode: the user being changed.
    void setUserName(const QString& name);

    QLineEdit* userEdit() const { return lineEditUsr; }
    QLineEdit* passwordEdit() const { return lineEditPwd; }
    QLineEdit* confirmEdit() const { return lineEditPwdCon; }
    QPushButton* sureButton() const { return btnSure; }

signals:
    void addFinished();

protected:
    void changeEvent(QEvent* event) override;

private slots:
    void onBtnSure();

private:
    void retranslate();

    int m_mode;
    QString m_oldName;
    QLabel* m_labelUser;
    QLabel* m_labelPwd;
    QLabel* m_labelPwdCon;
    QLineEdit* lineEditUsr;
    QLineEdit* lineEditPwd;
    QLineEdit* lineEditPwdCon;
    QPushButton* btnSure;
    QPushButton* btnCancel;
};
