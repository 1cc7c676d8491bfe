#include "ChartModel.h"

namespace pt {

void ChartModel::setPoints(std::vector<ChartPoint> points, DayFigure figure) {
    beginResetModel();
    m_points = std::move(points);
    m_figure = figure;
    endResetModel();
}

int ChartModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_points.size());
}

int ChartModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant ChartModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const ChartPoint& point = m_points[static_cast<size_t>(index.row())];
    if (index.column() == 0)
        return role == Qt::DisplayRole ? QVariant(QString::fromStdString(point.label)) : QVariant();
    if (!point.value) return {};
    if (role == ValueRole) return QVariant::fromValue<qlonglong>(*point.value);
    if (role == Qt::DisplayRole) return QString::fromStdString(FigureText(*point.value, m_figure));
    return {};
}

}  // namespace pt
