#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "core/ports/DayHistory.h"
#include "core/texts/Language.h"

namespace pt {

// The days as a table, newest first: the date, then every figure as text (the number
// itself under ChartModel::ValueRole).
class DayTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    DayTableModel(Language lang, QObject* parent = nullptr);

    // Takes the days oldest first, as the store gives them.
    void setDays(std::vector<DayRow> days);
    const std::vector<DayRow>& days() const { return m_days; }
    // The day shown in a row.
    const DayRow& dayAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    Language m_lang;
    std::vector<DayRow> m_days;
};

}  // namespace pt
