#include "Skin.h"

#include <QFont>
#include <QPalette>
#include <QStringList>
#include <QWidget>

namespace pt {

namespace {

constexpr const char* SkinProperty = "ptSkin";

const char* const StyleSheet = R"(
QPushButton {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fdfefe, stop:1 #d9e4ef);
    border: 1px solid #7d95ad;
    border-radius: 4px;
    padding: 4px 14px;
    min-width: 64px;
}
QPushButton:hover { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #c6daee); }
QPushButton:pressed { background: #b7cde3; }
QPushButton:default { border: 2px solid #4a78a6; }
QPushButton:disabled { color: #8a96a3; border-color: #b5c0cc; }
QCheckBox:disabled, QLabel:disabled { color: #8a96a3; }
QToolTip { background: #fffbe6; color: #30343a; border: 1px solid #c9b97a; }
)";

}  // namespace

void ApplySkin(QWidget* window) {
    if (!window) return;
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, QColor(0xEE, 0xF3, 0xF8));
    palette.setColor(QPalette::WindowText, QColor(0x1F, 0x2A, 0x36));
    palette.setColor(QPalette::Base, QColor(0xFF, 0xFF, 0xFF));
    palette.setColor(QPalette::AlternateBase, QColor(0xE4, 0xEC, 0xF4));
    palette.setColor(QPalette::Button, QColor(0xDD, 0xE7, 0xF1));
    palette.setColor(QPalette::ButtonText, QColor(0x1F, 0x2A, 0x36));
    palette.setColor(QPalette::Highlight, QColor(0x3D, 0x6F, 0xA3));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, QColor(0x1A, 0x5F, 0xB4));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x8A, 0x96, 0xA3));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x8A, 0x96, 0xA3));
    window->setPalette(palette);
    window->setAutoFillBackground(true);

    // Latin text in Noto Sans, Chinese in the CJK faces; fontconfig falls back when missing.
    QFont font = window->font();
    font.setFamilies({QStringLiteral("Noto Sans"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Noto Sans CJK TC")});
    window->setFont(font);

    window->setStyleSheet(QString::fromLatin1(StyleSheet));
    window->setProperty(SkinProperty, true);
}

bool IsSkinned(const QWidget* window) {
    return window && window->property(SkinProperty).toBool();
}

}  // namespace pt
