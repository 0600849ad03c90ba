#include <QApplication>
#include <QFile>

#include "ApplicationWindows.h"
#include "FileSystem.h"
#include "Glyphs.h"
#include "MainWindow.h"
#include "QtHost.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velkor32"));
    QApplication::setApplicationVersion(QStringLiteral(VELKOR_VERSION));
    // Ties the windows to the desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(VELKOR_APP_ID));
    QApplication::setWindowIcon(velkor::ProgramIcon());

    velkor::QtHost host;
    // The executable as the running process knows it: the program starts from
    // any folder and through a link of any name.
    const std::string programPath =
        QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
    velkor::ApplicationWindows windows(host, velkor::FileSystem::Native(), programPath);
    windows.Create();
    host.EndWith(windows.Main());
    windows.Main().show();
    return QApplication::exec();
}
