#include "Skin.h"

#include <QEvent>
#include <QFont>
#include <QPalette>
#include <QStringList>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace pt {

namespace {

constexpr const char* SkinProperty = "ptSkin";
constexpr double ReadableContrast = 4.5;

double Luminance(QColor c) {
    const auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

// Keeps a figure's colour readable when the application's palette changes (a dark
// desktop theme switched on while the program runs).
class FigureColor : public QObject {
public:
    FigureColor(QWidget* label, QColor designed) : QObject(label), m_designed(designed) {
        label->installEventFilter(this);
        apply(label);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // The application's palette reaches a widget as a change of its own palette.
        if (event->type() == QEvent::PaletteChange ||
            event->type() == QEvent::ApplicationPaletteChange ||
            event->type() == QEvent::ParentChange)
            apply(static_cast<QWidget*>(watched));
        return false;
    }

private:
    void apply(QWidget* label) {
        // The background the label is drawn on: its parent's (a label paints none).
        const QWidget* under = label->parentWidget() ? label->parentWidget() : label;
        QPalette palette = label->palette();
        const QColor color = ReadableColor(m_designed, under->palette().color(QPalette::Window));
        if (palette.color(QPalette::WindowText) == color) return;
        palette.setColor(QPalette::WindowText, color);
        label->setPalette(palette);
    }

    QColor m_designed;
};

}  // namespace

void ApplySkin(QWidget* window) {
    if (!window) return;
    // Latin text in Noto Sans, Chinese in the CJK faces; fontconfig falls back when missing.
    QFont font = window->font();
    font.setFamilies({QStringLiteral("Noto Sans"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Noto Sans CJK TC")});
    window->setFont(font);
    window->setProperty(SkinProperty, true);
}

bool IsSkinned(const QWidget* window) {
    return window && window->property(SkinProperty).toBool();
}

void SetFigureColor(QWidget* label, QColor designed) {
    if (label) new FigureColor(label, designed);
}

double ContrastRatio(QColor a, QColor b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ReadableColor(QColor designed, QColor background) {
    if (ContrastRatio(designed, background) >= ReadableContrast) return designed;
    const bool darkBackground = Luminance(background) < 0.18;
    float h, s, l, a;
    designed.getHslF(&h, &s, &l, &a);
    for (int step = 0; step < 100; ++step) {
        l = std::clamp(l + (darkBackground ? 0.02f : -0.02f), 0.0f, 1.0f);
        const QColor candidate = QColor::fromHslF(h, s, l, a);
        if (ContrastRatio(candidate, background) >= ReadableContrast || l <= 0 || l >= 1)
            return candidate;
    }
    return darkBackground ? QColor(Qt::white) : QColor(Qt::black);
}

}  // namespace pt
