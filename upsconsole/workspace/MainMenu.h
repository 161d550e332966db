#pragma once

#include <QList>
#include <QMenu>
#include <QPair>
#include <QString>
#include <QStringList>

// Context menu of the station view's devices (table and icon view).
class MainMenu : public QMenu
{
    Q_OBJECT
public:
    MainMenu(bool hasDevice, int stationId, const QStringList& addresses, const QString& stationName,
             QWidget* parent = nullptr);

    QAction* settingsAction() const { return m_settings; }
    QAction* browserAction() const { return m_browser; }
    QAction* addDeviceAction() const { return m_add; }
    QAction* deleteAction() const { return m_delete; }
    QAction* attributeAction() const { return m_attribute; }
    QAction* refreshAction() const { return m_refresh; }

    int stationId() const { return m_stationId; }
    QStringList addresses() const { return m_addresses; }

signals:
    void refreshDev();
    void addSuccess(QList<QPair<QString, QString> > list);
    void delSuccess(QStringList list);

private slots:
    void onSettings();
    void onBrowser();
    void onAdd();
    void onDelete();
    void onAttribute();

private:
    bool m_hasDevice;
    int m_stationId;
    QStringList m_addresses;
    QString m_stationName;

    QAction* m_settings;
    QAction* m_browser;
    QAction* m_add;
    QAction* m_delete;
    QAction* m_attribute;
    QAction* m_refresh;
};
