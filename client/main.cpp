// The Vorlane client: finds its files and the temporary directory, creates
// every window and runs until the main window closes.
#include "net/client.h"
#include "net/mainwindow.h"
#include "net/startup.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QMessageBox>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Every data file lies beside the program.
    QDir::setCurrent(QCoreApplication::applicationDirPath());

    vorlan::AppState state;
    state.dir = QDir::currentPath();
    state.appTitle = QStringLiteral("The Vorlane");
    QApplication::setWindowIcon(QIcon(QStringLiteral("vorlan.ico")));

    state.tempDir = vorlan::findTempDir();
    if (state.tempDir.isEmpty()) {
        QMessageBox::critical(nullptr, state.appTitle,
                              QStringLiteral("Temporary directory not found. Exiting."));
        return 0;
    }
    state.globalMapName =
        vorlan::temporaryMapFile(state.tempDir, QCoreApplication::applicationFilePath());

    vorlan::Client client(std::move(state));
    client.main().show();
    app.exec();
    return 0;
}
