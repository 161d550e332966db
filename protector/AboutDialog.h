#pragma once

#include <QDialog>

class QLabel;

class AboutDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
    QString text() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    QLabel* m_label;
};
