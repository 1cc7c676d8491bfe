#pragma once

#include <QPointer>
#include <QWidget>

#include "core/ports/MessageBox.h"

namespace pt {

// Message boxes on top of a parent window (or centred on the screen).
class QtMessageBox : public MessageBox {
public:
    explicit QtMessageBox(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    MsgAnswer show(const std::string& text, const std::string& title, MsgButtons buttons,
                   MsgIcon icon, MsgDefault defaultButton) override;
    void notify(const std::string& text, const std::string& title, MsgIcon icon) override;

private:
    QPointer<QWidget> m_parent;
};

}  // namespace pt
