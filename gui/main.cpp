#include <QApplication>
#include <QFileInfo>

#include "ApplicationWindows.h"
#include "FileSystem.h"
#include "Glyphs.h"
#include "MainWindow.h"
#include "QtHost.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velkor32"));
    QApplication::setWindowIcon(velkor::ProgramIcon());

    velkor::QtHost host;
    // The program's own file must be in the current directory.
    const std::string programFileName =
        QFileInfo(QCoreApplication::applicationFilePath()).fileName().toStdString();
    velkor::ApplicationWindows windows(host, velkor::FileSystem::Native(), programFileName);
    windows.Create();
    windows.Mask().show();
    return QApplication::exec();
}
