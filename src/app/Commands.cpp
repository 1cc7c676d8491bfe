#include "Commands.h"

#include "input/ClickHook.h"
#include "shell/FeedbackMail.h"
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

std::unique_ptr<OnlineWindows> WireCommands(MainWindow& window) {
    MainPresenter& form = window.presenter();
    MainServices& s = form.services();

    window.setCommand("menuOption", [&window, &form, &s] {
        ClickHook& hook = form.clickHook();
        ClickHookSwitch hookSwitch{[&hook] { return hook.installed(); },
                                   [&hook] { hook.install(); }, [&hook] { hook.remove(); }};
        OptionsDialog::run(s.store, s.autostart, s.system, form.lang(), hookSwitch, &window);
    });
    window.setCommand("menuClearAll", [&window, &form, &s] {
        ClearAllDialog::run(form.model(), s.store, s.clock, form.lang(), &window,
                            form.dayAccounting(), [&form] { form.onSamplingTick(); });
    });
    auto history = [&window, &form, &s] {
        // Saved first, so the window shows the last seconds too.
        form.saveAll();
        HistoryWindow::showInstance(*s.history, s.clock, s.messages, form.lang(), &window);
    };
    if (s.history) {
        window.setCommand("menuDayHistory", history);
        window.setCommand("menuRightMenuDayHistory", history);
    } else {
        form.form().setVisible("menuDayHistory", false);
        form.form().setVisible("menuRightMenuDayHistory", false);
    }
    auto about = [&window, &form, &s] {
        AboutDialog::showInstance(s.store, s.shell, form.lang(),
                                  {form.versionText(), form.computerName(), form.userName()},
                                  &window);
    };
    window.setCommand("menuAbout", about);
    window.setCommand("menuRightMenuAbout", about);
    window.setCommand("menuEmailToMe", [&form, &s] {
        s.shell.open(FeedbackMailText(FeedbackVariant::MainMenu, form.lang()));
    });

    auto online =
        std::make_unique<OnlineWindows>(s.store, s.messages, form.lang(), form.versionText(),
                                        [&form] { return form.model().points; });
    OnlineWindows* o = online.get();
    window.setCommand("menuUpdate", [o] { o->showUpdate(); });
    window.setCommand("menuAutoUpdate", [o] { o->checkForUpdates(); });
    window.setCommand("menuWebBrowser", [o] { o->showSiteBrowser(); });
    window.setCommand("menuPaiHang", [o] { o->requestRanking(); });
    window.setCommand("Label75", [o] { o->requestRanking(); });
    window.onShown = [o] { o->mainWindowShown(); };
    return online;
}

}  // namespace pt
