#pragma once

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <functional>
#include <memory>
#include <string>

#include "ApplicationWindows.h"
#include "FileSystem.h"
#include "MainWindow.h"
#include "ScriptedHost.h"

namespace velkor::testing {

// The running test program, which stands in for the window program's own file.
inline std::string RunningProgram() {
    return QCoreApplication::applicationFilePath().toStdString();
}

// The five windows on a scripted host, created as at start-up. Unless asked
// to check, the working directory counts as checked already, so that showing
// the main window starts no check.
struct Windows {
    explicit Windows(std::string programPath = RunningProgram(), bool checkDirectory = false)
        : windows(std::make_unique<ApplicationWindows>(host, files, std::move(programPath))) {
        // Every piece of work lets messages through: no test depends on speed.
        windows->messageInterval = std::chrono::nanoseconds(0);
        windows->Create();
        if (!checkDirectory) {
            windows->Main().DefaultDirectory = files.CurrentDirectory() + "/";
        }
    }

    MainWindow& main() { return windows->Main(); }

    ScriptedHost host;
    FileSystem files;
    std::unique_ptr<ApplicationWindows> windows;
};

// A check inside a callback that runs within a modal loop. QVERIFY would only
// leave the callback and leave the loop waiting for input that never comes, so
// a failure here ends the test program at once.
#define VELKOR_VERIFY_IN_LOOP(condition)                                                       \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            QTest::qFail("'" #condition "' returned FALSE inside a loop", __FILE__, __LINE__); \
            qFatal("a check inside a modal loop failed: the test ends here");                  \
        }                                                                                      \
    } while (false)

// Runs action from inside the modal loop of window, once it is shown.
inline void WhenShown(QWidget& window, std::function<void()> action) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, &window, action = std::move(action)] {
        if (window.isVisible()) {
            timer->stop();
            timer->deleteLater();
            action();
        }
    });
    timer->start();
}

// Runs the event loop for a while, letting it go idle as a running program does.
inline void RunEventLoop(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the event loop, letting it go idle as a running program does, until
// done() holds. False when that has not happened within the limit, which only
// bounds a failing test and never decides a passing one.
inline bool RunEventLoopUntil(const std::function<bool()>& done, int limitMilliseconds = 20000) {
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done()) {
            loop.quit();
        }
    });
    QTimer::singleShot(limitMilliseconds, &loop, &QEventLoop::quit);
    poll.start();
    if (!done()) {
        loop.exec();
    }
    return done();
}

// Types text character by character, also characters beyond Latin-1.
inline void TypeText(QWidget* widget, const QString& text) {
    for (const QChar character : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(character));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(character));
        QApplication::sendEvent(widget, &release);
    }
}

// Types ASCII text through the window system, as a keyboard does: an open
// popup takes the keys before the window.
inline void SystemKeys(QWindow* window, const QString& text) {
    for (const QChar character : text) {
        QTest::keyClick(window, character.toLatin1());
    }
}

// A pointer move over widget without buttons, as the window system delivers it.
inline void MovePointer(QWidget* widget, QPoint position = {}) {
    if (position.isNull()) {
        position = widget->rect().center();
    }
    QMouseEvent move(QEvent::MouseMove, position, widget->mapToGlobal(position), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

}  // namespace velkor::testing
