#pragma once

#include <string_view>
#include <vector>

#include "form/ControlId.h"
#include "texts/Language.h"

namespace pt {

// A text of the windows in both scripts.
struct TwoScripts {
    std::string_view simplified;
    std::string_view traditional;
    // The main window's rule: Traditional only for "B5".
    std::string_view in(Language lang) const {
        return SimplifiedUnlessTraditional(lang, simplified, traditional);
    }
};

// Close button of the ranking window, with its access key.
inline constexpr TwoScripts RankingCloseText{"关闭(&C)", "關閉(&C)"};

// Navigation of the site browser window.
inline constexpr TwoScripts BackText{"后退(&B)", "後退(&B)"};
inline constexpr TwoScripts ForwardText{"前进(&F)", "前進(&F)"};
inline constexpr TwoScripts ReloadText{"刷新(&R)", "重新整理(&R)"};

// What a page area says where the web module cannot be loaded at all.
inline constexpr TwoScripts PageUnavailableText{"无法显示此网页：网页组件未能加载。",
                                                "無法顯示此網頁：網頁元件未能載入。"};

// The small local page shown where a page of the site cannot be loaded (nothing is
// retried): a heading and the address that failed.
inline constexpr TwoScripts PageUnreachableText{"无法打开此网页", "無法開啟此網頁"};
inline constexpr TwoScripts PageUnreachableHint{"请检查网络连接。网址：", "請檢查網路連線。網址："};

// What a screen reader says for a control that shows a figure or takes a value: its
// name and a description. `gbTest` marks the controls whose captions follow the GB test
// (the shutdown page); the others follow the B5 test, as the window's captions do.
struct AccessibleText {
    ControlId control;
    TwoScripts name;
    TwoScripts description;
    bool gbTest = false;
    std::string_view nameIn(Language lang) const {
        return gbTest ? TraditionalUnlessSimplified(lang, name.simplified, name.traditional)
                      : name.in(lang);
    }
    std::string_view descriptionIn(Language lang) const {
        return gbTest ? TraditionalUnlessSimplified(lang, description.simplified,
                                                    description.traditional)
                      : description.in(lang);
    }
};

// Every field and figure of the main window, the two click lines ("ClickLineToday",
// "ClickLineTotal") and the two web pages.
const std::vector<AccessibleText>& MainWindowAccessibleTexts();

}  // namespace pt
