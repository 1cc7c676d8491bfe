#include "core/texts/HistoryTexts.h"

namespace pt::history_texts {

const Text& FigureName(DayFigure figure) {
    static constexpr Text Travel{"鼠标移动距离", "滑鼠移動距離", "鼠标移动距离"};
    static constexpr Text LeftClicks{"左键点击", "左鍵點擊", "左键点击"};
    static constexpr Text MiddleClicks{"中键点击", "中鍵點擊", "中键点击"};
    static constexpr Text RightClicks{"右键点击", "右鍵點擊", "右键点击"};
    static constexpr Text Keys{"键盘击打", "鍵盤擊打", "键盘击打"};
    static constexpr Text UseTime{"电脑用时", "電腦用時", "电脑用时"};
    switch (figure) {
        case DayFigure::Travel:
            return Travel;
        case DayFigure::LeftClicks:
            return LeftClicks;
        case DayFigure::MiddleClicks:
            return MiddleClicks;
        case DayFigure::RightClicks:
            return RightClicks;
        case DayFigure::Keys:
            return Keys;
        case DayFigure::UseTime:
            return UseTime;
    }
    return Travel;
}

}  // namespace pt::history_texts
