#pragma once

#include <QList>
#include <QPair>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "SNMPData.h"

class QLabel;
class QPushButton;
class QSplitter;
class QStackedWidget;
class QTableWidget;
class DialogStatus;
class IconItemGraphicsView;

// The central widget: the current station's devices as a live table or as
// icons, the device panel below them and the notice of new status traps.
class MainWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MainWidget(QWidget* parent = nullptr);

    void setIconMode(bool iconMode);
    bool iconMode() const { return m_iconMode; }
    void showDevicePanel(bool show);

    int stationId() const { return m_stationId; }
    QString stationName() const { return m_stationName; }
    QStringList ipList() const { return m_ipList; }
    QTableWidget* table() const { return m_table; }
    IconItemGraphicsView* iconView() const { return m_iconView; }
    DialogStatus* statusDialog() const { return m_status; }
    QWidget* devicePanel() const { return m_panel; }
    QLabel* noteLabel() const { return m_note; }
    QPushButton* viewMoreButton() const { return m_btnViewMore; }

signals:
    void deviceChanged(bool isAdd, int stationID, QList<QString> listDev);

public slots:
    void handleStationChanged(int id, QString station);
    void handleAddStationEvent();
    void refreshStation();
    void updateDeviceRow(QString ipv4, SNMPData data);
    // Add and delete handlers of the device context menu.
    void handleAddSuccess(QList<QPair<QString, QString> > list);
    void handleDelSuccess(QStringList list);

protected:
    void changeEvent(QEvent* event) override;

private slots:
    void displayMenuOnTable(QPoint pos);
    void handleTableClickedEvent(int row, int column);
    void handleTableDoubleClickedEvent(int row, int column);
    void handleDevStatusChanged(QString ipv4, int state);
    void onBtnViewMoreClicked();
    void onTrapReady(QString ipv4, int trap);
    void showDeviceInPanel(QString ipv4);

private:
    void retranslate();
    void fillStation(int stationId);
    void setCell(int row, int column, const QString& text, const QColor& color = QColor());

    int m_stationId = 0;
    QString m_stationName;
    bool m_iconMode = false;
    QStringList m_ipList;
    QSet<int> m_filled; // stations already listed by the current fill

    QSplitter* m_splitter;
    QStackedWidget* m_stack;
    QTableWidget* m_table;
    IconItemGraphicsView* m_iconView;
    QWidget* m_panel;
    DialogStatus* m_status;
    QLabel* m_note;
    QPushButton* m_btnViewMore;
    bool m_noteShown = false;
};
