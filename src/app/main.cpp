// The composition root: the real platform services, the main window and its commands.

#include <QApplication>
#include <QSessionManager>
#include <QSystemTrayIcon>
#include <QTimer>
#include <cstdio>

#include "CommandLine.h"
#include "Commands.h"
#include "HistoryExport.h"
#include "core/ports/PlatformServices.h"
#include "core/texts/MainWindowTexts.h"
#include "core/texts/ProgramName.h"
#include "ui/AppIcon.h"
#include "ui/AutoUpdateWindow.h"
#include "ui/MainWindow.h"
#include "ui/OnlineWindows.h"
#include "ui/QtMessageBox.h"
#include "ui/QtTranslations.h"
#include "ui/RankingWindow.h"
#include "ui/SiteBrowserWindow.h"
#include "ui/UpdateWindow.h"

int main(int argc, char** argv) {
    QApplication::setApplicationName(QString::fromUtf8(pt::ProgramName));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(PATHTALLY_VERSION_MAJOR)
                                            .arg(PATHTALLY_VERSION_MINOR)
                                            .arg(PATHTALLY_VERSION_PATCH));
    // The whole command line is answered before the application object, so --help,
    // --version, --export-csv and every error need no display.
    const pt::CommandLineRequest request =
        pt::ReadCommandLine(pt::WithoutToolkitOptions(pt::ProcessArguments(argc, argv)));
    if (request.exitStatus) return *request.exitStatus;
    if (request.exportCsv) return pt::RunExportCommand(argc, argv, *request.exportCsv);
    QApplication app(argc, argv);
    QApplication::setDesktopFileName(QStringLiteral("net.pathtally.Pathtally"));
    QApplication::setWindowIcon(pt::AppIcon());  // every window, the online ones too
    QApplication::setQuitOnLastWindowClosed(false);

    pt::QtMessageBox messages;
    auto platform = pt::CreatePlatformServices();
    // Standard buttons (OK, Cancel, Yes, No) in the window's language.
    pt::InstallQtTranslations(pt::LanguageFromLocaleId(platform->system().systemLocaleId()));
    // Before anything else: one instance only.
    if (!platform->singleInstance().acquire()) {
        if (const std::string reason = platform->singleInstance().failure(); !reason.empty()) {
            // Not a second start: there is no safe place for the single-instance lock.
            std::fprintf(stderr, "pathtally: cannot start: %s\n", reason.c_str());
            messages.show(std::string(pt::main_texts::CannotStart.designed()) + reason,
                          std::string(pt::ProgramName), pt::MsgButtons::Ok, pt::MsgIcon::Stop,
                          pt::MsgDefault::First);
            return 1;
        }
        // The running window comes to the front, besides the message.
        platform->singleInstance().activateRunning();
        messages.show(
            pt::AlreadyRunningText(pt::LanguageFromLocaleId(platform->system().systemLocaleId()),
                                   QSystemTrayIcon::isSystemTrayAvailable()),
            std::string(pt::ProgramName), pt::MsgButtons::Ok, pt::MsgIcon::Warning,
            pt::MsgDefault::First);
        return 0;
    }

    pt::PlatformServices& p = *platform;
    // The data file, opened by its bare name, lands in one per-user folder however the
    // program is started; one left where an earlier run started is taken over.
    p.enterDataFolder();
    const pt::InputBackendChoice& backend = p.inputBackend();
    qInfo("Input: %s (%s)", backend.name.c_str(), backend.reason.c_str());
    pt::MainServices services{p.store(), p.clock(),     p.numberFormat(), p.system(), messages,
                              p.shell(), p.autostart(), p.cursor(),       p.input(),  p.power()};
    services.history = p.history();
    services.inputAccess = &p.inputAccess();
    services.notifier = p.notifier();
    pt::MainParts parts(services.input, services.history, services.clock);
    pt::MainWindow window(services, parts, [&p](QWidget* w) { p.keepOffTaskList(w->winId()); });
    messages.setParent(&window);
    // Fault-injection tests run the one-second tick faster (10 to 1000 ms); nothing else
    // changes. Unset in every real run.
    if (const int ms = qEnvironmentVariableIntValue("PATHTALLY_TEST_SECOND_MS");
        ms >= 10 && ms <= 1000)
        window.secondTickMs = ms;
    window.start();
    auto online = pt::WireCommands(window, services, parts);

    // Nothing counted is lost when the session ends or the process is asked to stop.
    pt::MainPresenter& form = window.presenter();
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                     [&form](QSessionManager&) { form.saveAll(); });
    platform->onStopRequest([&form] {
        form.saveAll();
        QApplication::exit(0);
    });
    // A lost display ends the process from inside the window system's library: save first.
    platform->saveBeforeAbruptExit([&form] { form.saveAll(); });

    platform->singleInstance().onActivationRequested([&window] { window.bringToFront(); });
    window.showAtStart();
    // A store that can only be read keeps the stored totals but saves nothing: said once,
    // from the event loop, so the ticks run while the box is open.
    if (const std::string place = p.store().readOnlyPlace(); !place.empty())
        QTimer::singleShot(0, &window, [&messages, &form, place] {
            messages.show(pt::StoreReadOnlyText(form.lang(), place), std::string(pt::ProgramName),
                          pt::MsgButtons::Ok, pt::MsgIcon::Warning, pt::MsgDefault::First);
        });
    // A store another program keeps locked is not read yet: said once, the same way.
    if (const std::string locked = p.store().lockedPlace(); !locked.empty())
        QTimer::singleShot(0, &window, [&messages, &form, locked] {
            messages.show(pt::StoreLockedText(form.lang(), locked), std::string(pt::ProgramName),
                          pt::MsgButtons::Ok, pt::MsgIcon::Warning, pt::MsgDefault::First);
        });
    return app.exec();
}
