#pragma once
// Runs an action that may open modal dialogs, closing each one as it appears
// and recording its text.

#include <functional>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

inline QStringList closeModals(const std::function<void()>& action)
{
    QStringList texts;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            if (auto* box = qobject_cast<QMessageBox*>(w))
                texts << box->text();
            else
                texts << w->objectName();
            w->close();
        }
    });
    poll.start();
    action();
    return texts;
}
