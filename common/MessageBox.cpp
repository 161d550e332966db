#include "MessageBox.h"

#include <QMutex>
#include <QPushButton>
#include <QQueue>
#include <cstdio>

namespace {
QMutex g_mutex;
QQueue<int> g_answers;
QList<MessageBox::Shown> g_shown;

QMessageBox::Icon toQtIcon(MessageBox::Icon icon)
{
    switch (icon) {
    case MessageBox::Information: return QMessageBox::Information;
    case MessageBox::Warning: return QMessageBox::Warning;
    case MessageBox::Critical: return QMessageBox::Critical;
    case MessageBox::Question: return QMessageBox::Question;
    default: return QMessageBox::NoIcon;
    }
}
}

bool MessageBox::takeAnswer(Icon icon, const QString& title, const QString& text, int* answer)
{
    QMutexLocker lock(&g_mutex);
    g_shown.append({icon, title, text});
    if (!g_answers.isEmpty()) {
        *answer = g_answers.dequeue();
        return true;
    }
    const QByteArray autoAnswer = qgetenv("UPS_MESSAGEBOX_AUTO");
    if (!autoAnswer.isEmpty()) {
        std::fprintf(stderr, "MessageBox: %s: %s\n", title.toUtf8().constData(), text.toUtf8().constData());
        std::fflush(stderr);
        *answer = autoAnswer.toInt();
        return true;
    }
    return false;
}

int MessageBox::show(Icon icon, QWidget* parent, const QString& title, const QString& text,
                     const QString& button0, const QString& button1, const QString& button2,
                     int defaultButton, int escapeButton)
{
    int answer = 0;
    if (takeAnswer(icon, title, text, &answer))
        return answer;

    QMessageBox box(toQtIcon(icon), title, text, QMessageBox::NoButton, parent);
    QList<QPushButton*> buttons;
    for (const QString& t : {button0, button1, button2}) {
        if (t.isEmpty())
            break;
        buttons.append(box.addButton(t, QMessageBox::ActionRole));
    }
    if (defaultButton >= 0 && defaultButton < buttons.size())
        box.setDefaultButton(buttons.at(defaultButton));
    if (escapeButton >= 0 && escapeButton < buttons.size())
        box.setEscapeButton(buttons.at(escapeButton));
    box.exec();
    const int index = buttons.indexOf(qobject_cast<QPushButton*>(box.clickedButton()));
    return index >= 0 ? index : escapeButton;
}

QMessageBox::StandardButton MessageBox::show(Icon icon, QWidget* parent, const QString& title,
                                             const QString& text, QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton)
{
    int answer = 0;
    if (takeAnswer(icon, title, text, &answer))
        return static_cast<QMessageBox::StandardButton>(answer);
    QMessageBox box(toQtIcon(icon), title, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void MessageBox::setNextAnswer(int answer)
{
    QMutexLocker lock(&g_mutex);
    g_answers.enqueue(answer);
}

void MessageBox::clearAnswers()
{
    QMutexLocker lock(&g_mutex);
    g_answers.clear();
}

int MessageBox::pendingAnswers()
{
    QMutexLocker lock(&g_mutex);
    return g_answers.size();
}

QList<MessageBox::Shown> MessageBox::shown()
{
    QMutexLocker lock(&g_mutex);
    return g_shown;
}

MessageBox::Shown MessageBox::lastShown()
{
    QMutexLocker lock(&g_mutex);
    return g_shown.isEmpty() ? Shown{NoIcon, QString(), QString()} : g_shown.last();
}

void MessageBox::clearShown()
{
    QMutexLocker lock(&g_mutex);
    g_shown.clear();
}
