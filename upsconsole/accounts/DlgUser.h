#pragma once

#include <QDialog>

class QPushButton;
class QTableWidget;

// "User": the list of users for the administrator.
class DlgUser : public QDialog
{
    Q_OBJECT
public:
    explicit DlgUser(QWidget* parent = nullptr);

    QTableWidget* table() const { return tableWidget; }
    QPushButton* addButton() const { return btnAdd; }

    // Hands the administrator role to a user: both updates in one
    // transaction, so a failure keeps the previous administrator.
    static bool setAdministrator(const QString& userName);

public slots:
    void refresh();

protected:
    void changeEvent(QEvent* event) override;

private slots:
    void onBtnAdd();
    void onBtnModify();
    void onBtnDelete();
    void onCheckBoxClicked(bool isChecked);

private:
    void retranslate();

    QTableWidget* tableWidget;
    QPushButton* btnAdd;
    QPushButton* btnClose;
};
