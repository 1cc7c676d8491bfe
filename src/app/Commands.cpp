#include "Commands.h"

#include "input/ClickHook.h"
#include "shell/FeedbackMail.h"
#include "ui/AutoUpdateWindow.h"
#include "ui/ClearAll.h"
#include "ui/FormAbout.h"
#include "ui/FormOption.h"
#include "ui/HistoryWindow.h"
#include "ui/MainWindow.h"
#include "ui/OnlineWindows.h"
#include "ui/RankingWindow.h"
#include "ui/SiteBrowserWindow.h"
#include "ui/UpdateWindow.h"

namespace pt {

std::unique_ptr<OnlineWindows> WireCommands(MainWindow& window) {
    Form1& form = window.presenter();
    Form1Services& s = form.services();

    window.setCommand("menuOption", [&window, &form, &s] {
        ClickHook& hook = form.clickHook();
        ClickHookSwitch hookSwitch{[&hook] { return hook.installed(); },
                                   [&hook] { hook.AddHook(); }, [&hook] { hook.DelHook(); }};
        FormOption::run(s.store, s.autostart, s.system, form.lang(), hookSwitch, &window);
    });
    window.setCommand("menuClearAll", [&window, &form, &s] {
        ClearAll::run(form.model(), s.store, s.clock, form.lang(), &window, form.dayAccounting(),
                      [&form] { form.Timer1_Timer(); });
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
        FormAbout::showInstance(s.store, s.shell, form.lang(),
                                {form.VersionNumber(), form.computerName(), form.userName()},
                                &window);
    };
    window.setCommand("menuAbout", about);
    window.setCommand("menuRightMenuAbout", about);
    window.setCommand("menuEmailToMe", [&form, &s] {
        s.shell.open(FeedbackMailText(FeedbackVariant::MainMenu, form.lang()));
    });

    auto online =
        std::make_unique<OnlineWindows>(s.store, s.messages, form.lang(), form.VersionNumber(),
                                        [&form] { return form.model().JiFeng; });
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
