#include "ui/UpdateWindow.h"

#include <QLabel>
#include <QVBoxLayout>

#include "ui/WebView.h"

namespace pt {

UpdateWindow::UpdateWindow(Language lang, const std::string& versionText,
                           const std::string& address)
    : OnlineWindow(m_presenter.form(), QStringLiteral("FormUpdate"), lang),
      m_presenter(*m_web, lang, versionText, address) {
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_web, 1);
    layout->addWidget(label);
    resize(800, 600);
    m_presenter.load();
    bind();
}

}  // namespace pt
