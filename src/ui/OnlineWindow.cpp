#include "ui/OnlineWindow.h"

#include <QShortcut>

#include "core/texts/OnlineTexts.h"
#include "ui/WebView.h"

namespace pt {

OnlineWindow::OnlineWindow(FormModel& model, ControlId window, ControlId page, Language lang,
                           FormBinder::ClickHandler clicked)
    : QWidget(nullptr), m_web(new WebView(this)), m_window(window) {
    setObjectName(ObjectName(window));
    setAttribute(Qt::WA_DeleteOnClose);
    m_web->setObjectName(ObjectName(page));
    m_web->setUnavailableText(QString::fromUtf8(page_texts::Unavailable.in(lang)));
    SetUnreachableTexts(*m_web, lang);
    m_binder = new FormBinder(model, this, std::move(clicked));
    // Esc closes the window, as it closes a dialog.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

void OnlineWindow::bind() {
    m_binder->bindChildren();
    m_binder->bindCustom(m_window, [this](const Control& c) {
        setWindowTitle(QString::fromStdString(c.text));
        if (c.visible && !isVisible()) m_web->prepareToShow();
        if (isVisible() != c.visible) setVisible(c.visible);
    });
    m_binder->syncAll();
}

void OnlineWindow::bringToFront() {
    if (!isVisible()) {
        m_web->prepareToShow();
        show();
    }
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

}  // namespace pt
