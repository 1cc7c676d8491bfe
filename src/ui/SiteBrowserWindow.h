#pragma once

#include "core/online/SiteBrowserPresenter.h"
#include "ui/OnlineWindow.h"

class QTimer;

namespace pt {

// A small browser on the product website (SiteBrowserPresenter), its title following the page.
class SiteBrowserWindow : public OnlineWindow {
    Q_OBJECT
public:
    SiteBrowserWindow(Language lang, const std::string& siteRoot);
    SiteBrowserPresenter& presenter() { return m_presenter; }

private:
    SiteBrowserPresenter m_presenter;
    QTimer* m_timer;
};

}  // namespace pt
