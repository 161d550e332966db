#pragma once

#include <QDialog>

class QLabel;

// "About": program name, version, build date and a short description.
class AboutDialog : public QDialog
{
    Q_OBJECT
public:
    static const char kVersion[];

    explicit AboutDialog(QWidget* parent = nullptr);
    QString text() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    QLabel* m_logo;
    QLabel* m_text;
};
