#pragma once

#include "online/FormUpdate.h"
#include "ui/OnlineWindow.h"

namespace pt {

// The manual update window (FormUpdate): the download page and the running version.
class UpdateWindow : public OnlineWindow {
    Q_OBJECT
public:
    UpdateWindow(Wlang lang, const std::string& versionNumber, const std::string& address);
    FormUpdate& presenter() { return m_presenter; }

private:
    FormUpdate m_presenter;
};

}  // namespace pt
