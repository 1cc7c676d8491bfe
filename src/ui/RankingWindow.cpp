#include "ui/RankingWindow.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/WebView.h"

namespace pt {

RankingWindow::RankingWindow(const std::string& address, std::uint32_t installationId,
                             const DynamicValue& points, Language lang)
    : OnlineWindow(m_presenter.form(), ranking_controls::Window, ranking_controls::Page, lang,
                   [this](ControlId id) {
                       if (id == ranking_controls::Close) m_presenter.close();
                       if (m_presenter.closeRequested()) close();
                   }),
      m_presenter(*m_web, address, lang) {
    auto* label1 = new QLabel(this);
    label1->setObjectName(ObjectName(ranking_controls::Instruction));
    auto* label2 = new QLabel(this);
    label2->setObjectName(ObjectName(ranking_controls::CodeCaption));
    auto* code = new QLineEdit(this);
    code->setObjectName(ObjectName(ranking_controls::Code));
    code->setReadOnly(true);  // selectable and copyable, not editable
    auto* close = new QPushButton(this);
    close->setObjectName(ObjectName(ranking_controls::Close));
    auto* layout = new QGridLayout(this);
    layout->addWidget(label1, 0, 0, 1, 3);
    layout->addWidget(label2, 1, 0);
    layout->addWidget(code, 1, 1);
    layout->addWidget(close, 1, 2);
    layout->addWidget(m_web, 2, 0, 1, 3);
    layout->setRowStretch(2, 1);
    layout->setColumnStretch(1, 1);
    resize(800, 600);
    m_presenter.load(installationId, points);
    bind();
    code->selectAll();
}

}  // namespace pt
