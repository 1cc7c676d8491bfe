#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "core/stats/DayHistorySummary.h"

namespace pt {

// The bars of a chart as a table: column 0 the label (a date or an hour), column 1 the
// value. The value column shows the figure's text and gives the number itself under
// ValueRole (no value where the program did not run). The chart paints from here, so what
// it shows can be read back without looking at pixels.
class ChartModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int ValueRole = Qt::UserRole;

    using QAbstractTableModel::QAbstractTableModel;

    void setPoints(std::vector<ChartPoint> points, DayFigure figure);
    const std::vector<ChartPoint>& points() const { return m_points; }
    DayFigure figure() const { return m_figure; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    std::vector<ChartPoint> m_points;
    DayFigure m_figure = DayFigure::Travel;
};

}  // namespace pt
