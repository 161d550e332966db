#pragma once

#include <QWidget>

class QPushButton;
class QTableWidget;

class FixedParamPage : public QWidget
{
    Q_OBJECT
public:
    explicit FixedParamPage(QWidget* parent = nullptr);
    QTableWidget* table() const { return m_table; }

    static bool isValidMac(const QString& value);
    // "001122AABBCC" -> "00:11:22:AA:BB:CC"; other texts come back unchanged.
    static QString withMacColons(const QString& value);

signals:
    void sendCmd(int cmd, QByteArray data);

public slots:
    void handleRespond(int cmd, const quint8* data, int size);

private slots:
    void backupFixedParam();
    void loadFixedParam();
    void resetFixedParam();
    void addFixedParam();
    void sendFixedParam();
    void handleCellChangedEvent(int row, int column);

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void setRow(int row, const QString& name, const QString& value);

    QTableWidget* m_table;
    QPushButton* m_btnRead;
    QPushButton* m_btnWrite;
    QPushButton* m_btnAdd;
    QPushButton* m_btnReset;
    QPushButton* m_btnBackup;
    QPushButton* m_btnLoad;
};
