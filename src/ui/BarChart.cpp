#include "BarChart.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

#include "ChartModel.h"

namespace pt {

BarChart::BarChart(ChartModel& model, QWidget* parent) : QWidget(parent), m_model(model) {
    setMinimumHeight(120);
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&m_model, &QAbstractItemModel::modelReset, this, qOverload<>(&QWidget::update));
}

void BarChart::setEmptyText(const QString& text) {
    m_emptyText = text;
    update();
}

QSize BarChart::sizeHint() const {
    return {520, 160};
}

QRect BarChart::plotArea() const {
    const int labelHeight = fontMetrics().height() + 4;
    // Room at the top for the scale.
    return rect().adjusted(6, labelHeight, -6, -labelHeight);
}

int BarChart::barAt(QPoint position) const {
    const QRect area = plotArea();
    const int count = m_model.rowCount();
    if (count == 0 || !area.contains(position)) return -1;
    return std::clamp((position.x() - area.left()) * count / std::max(1, area.width()), 0,
                      count - 1);
}

void BarChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    const QRect area = plotArea();
    const int count = m_model.rowCount();
    qlonglong largest = 0;
    for (const ChartPoint& point : m_model.points())
        if (point.value) largest = std::max<qlonglong>(largest, *point.value);

    p.setPen(palette().mid().color());
    p.drawLine(area.bottomLeft(), area.bottomRight());
    if (count == 0 || largest == 0) {
        if (!m_emptyText.isEmpty()) {
            p.setPen(palette().text().color());
            p.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, m_emptyText);
        }
    }
    if (count == 0) return;

    const double slot = static_cast<double>(area.width()) / count;
    const double gap = slot > 4 ? slot * 0.2 : 0;
    const QColor bar = palette().highlight().color();
    const auto& points = m_model.points();
    for (int i = 0; i < count && largest > 0; ++i) {
        const auto& value = points[static_cast<size_t>(i)].value;
        if (!value || *value <= 0) continue;
        const double height = static_cast<double>(*value) / largest * area.height();
        p.fillRect(QRectF(area.left() + i * slot + gap / 2, area.bottom() - height + 1,
                          std::max(1.0, slot - gap), height),
                   bar);
    }

    // The scale: the largest value, at the top.
    if (largest > 0) {
        p.setPen(palette().text().color());
        p.drawText(area.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                   QString::fromStdString(FigureText(largest, m_model.figure())));
    }

    // Labels under the bars, as many as fit.
    p.setPen(palette().text().color());
    const QFontMetrics metrics = fontMetrics();
    const int labelWidth =
        metrics.horizontalAdvance(QString::fromStdString(points.front().label)) + 8;
    const int every = std::max(1, static_cast<int>(labelWidth / std::max(1.0, slot)) + 1);
    for (int i = 0; i < count; i += every) {
        QString label = QString::fromStdString(points[static_cast<size_t>(i)].label);
        if (label.size() == 10 && count > 1 && slot * every < labelWidth + 16)
            label = label.mid(5);  // "12-08" where a whole date does not fit
        const QRectF box(area.left() + i * slot - 40 + slot / 2, area.bottom() + 2, 80,
                         metrics.height());
        p.drawText(box, Qt::AlignHCenter | Qt::AlignTop, label);
    }
}

bool BarChart::event(QEvent* e) {
    if (e->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(e);
        const int row = barAt(help->pos());
        if (row < 0) {
            QToolTip::hideText();
        } else {
            const QString label = m_model.data(m_model.index(row, 0)).toString();
            const QString value = m_model.data(m_model.index(row, 1)).toString();
            QToolTip::showText(help->globalPos(), value.isEmpty() ? label : label + ": " + value,
                               this);
        }
        return true;
    }
    return QWidget::event(e);
}

}  // namespace pt
