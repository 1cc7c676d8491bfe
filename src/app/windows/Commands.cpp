#include "Commands.h"

#include <random>

#include "core/form/DialogControls.h"
#include "core/form/MainControls.h"
#include "core/online/InstallationId.h"
#include "core/online/RankingCode.h"
#include "core/online/Site.h"
#include "core/online/SitePages.h"
#include "core/shell/AboutPresenter.h"
#include "core/shell/ClearAllPresenter.h"
#include "core/shell/FeedbackMail.h"
#include "core/shell/OptionsPresenter.h"
#include "ui/win32/Win32AboutBox.h"
#include "ui/win32/Win32Dialog.h"
#include "ui/win32/Win32RankingWindow.h"

namespace pt {

void WireCommands(pt::Win32MainWindow& window, const pt::MainServices& s, pt::MainParts& parts,
                  UpdateChecks& updates) {
    pt::MainPresenter& form = window.presenter();
    window.addCommand(pt::main_controls::OptionsItem, [&window, &form, s, &parts] {
        pt::ClickHook& hook = parts.clickHook;
        pt::ClickHookSwitch hookSwitch{[&hook] { return hook.installed(); },
                                       [&hook] { hook.install(); }, [&hook] { hook.remove(); }};
        pt::OptionsPresenter options(s.store, s.autostart, s.system, form.lang(), hookSwitch);
        pt::Win32DialogSpec spec{pt::options_controls::Window,
                                 400,
                                 190,
                                 [](pt::Win32FormBinder& b, HWND d) {
                                     using namespace pt::options_controls;
                                     const pt::ControlId checks[] = {
                                         StartWithSystem, CheckForUpdates, NoClickCounting,
                                         NoKeyCounting};
                                     for (int i = 0; i < 4; ++i)
                                         b.add(pt::Win32FormBinder::Kind::CheckBox, checks[i], d,
                                               18, 14 + i * 28, 364, 24);
                                     const pt::ControlId buttons[] = {Ok, Apply, Cancel};
                                     for (int i = 0; i < 3; ++i)
                                         b.add(pt::Win32FormBinder::Kind::Button, buttons[i], d,
                                               90 + i * 100, 150, 92, 28);
                                 },
                                 [&options](pt::ControlId id) { options.click(id); },
                                 [&options] { options.cancel(); },
                                 [&options] { return options.closeRequested(); }};
        pt::RunWin32Dialog(window.handle(), window.font(), options.form(), spec);
    });
    window.addCommand(pt::main_controls::ClearAllItem, [&window, &form, s, &parts] {
        pt::ClearAllPresenter clear(parts.statistics, s.store, s.clock, s.messages, form.lang());
        pt::Win32DialogSpec spec{
            pt::clear_all_controls::Window,
            380,
            130,
            [](pt::Win32FormBinder& b, HWND d) {
                using namespace pt::clear_all_controls;
                b.add(pt::Win32FormBinder::Kind::Label, Warning, d, 18, 14, 344, 60);
                b.add(pt::Win32FormBinder::Kind::Button, Ok, d, 150, 88, 100, 28);
                b.add(pt::Win32FormBinder::Kind::Button, Cancel, d, 260, 88, 100, 28);
            },
            [&clear](pt::ControlId id) { clear.click(id); },
            [&clear] { clear.cancel(); },
            [&clear] { return clear.closeRequested(); }};
        pt::RunWin32Dialog(window.handle(), window.font(), clear.form(), spec);
    });
    auto about = [&window, &form, s] {
        pt::AboutPresenter presenter(s.store, s.shell, form.lang(),
                                     {form.versionText(), form.computerName(), form.userName()});
        pt::RunWin32AboutBox(window.handle(), window.font(), presenter);
    };
    window.addCommand(pt::main_controls::AboutItem, about);
    window.addCommand(pt::main_controls::TrayAboutItem, about);
    // The ranking page in the ranking window's web control, or in the desktop's browser.
    auto ranking = [&window, &form, s, &parts] {
        const pt::DynamicValue points = parts.statistics.points;
        if (!pt::RankingAllowed(points, s.messages)) return;
        std::random_device random;
        pt::RunWin32RankingWindow(
            window.handle(), window.font(), s.shell, pt::SiteAddress(s.store, pt::RankingPagePath),
            form.lang(), pt::InstallationId(s.store, [&random] { return random(); }), points);
    };
    window.addCommand(pt::main_controls::RankingItem, ranking);
    window.addCommand(pt::main_controls::RankingLink, ranking);
    window.addCommand(pt::main_controls::UpdateItem,
                      [s] { s.shell.open(pt::SiteAddress(s.store, pt::DownloadPagePath)); });
    window.addCommand(pt::main_controls::SiteBrowserItem,
                      [s] { s.shell.open(pt::SiteRoot(s.store)); });
    window.addCommand(pt::main_controls::AutoUpdateItem, [&updates] { updates.checkForUpdates(); });
    window.addCommand(pt::main_controls::FeedbackItem, [&form, s] {
        s.shell.open(pt::FeedbackMailText(pt::FeedbackVariant::MainMenu, form.lang()));
    });
    window.onShown = [&updates] { updates.mainWindowShown(); };
}

}  // namespace pt
