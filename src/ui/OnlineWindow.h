#pragma once

#include <QWidget>

#include "core/form/FormModel.h"
#include "core/texts/Language.h"
#include "ui/FormBinder.h"

namespace pt {

class WebView;

// Base of the windows that show a page of the product website: a top-level window,
// deleted when closed, rendering its presenter's form model. The window's own control
// (named like the window) carries its title and visibility. Esc closes it.
class OnlineWindow : public QWidget {
    Q_OBJECT
public:
    // `clicked` receives the window's button clicks, by name.
    OnlineWindow(FormModel& model, ControlId window, ControlId page, Language lang,
                 FormBinder::ClickHandler clicked = {});

    WebView* webView() const { return m_web; }
    // Controls of the window that no widget carries (none when the view is complete).
    std::vector<std::string> unboundControls() const { return m_binder->unboundControls(); }
    // Brings the open window to the front without reloading it.
    void bringToFront();

protected:
    // Call at the end of the subclass's constructor, once its widgets exist.
    void bind();
    // Renders what the presenter changed.
    void sync() { m_binder->sync(); }
    FormBinder& binder() { return *m_binder; }

    WebView* m_web;

private:
    FormBinder* m_binder;
    ControlId m_window;
};

}  // namespace pt
