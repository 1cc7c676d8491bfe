// The composition root: the real platform services, the main window and its commands.

#include <QApplication>
#include <QSessionManager>

#include "Commands.h"
#include "HistoryExport.h"
#include "platform/PlatformServices.h"
#include "ui/AutoUpdateWindow.h"
#include "ui/MainWindow.h"
#include "ui/OnlineWindows.h"
#include "ui/QtMessageBox.h"
#include "ui/RankingWindow.h"
#include "ui/SiteBrowserWindow.h"
#include "ui/UpdateWindow.h"

int main(int argc, char** argv) {
    // Command-line work that needs no window (and no display) ends here.
    if (const auto exitCode = pt::RunExportCommand(argc, argv)) return *exitCode;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pathtally"));
    QApplication::setQuitOnLastWindowClosed(false);

    pt::QtMessageBox messages;
    auto platform = pt::CreatePlatformServices();
    // Before anything else: one instance only. The language is not known yet.
    if (!platform->singleInstance().acquire()) {
        messages.show(
            "这个程序正在运行中，不能重复运行，若在屏幕上看不到，请点击右下角相应图标处即可显示此程"
            "序",
            "Pathtally", pt::MsgButtons::Ok, pt::MsgIcon::Warning, pt::MsgDefault::First);
        return 0;
    }

    const pt::InputBackendChoice& backend = platform->inputBackend();
    qInfo("Input: %s (%s)", backend.name.c_str(), backend.reason.c_str());
    pt::PlatformServices& p = *platform;
    pt::Form1Services services{p.store(), p.clock(),     p.numberFormat(), p.system(), messages,
                               p.shell(), p.autostart(), p.cursor(),       p.input(),  p.power()};
    services.history = p.history();
    services.inputAccess = &p.inputAccess();
    pt::MainWindow window(services);
    messages.setParent(&window);
    window.skipTaskbar = [&p](QWidget* w) { p.keepOffTaskList(w->winId()); };
    // Fault-injection tests run the one-second tick faster (10 to 1000 ms); nothing else
    // changes. Unset in every real run.
    if (const int ms = qEnvironmentVariableIntValue("PATHTALLY_TEST_SECOND_MS");
        ms >= 10 && ms <= 1000)
        window.secondTickMs = ms;
    window.start();
    auto online = pt::WireCommands(window);

    // Nothing counted is lost when the session ends or the process is asked to stop.
    pt::Form1& form = window.presenter();
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                     [&form](QSessionManager&) { form.saveAll(); });
    platform->onStopRequest([&form] {
        form.saveAll();
        QApplication::exit(0);
    });

    window.showAtStart();
    return app.exec();
}
