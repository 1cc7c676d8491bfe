// The composition root: the real platform services, the main window and its commands.

#include <QApplication>
#include <QSessionManager>

#include "Commands.h"
#include "HistoryExport.h"
#include "platform/linux/CreateX11CursorSource.h"
#include "platform/linux/DesktopShell.h"
#include "platform/linux/LinuxSystemInfo.h"
#include "platform/linux/LocalSingleInstance.h"
#include "platform/linux/LogindPower.h"
#include "platform/linux/QtClock.h"
#include "platform/linux/QtNumberFormat.h"
#include "platform/linux/SqliteSettingsStore.h"
#include "platform/linux/TerminationSignals.h"
#include "platform/linux/X11InputEvents.h"
#include "platform/linux/X11WindowHints.h"
#include "platform/linux/XdgAutostartEntry.h"
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
    // Before anything else: one instance only. The language is not known yet.
    pt::LocalSingleInstance instance;
    if (!instance.acquire()) {
        messages.show(
            "这个程序正在运行中，不能重复运行，若在屏幕上看不到，请点击右下角相应图标处即可显示此程"
            "序",
            "Pathtally", pt::MsgButtons::Ok, pt::MsgIcon::Warning, pt::MsgDefault::First);
        return 0;
    }

    auto store = pt::OpenSettingsStore();
    pt::QtClock clock;
    pt::QtNumberFormat numberFormat;
    pt::LinuxSystemInfo system;
    pt::DesktopShell shell;
    pt::XdgAutostartEntry autostart;
    auto cursor = pt::CreateX11CursorSource();
    pt::X11InputEvents input;
    pt::LogindPower power;

    pt::Form1Services services{*store, clock,     numberFormat, system, messages,
                               shell,  autostart, *cursor,      input,  power};
    services.history = store.get();
    pt::MainWindow window(services);
    messages.setParent(&window);
    window.skipTaskbar = [](QWidget* w) { pt::SetSkipTaskbar(w->winId()); };
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
    pt::TerminationSignals termination([&form] {
        form.saveAll();
        QApplication::exit(0);
    });

    window.showAtStart();
    return app.exec();
}
