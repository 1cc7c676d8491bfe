#pragma once

#include <QWidget>

namespace pt {

class ChartModel;

// A bar chart painted from a ChartModel: one bar per row, scaled to the largest value;
// rows without a value leave a gap. Hovering a bar shows its label and value.
class BarChart : public QWidget {
    Q_OBJECT
public:
    explicit BarChart(ChartModel& model, QWidget* parent = nullptr);

    // A text drawn across an empty chart (such as "no hours for this figure").
    void setEmptyText(const QString& text);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    QRect plotArea() const;
    int barAt(QPoint position) const;

    ChartModel& m_model;
    QString m_emptyText;
};

}  // namespace pt
