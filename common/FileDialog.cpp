#include "FileDialog.h"

#include <QFileDialog>
#include <QMutex>
#include <QQueue>

namespace {
QMutex g_mutex;
QQueue<QString> g_names;
}

bool FileDialog::takeName(QString* name)
{
    QMutexLocker lock(&g_mutex);
    if (!g_names.isEmpty()) {
        *name = g_names.dequeue();
        return true;
    }
    if (qEnvironmentVariableIsSet("UPS_FILEDIALOG_AUTO")) {
        *name = qEnvironmentVariable("UPS_FILEDIALOG_AUTO");
        return true;
    }
    return false;
}

QString FileDialog::getOpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                                    const QString& filter, QString* selectedFilter)
{
    QString name;
    if (takeName(&name))
        return name;
    return QFileDialog::getOpenFileName(parent, caption, dir, filter, selectedFilter);
}

QString FileDialog::getSaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                                    const QString& filter, QString* selectedFilter)
{
    QString name;
    if (takeName(&name))
        return name;
    return QFileDialog::getSaveFileName(parent, caption, dir, filter, selectedFilter);
}

QString FileDialog::getExistingDirectory(QWidget* parent, const QString& caption, const QString& dir)
{
    QString name;
    if (takeName(&name))
        return name;
    return QFileDialog::getExistingDirectory(parent, caption, dir);
}

void FileDialog::setNextFileName(const QString& fileName)
{
    QMutexLocker lock(&g_mutex);
    g_names.enqueue(fileName);
}

void FileDialog::clearNextFileNames()
{
    QMutexLocker lock(&g_mutex);
    g_names.clear();
}
