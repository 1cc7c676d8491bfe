#pragma once

#include <QWidget>

namespace pt {

// A widget whose layout may grow past the designed size (a larger font, longer texts) but
// never shrinks below it: its minimum is the larger of the two in each direction, and so is
// the size it asks for.
class DesignedMinimumWidget : public QWidget {
public:
    using QWidget::QWidget;

    void setDesignedSize(QSize size) {
        if (size == m_designed) return;
        m_designed = size;
        updateGeometry();
    }
    QSize designedSize() const { return m_designed; }

    QSize minimumSizeHint() const override {
        return QWidget::minimumSizeHint().expandedTo(m_designed);
    }
    QSize sizeHint() const override { return minimumSizeHint(); }

private:
    QSize m_designed;
};

}  // namespace pt
