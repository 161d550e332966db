#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Every file dialog of the suite goes through here. Tests queue the file
// names the next dialogs return (an empty name means "cancelled"); a process
// with UPS_FILEDIALOG_AUTO set returns that value without showing a dialog.
class FileDialog
{
public:
    static QString getOpenFileName(QWidget* parent, const QString& caption, const QString& dir = QString(),
                                   const QString& filter = QString(), QString* selectedFilter = nullptr);
    static QString getSaveFileName(QWidget* parent, const QString& caption, const QString& dir = QString(),
                                   const QString& filter = QString(), QString* selectedFilter = nullptr);
    static QString getExistingDirectory(QWidget* parent, const QString& caption, const QString& dir = QString());

    static void setNextFileName(const QString& fileName);
    static void clearNextFileNames();

private:
    static bool takeName(QString* name);
};
