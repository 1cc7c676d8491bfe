#pragma once

#include <QWidget>
#include <vector>

namespace pt {

class ChartModel;

// A bar chart painted from a ChartModel: one bar per row, scaled to the largest value;
// rows without a value leave a gap. Hovering a bar shows its label and value; clicking
// it reports its row. The scale (the largest value) stands above the bars, the labels
// below them, each inside the chart and none over another.
class BarChart : public QWidget {
    Q_OBJECT
public:
    explicit BarChart(ChartModel& model, QWidget* parent = nullptr);

    // A text drawn across an empty chart (such as "no hours for this figure").
    void setEmptyText(const QString& text);
    QSize sizeHint() const override;

    // Where the parts are drawn at the present size.
    struct AxisLabel {
        QRect box;
        QString text;
    };
    std::vector<AxisLabel> axisLabels() const;
    QRect scaleBox() const;        // empty when there is no bar
    QRectF barBox(int row) const;  // empty for a row without a bar

signals:
    void barClicked(int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QRect plotArea() const;
    int barAt(QPoint position) const;
    qlonglong largest() const;

    ChartModel& m_model;
    QString m_emptyText;
};

}  // namespace pt
