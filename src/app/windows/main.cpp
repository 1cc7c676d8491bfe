// The composition root of the Windows program: the Win32 services, the main window and
// the commands that open the dialogs.

#include <cstdlib>
#include <memory>
#include <random>

#include "form/DialogControls.h"
#include "form/MainControls.h"
#include "input/ClickHook.h"
#include "online/DesktopBrowser.h"
#include "online/InstallationId.h"
#include "online/RankingCode.h"
#include "online/RankingPresenter.h"
#include "online/Site.h"
#include "online/SitePages.h"
#include "online/UnaskedUpdateCheck.h"
#include "persistence/DataFile.h"
#include "platform/windows/RegistrySettingsStore.h"
#include "platform/windows/WinCursorSource.h"
#include "platform/windows/WinDataFolder.h"
#include "platform/windows/WinInputEvents.h"
#include "platform/windows/WinPlatform.h"
#include "shell/AboutPresenter.h"
#include "shell/ClearAllPresenter.h"
#include "shell/FeedbackMail.h"
#include "shell/OptionsPresenter.h"
#include "texts/MainWindowTexts.h"
#include "texts/ProgramName.h"
#include "ui/win32/Win32AboutBox.h"
#include "ui/win32/Win32AutoUpdateWindow.h"
#include "ui/win32/Win32Dialog.h"
#include "ui/win32/Win32MainWindow.h"
#include "ui/win32/Win32WebPage.h"

namespace {

// The update check's window: one at a time; the check the user asks for replaces an unseen
// one of the program's own, and the program runs its own unseen check once per run, when
// the main window is first shown (where the Options allow it).
class UpdateChecks {
public:
    UpdateChecks(pt::Win32MainWindow& window, pt::SettingsStore& store)
        : m_window(window), m_store(store), m_unasked(store) {}

    void checkForUpdates() {
        if (m_check && !m_check->finished() &&
            m_check->presenter().mode() == pt::AutoUpdatePresenter::Mode::Asked) {
            if (m_check->isVisible()) m_check->bringToFront();
            return;  // still loading unseen: it shows itself on its 30th tick
        }
        start(pt::AutoUpdatePresenter::Mode::Asked);
    }
    void mainWindowShown() {
        if (m_unasked.dueOnWindowShown(m_check && !m_check->finished()))
            start(pt::AutoUpdatePresenter::Mode::Unasked);
    }

private:
    void start(pt::AutoUpdatePresenter::Mode mode) {
        pt::MainPresenter& form = m_window.presenter();
        m_check.reset();
        m_check = std::make_unique<pt::Win32AutoUpdateWindow>(
            m_window.handle(), m_window.font(), form.lang(), form.versionText(),
            pt::SiteAddress(m_store, pt::UpdatePagePath), mode);
    }

    pt::Win32MainWindow& m_window;
    pt::SettingsStore& m_store;
    std::unique_ptr<pt::Win32AutoUpdateWindow> m_check;
    pt::UnaskedUpdateCheck m_unasked;
};

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
    // Without a web control the site's pages open in the desktop's browser; the ranking
    // window keeps the code to paste into the ranking page.
    auto ranking = [&window, &form, s, &parts] {
        const pt::DynamicValue points = parts.statistics.points;
        if (!pt::RankingAllowed(points, s.messages)) return;
        pt::DesktopBrowser browser(s.shell);
        pt::RankingPresenter presenter(browser, pt::SiteAddress(s.store, pt::RankingPagePath),
                                       form.lang());
        std::random_device random;
        presenter.load(pt::InstallationId(s.store, [&random] { return random(); }), points);
        pt::Win32DialogSpec spec{pt::ranking_controls::Window,
                                 380,
                                 130,
                                 [](pt::Win32FormBinder& b, HWND d) {
                                     b.add(pt::Win32FormBinder::Kind::Label,
                                           pt::ranking_controls::Instruction, d, 18, 14, 344, 22);
                                     b.add(pt::Win32FormBinder::Kind::Label,
                                           pt::ranking_controls::CodeCaption, d, 18, 48, 70, 22);
                                     HWND code =
                                         b.add(pt::Win32FormBinder::Kind::Edit,
                                               pt::ranking_controls::Code, d, 90, 45, 272, 24);
                                     SendMessageW(code, EM_SETREADONLY, TRUE, 0);
                                     b.add(pt::Win32FormBinder::Kind::Button,
                                           pt::ranking_controls::Close, d, 262, 88, 100, 28);
                                 },
                                 [&presenter](pt::ControlId id) {
                                     if (id == pt::ranking_controls::Close) presenter.close();
                                 },
                                 [&presenter] { presenter.close(); },
                                 [&presenter] { return presenter.closeRequested(); }};
        pt::RunWin32Dialog(window.handle(), window.font(), presenter.form(), spec);
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
}

// F3 ranking, F1 help, Ctrl+X exit, as the menu items say.
HACCEL MakeAccelerators(pt::FormModel& form) {
    auto command = [&form](pt::ControlId id) {
        return static_cast<WORD>(pt::FirstBoundId + form.slot(id));
    };
    ACCEL keys[] = {{FVIRTKEY, VK_F3, command(pt::main_controls::RankingItem)},
                    {FVIRTKEY, VK_F1, command(pt::main_controls::HelpItem)},
                    {FVIRTKEY | FCONTROL, 'X', command(pt::main_controls::ExitItem)}};
    return CreateAcceleratorTableW(keys, 3);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    pt::WinMessageBox messages;
    // Before anything else: one instance only. The language is not known yet.
    pt::MutexSingleInstance instance;
    if (!instance.acquire()) {
        messages.show(std::string(pt::main_texts::AlreadyRunning.designed()),
                      std::string(pt::ProgramName), pt::MsgButtons::Ok, pt::MsgIcon::Warning,
                      pt::MsgDefault::First);
        return 0;
    }

    pt::OleApartment ole;  // for the web control of the home strip and news pages

    pt::WinSystemInfo system;
    // The data file lives in the user's own folder, wherever the program was started from.
    pt::EnterWinDataFolder(pt::DataFileName, system.computerName());

    pt::RegistrySettingsStore store;
    pt::WinClock clock;
    pt::WinNumberFormat numberFormat;
    pt::WinShell shell;
    pt::RunKeyAutostart autostart(store);
    pt::WinCursorSource cursor;
    pt::WinInputEvents input;
    pt::WinPower power;

    pt::MainServices services{store, clock,     numberFormat, system, messages,
                              shell, autostart, cursor,       input,  power};
    pt::MainParts parts(services.input, services.history, services.clock);
    pt::Win32MainWindow window(services, parts);
    messages.setOwner(window.handle());
    // Tests run the one-second tick faster (10 to 1000 ms); unset in every real run.
    if (const char* ms = std::getenv("PATHTALLY_TEST_SECOND_MS")) {
        const long value = std::strtol(ms, nullptr, 10);
        if (value >= 10 && value <= 1000) window.secondTickMs = static_cast<unsigned>(value);
    }
    window.start();
    UpdateChecks updates(window, store);
    WireCommands(window, services, parts, updates);
    window.onShown = [&updates] { updates.mainWindowShown(); };
    window.showAtStart();

    HACCEL accelerators = MakeAccelerators(window.presenter().form());
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorW(window.handle(), accelerators, &msg)) continue;
        if (IsDialogMessageW(GetAncestor(msg.hwnd, GA_ROOT), &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    // Exit and power actions have saved already; a quit message from elsewhere saves here.
    window.presenter().saveAll();
    DestroyAcceleratorTable(accelerators);
    return static_cast<int>(msg.wParam);
}
