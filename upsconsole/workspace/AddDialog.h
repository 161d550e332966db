#pragma once

#include <QDialog>
#include <QList>
#include <QPair>
#include <QString>

class QLabel;
class QLineEdit;
class QCheckBox;
class QSpinBox;
class QPushButton;

// Adds a station under a station (kind 0) or one device or a run of
// consecutive device addresses to a station (kind 1).
class AddDialog : public QDialog
{
    Q_OBJECT
public:
    AddDialog(int kind, int stationId, QWidget* parent = nullptr);

    int kind() const { return m_kind; }
    int stationId() const { return m_stationId; }

signals:
    void addStationSuccess();
    void addDeviceSuccess(QList<QPair<QString, QString> > list);

protected:
    void changeEvent(QEvent* event) override;

private slots:
    void addItem();
    void continuousStateChanged(int checkState);

private:
    void retranslate();
    void addStation();
    void addDevices();

    int m_kind;
    int m_stationId;

    QLabel* m_labelName = nullptr;
    QLineEdit* m_editName = nullptr;

    QLabel* m_labelIp = nullptr;
    QLineEdit* m_editIp = nullptr;
    QLabel* m_labelCommunity = nullptr;
    QLineEdit* m_editCommunity = nullptr;
    QCheckBox* m_checkContinuous = nullptr;
    QSpinBox* m_spinCount = nullptr;
    QCheckBox* m_checkThreePhase = nullptr;

    QPushButton* m_btnSure = nullptr;
};
