#pragma once

#include "online/FormAutoUpdate.h"
#include "ui/HttpPageTitle.h"
#include "ui/OnlineWindow.h"

class QTimer;

namespace pt {

// The automatic update check (FormAutoUpdate): hidden while the update page is read over
// HTTP, then the verdict. It shows and closes itself as its presenter decides. The page
// itself is shown in the web view (which loads the web engine) only once a person sees
// it, from the copy already read when that copy is whole.
class AutoUpdateWindow : public OnlineWindow {
    Q_OBJECT
public:
    AutoUpdateWindow(Wlang lang, const std::string& versionNumber, const std::string& address,
                     FormAutoUpdate::Mode mode);
    FormAutoUpdate& presenter() { return m_presenter; }

signals:
    // The check ended (the window may stay open showing the verdict).
    void finished(FormAutoUpdate::Outcome outcome);

private:
    void onTick();

    HttpPageTitle m_pageTitle;
    FormAutoUpdate m_presenter;
    QTimer* m_timer;
};

}  // namespace pt
