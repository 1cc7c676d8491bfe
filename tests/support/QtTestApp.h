#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

class QApplication;

namespace pt::test {

// The one application object of a Qt test binary, made on first use and kept for the
// binary's life. App is QApplication for widget tests, QGuiApplication where only the
// display is needed; a binary uses one kind.
template <typename App = QApplication>
App& QtTestApp() {
    if (auto* app = qobject_cast<App*>(QCoreApplication::instance())) return *app;
    static int argc = 1;
    static char name[] = "pathtally-test";
    static char* argv[] = {name, nullptr};
    return *new App(argc, argv);
}

// Runs the event loop until `done` holds (true) or `ms` have passed (false). The default
// bound is generous, for a loaded machine.
template <typename Done>
bool QtWaitUntil(Done done, int ms = 30000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

}  // namespace pt::test
