// The Vorlane client: finds its files and the temporary directory, creates
// every window and runs until the main window closes.
#include "datafiles.h"
#include "startup.h"
#include "view/client.h"
#include "view/mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QMessageBox>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Data files are looked up beside the program, then in the installed data
    // folder (vorlan::dataFile); the current directory is left alone.
    vorlan::AppState state;
    state.dir = QCoreApplication::applicationDirPath();
    state.appTitle = QStringLiteral("The Vorlane");
    QApplication::setWindowIcon(QIcon(vorlan::dataFile(QStringLiteral("vorlan.ico"))));

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
