#include "DayTableModel.h"

#include "ChartModel.h"
#include "core/stats/DayHistorySummary.h"
#include "core/texts/HistoryTexts.h"

namespace pt {
namespace {
constexpr int FigureCount = static_cast<int>(std::size(AllDayFigures));
}

DayTableModel::DayTableModel(Language lang, QObject* parent)
    : QAbstractTableModel(parent), m_lang(lang) {}

void DayTableModel::setDays(std::vector<DayRow> days) {
    beginResetModel();
    m_days = std::move(days);
    endResetModel();
}

const DayRow& DayTableModel::dayAt(int row) const {
    return m_days[m_days.size() - 1 - static_cast<size_t>(row)];
}

int DayTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_days.size());
}

int DayTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 1 + FigureCount;
}

QVariant DayTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const DayRow& day = dayAt(index.row());
    if (index.column() == 0)
        return role == Qt::DisplayRole ? QVariant(QString::fromStdString(day.date)) : QVariant();
    const DayFigure figure = AllDayFigures[index.column() - 1];
    const std::int64_t value = FigureOf(day.figures, figure);
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(FigureText(value, figure));
        case ChartModel::ValueRole:
            return QVariant::fromValue<qlonglong>(value);
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        default:
            return {};
    }
}

QVariant DayTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    if (section == 0) return QString::fromUtf8(history_texts::Date.in(m_lang).data());
    if (section <= FigureCount) {
        const std::string_view name =
            history_texts::FigureName(AllDayFigures[section - 1]).in(m_lang);
        return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    }
    return {};
}

}  // namespace pt
