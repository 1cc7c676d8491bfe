#include "core/shell/ProgramCommands.h"

#include "core/form/MainControls.h"
#include "core/shell/FeedbackMail.h"
#include "core/startup/MainParts.h"
#include "core/startup/MainPresenter.h"

namespace pt {

void RegisterProgramCommands(CommandTable& commands, const MainServices& s, MainParts& parts,
                             MainPresenter& form, ProgramDialogs& dialogs, OnlineCommands& online) {
    using namespace main_controls;
    commands.add(OptionsItem, [&dialogs, &form, s, &parts] {
        ClickHook& hook = parts.clickHook;
        ClickHookSwitch hookSwitch{[&hook] { return hook.installed(); },
                                   [&hook] { hook.install(); }, [&hook] { hook.remove(); }};
        dialogs.runOptions(std::make_unique<OptionsPresenter>(s.store, s.autostart, s.system,
                                                              form.lang(), hookSwitch));
    });
    commands.add(ClearAllItem, [&dialogs, &form, s, &parts] {
        dialogs.runDataReset([&form, s, &parts](MessageBox& boxes) {
            // What the pointer travelled up to the confirmation is taken in first, so that
            // it is cleared with the rest instead of landing in the zeroed totals.
            return std::make_unique<ClearAllPresenter>(parts.statistics, s.store, s.clock, boxes,
                                                       form.lang(), parts.days.get(),
                                                       [&form] { form.onSamplingTick(); });
        });
    });
    if (s.history && dialogs.offersDayHistory()) {
        auto history = [&dialogs, &form, s] {
            // Saved first, so the window shows the last seconds too.
            form.saveAll();
            dialogs.showDayHistory(*s.history);
        };
        commands.add(DayHistoryItem, history);
        commands.add(TrayDayHistoryItem, history);
    } else {
        form.form().setVisible(DayHistoryItem, false);
        form.form().setVisible(TrayDayHistoryItem, false);
    }
    auto about = [&dialogs, &form, s] {
        dialogs.showAbout([&form, s] {
            return std::make_unique<AboutPresenter>(
                s.store, s.shell, form.lang(),
                AboutFacts{form.versionText(), form.computerName(), form.userName()});
        });
    };
    commands.add(AboutItem, about);
    commands.add(TrayAboutItem, about);
    commands.add(FeedbackItem, [&form, s] {
        s.shell.open(FeedbackMailText(FeedbackVariant::MainMenu, form.lang()));
    });

    commands.add(UpdateItem, [&online] { online.showDownloadPage(); });
    commands.add(AutoUpdateItem, [&online] { online.checkForUpdates(); });
    commands.add(SiteBrowserItem, [&online] { online.showSite(); });
    commands.add(RankingItem, [&online] { online.requestRanking(); });
    commands.add(RankingLink, [&online] { online.requestRanking(); });
}

}  // namespace pt
