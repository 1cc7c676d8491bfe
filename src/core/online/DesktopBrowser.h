#pragma once

#include <string>

#include "core/ports/Browser.h"
#include "core/ports/Shell.h"

namespace pt {

// A page shown in the desktop's own web browser, for a build without an embedded web
// control: navigate() opens the address there. The page's title stays unknown here.
class DesktopBrowser : public Browser {
public:
    explicit DesktopBrowser(Shell& shell) : m_shell(shell) {}
    void navigate(const std::string& url) override { m_shell.open(url); }
    std::string title() const override { return {}; }
    void onTitleChanged(std::function<void(const std::string&)>) override {}

private:
    Shell& m_shell;
};

}  // namespace pt
