#include "ui/win32/Win32RankingWindow.h"

#include <memory>

#include "core/form/OnlineControls.h"
#include "core/online/DesktopBrowser.h"
#include "core/online/RankingPresenter.h"
#include "ui/win32/Win32Dialog.h"
#include "ui/win32/Win32WebPage.h"

namespace pt {
namespace {

// Takes the presenter's navigation before the window exists and hands it to the page once
// the window has built it, or to the desktop's browser where the page cannot show it.
class RankingPageBrowser : public Browser {
public:
    explicit RankingPageBrowser(Shell& shell) : m_desktop(shell) {}

    void attach(Win32WebPage& page) {
        m_page = &page;
        if (!m_url.empty()) show();
    }
    void navigate(const std::string& url) override {
        m_url = url;
        if (m_page) show();
    }
    std::string title() const override { return {}; }
    void onTitleChanged(std::function<void(const std::string&)>) override {}

private:
    void show() {
        m_page->navigate(m_url);
        m_page->realise();
        if (m_page->unavailable()) m_desktop.navigate(m_url);
    }

    DesktopBrowser m_desktop;
    Win32WebPage* m_page = nullptr;
    std::string m_url;
};

}  // namespace

void RunWin32RankingWindow(HWND owner, HFONT font, Shell& shell, const std::string& address,
                           Language lang, std::uint32_t installationId,
                           const DynamicValue& points) {
    using namespace ranking_controls;
    const bool withPage = Win32WebPage::controlAvailable();
    // Without a web control the page goes straight to the desktop's browser.
    DesktopBrowser desktop(shell);
    RankingPageBrowser deferred(shell);
    RankingPresenter presenter(withPage ? static_cast<Browser&>(deferred) : desktop, address, lang);
    presenter.load(installationId, points);
    std::unique_ptr<Win32WebPage> page;
    const int width = withPage ? 640 : 380, height = withPage ? 560 : 130;
    Win32DialogSpec spec{
        Window,
        width,
        height,
        [&](Win32FormBinder& b, HWND d) {
            b.add(Win32FormBinder::Kind::Label, Instruction, d, 18, 14, 344, 22);
            b.add(Win32FormBinder::Kind::Label, CodeCaption, d, 18, 48, 70, 22);
            HWND code = b.add(Win32FormBinder::Kind::Edit, Code, d, 90, 45, 272, 24);
            SendMessageW(code, EM_SETREADONLY, TRUE, 0);
            b.add(Win32FormBinder::Kind::Button, Close, d, width - 118, 88, 100, 28);
            if (!withPage) return;
            page = std::make_unique<Win32WebPage>(d, RECT{18, 124, width - 18, height - 18}, font);
            deferred.attach(*page);
        },
        [&presenter](ControlId id) {
            if (id == Close) presenter.close();
        },
        [&presenter] { presenter.close(); },
        [&presenter] { return presenter.closeRequested(); }};
    RunWin32Dialog(owner, font, presenter.form(), spec);
}

}  // namespace pt
