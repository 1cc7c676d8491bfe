#pragma once

#include "core/online/AutoUpdatePresenter.h"
#include "ui/HttpPageTitle.h"
#include "ui/OnlineWindow.h"

class QTimer;

namespace pt {

// The automatic update check (AutoUpdatePresenter): hidden while the update page is read over
// HTTP, then the verdict. It shows and closes itself as its presenter decides. The page
// itself is shown in the web view (which loads the web engine) only once a person sees
// it, from the copy already read when that copy is whole.
class AutoUpdateWindow : public OnlineWindow {
    Q_OBJECT
public:
    AutoUpdateWindow(Language lang, const std::string& versionText, const std::string& address,
                     AutoUpdatePresenter::Mode mode);
    AutoUpdatePresenter& presenter() { return m_presenter; }

signals:
    // The check ended (the window may stay open showing the verdict).
    void finished(AutoUpdatePresenter::Outcome outcome);

private:
    void onTick();

    HttpPageTitle m_pageTitle;
    AutoUpdatePresenter m_presenter;
    QTimer* m_timer;
};

}  // namespace pt
