#pragma once

#include "online/FormAutoUpdate.h"
#include "ui/OnlineWindow.h"

class QTimer;

namespace pt {

// The automatic update check (FormAutoUpdate): hidden while the update page loads, then
// the verdict. It shows and closes itself as its presenter decides.
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

    FormAutoUpdate m_presenter;
    QTimer* m_timer;
};

}  // namespace pt
