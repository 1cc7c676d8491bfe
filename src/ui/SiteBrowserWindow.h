#pragma once

#include "online/FormWebBrowser.h"
#include "ui/OnlineWindow.h"

class QTimer;

namespace pt {

// A small browser on the product website (FormWebBrowser), its title following the page.
class SiteBrowserWindow : public OnlineWindow {
    Q_OBJECT
public:
    SiteBrowserWindow(Wlang lang, const std::string& siteRoot);
    FormWebBrowser& presenter() { return m_presenter; }

private:
    FormWebBrowser m_presenter;
    QTimer* m_timer;
};

}  // namespace pt
