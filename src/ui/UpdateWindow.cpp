#include "ui/UpdateWindow.h"

#include <QLabel>
#include <QVBoxLayout>

#include "ui/WebView.h"

namespace pt {

UpdateWindow::UpdateWindow(Language lang, const std::string& versionText,
                           const std::string& address)
    : OnlineWindow(m_presenter.form(), update_controls::Window, update_controls::Page, lang),
      m_presenter(*m_web, lang, versionText, address) {
    auto* label = new QLabel(this);
    label->setObjectName(ObjectName(update_controls::Version));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_web, 1);
    layout->addWidget(label);
    resize(800, 600);
    // The window runs no timer of its own: the presenter only keeps it off.
    binder().bindCustom(update_controls::Timer, [](const Control&) {});
    m_presenter.load();
    bind();
}

}  // namespace pt
