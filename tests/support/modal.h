#pragma once
// Runs an action that may open modal dialogs, closing each one as it appears
// and recording its text.

#include <functional>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

// With byKey, each window is closed by an Esc press sent to it, as a
// player would close it.
inline QStringList closeModals(const std::function<void()>& action, bool byKey = false)
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
            if (byKey && w->windowHandle())
                QTest::keyClick(w->windowHandle(), Qt::Key_Escape);
            else if (byKey)
                QTest::keyClick(w, Qt::Key_Escape);
            else
                w->close();
        }
    });
    poll.start();
    action();
    return texts;
}
