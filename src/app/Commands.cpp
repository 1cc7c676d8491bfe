#include "Commands.h"

#include "core/form/MainControls.h"
#include "core/input/ClickHook.h"
#include "core/shell/FeedbackMail.h"
#include "ui/AboutDialog.h"
#include "ui/AutoUpdateWindow.h"
#include "ui/ClearAllDialog.h"
#include "ui/HistoryWindow.h"
#include "ui/MainWindow.h"
#include "ui/OnlineWindows.h"
#include "ui/OptionsDialog.h"
#include "ui/RankingWindow.h"
#include "ui/SiteBrowserWindow.h"
#include "ui/UpdateWindow.h"

namespace pt {

std::unique_ptr<OnlineWindows> WireCommands(MainWindow& window, const MainServices& s,
                                            MainParts& parts) {
    MainPresenter& form = window.presenter();

    window.addCommand(main_controls::OptionsItem, [&window, &form, s, &parts] {
        ClickHook& hook = parts.clickHook;
        ClickHookSwitch hookSwitch{[&hook] { return hook.installed(); },
                                   [&hook] { hook.install(); }, [&hook] { hook.remove(); }};
        OptionsDialog::run(s.store, s.autostart, s.system, form.lang(), hookSwitch, &window);
    });
    window.addCommand(main_controls::ClearAllItem, [&window, &form, s, &parts] {
        ClearAllDialog::run(parts.statistics, s.store, s.clock, form.lang(), &window,
                            parts.days.get(), [&form] { form.onSamplingTick(); });
    });
    auto history = [&window, &form, s] {
        // Saved first, so the window shows the last seconds too.
        form.saveAll();
        HistoryWindow::showInstance(*s.history, s.clock, s.messages, form.lang(), &window);
    };
    if (s.history) {
        window.addCommand(main_controls::DayHistoryItem, history);
        window.addCommand(main_controls::TrayDayHistoryItem, history);
    } else {
        form.form().setVisible(main_controls::DayHistoryItem, false);
        form.form().setVisible(main_controls::TrayDayHistoryItem, false);
    }
    auto about = [&window, &form, s] {
        AboutDialog::showInstance(s.store, s.shell, form.lang(),
                                  {form.versionText(), form.computerName(), form.userName()},
                                  &window);
    };
    window.addCommand(main_controls::AboutItem, about);
    window.addCommand(main_controls::TrayAboutItem, about);
    window.addCommand(main_controls::FeedbackItem, [&form, s] {
        s.shell.open(FeedbackMailText(FeedbackVariant::MainMenu, form.lang()));
    });

    auto online =
        std::make_unique<OnlineWindows>(s.store, s.messages, form.lang(), form.versionText(),
                                        [&parts] { return parts.statistics.points; });
    OnlineWindows* o = online.get();
    window.addCommand(main_controls::UpdateItem, [o] { o->showUpdate(); });
    window.addCommand(main_controls::AutoUpdateItem, [o] { o->checkForUpdates(); });
    window.addCommand(main_controls::SiteBrowserItem, [o] { o->showSiteBrowser(); });
    window.addCommand(main_controls::RankingItem, [o] { o->requestRanking(); });
    window.addCommand(main_controls::RankingLink, [o] { o->requestRanking(); });
    window.onShown = [o] { o->mainWindowShown(); };
    return online;
}

}  // namespace pt
