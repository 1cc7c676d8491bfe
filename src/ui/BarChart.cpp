#include "BarChart.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

#include "ChartModel.h"
#include "core/stats/ChartAxis.h"

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
    // Room at the top for the scale, at the bottom for the labels.
    return rect().adjusted(6, labelHeight, -6, -labelHeight);
}

qlonglong BarChart::largest() const {
    qlonglong most = 0;
    for (const ChartPoint& point : m_model.points())
        if (point.value) most = std::max<qlonglong>(most, *point.value);
    return most;
}

int BarChart::barAt(QPoint position) const {
    const QRect area = plotArea();
    const int count = m_model.rowCount();
    if (count == 0 || position.x() < area.left() || position.x() > area.right() ||
        !rect().contains(position))
        return -1;
    return std::clamp((position.x() - area.left()) * count / std::max(1, area.width()), 0,
                      count - 1);
}

QRectF BarChart::barBox(int row) const {
    const QRect area = plotArea();
    const int count = m_model.rowCount();
    const qlonglong most = largest();
    if (row < 0 || row >= count || most <= 0) return {};
    const auto& value = m_model.points()[static_cast<size_t>(row)].value;
    if (!value || *value <= 0) return {};
    const double slot = static_cast<double>(area.width()) / count;
    const double gap = slot > 4 ? slot * 0.2 : 0;
    const double height = static_cast<double>(*value) / most * area.height();
    return {area.left() + row * slot + gap / 2, area.bottom() - height + 1,
            std::max(1.0, slot - gap), height};
}

QRect BarChart::scaleBox() const {
    const qlonglong most = largest();
    if (most <= 0) return {};
    const QRect area = plotArea();
    const QString text = QString::fromStdString(FigureText(most, m_model.figure()));
    // Above the bars, in the margin the plot area leaves at the top.
    return {area.left() + 2, 1, fontMetrics().horizontalAdvance(text) + 2, fontMetrics().height()};
}

std::vector<BarChart::AxisLabel> BarChart::axisLabels() const {
    std::vector<AxisLabel> labels;
    const int count = m_model.rowCount();
    if (count == 0) return labels;
    const QRect area = plotArea();
    const QFontMetrics metrics = fontMetrics();
    std::vector<std::string> names;
    names.reserve(size_t(count));
    for (const auto& point : m_model.points()) names.push_back(point.label);
    const auto textWidth = [&](std::string_view text) {
        return metrics.horizontalAdvance(QString::fromUtf8(text.data(), qsizetype(text.size())));
    };
    for (const auto& label : pt::AxisLabels(
             names, area.left(), static_cast<double>(area.width()) / count, width(), textWidth))
        labels.push_back({QRect(label.left, area.bottom() + 2, label.width, metrics.height()),
                          QString::fromStdString(label.text)});
    return labels;
}

void BarChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    const QRect area = plotArea();
    const int count = m_model.rowCount();
    const qlonglong most = largest();

    p.setPen(palette().mid().color());
    p.drawLine(area.bottomLeft(), area.bottomRight());
    if ((count == 0 || most == 0) && !m_emptyText.isEmpty()) {
        p.setPen(palette().text().color());
        p.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, m_emptyText);
    }
    if (count == 0) return;

    const QColor bar = palette().highlight().color();
    for (int i = 0; i < count; ++i)
        if (const QRectF box = barBox(i); !box.isEmpty()) p.fillRect(box, bar);

    p.setPen(palette().text().color());
    if (const QRect box = scaleBox(); !box.isEmpty())
        p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromStdString(FigureText(most, m_model.figure())));
    for (const AxisLabel& label : axisLabels())
        p.drawText(label.box, Qt::AlignLeft | Qt::AlignTop, label.text);
}

void BarChart::mousePressEvent(QMouseEvent* event) {
    const int row = event->button() == Qt::LeftButton ? barAt(event->position().toPoint()) : -1;
    if (row >= 0) emit barClicked(row);
    QWidget::mousePressEvent(event);
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
