#include "texts/ViewTexts.h"

namespace pt {

namespace {

constexpr TwoScripts HourRange{"0 - 23 之间的数字", "0 - 23 之間的數字"};
constexpr TwoScripts MinuteRange{"0 - 59 之间的数字", "0 - 59 之間的數字"};

}  // namespace

const std::vector<AccessibleText>& MainWindowAccessibleTexts() {
    static const std::vector<AccessibleText> texts = {
        // Statistics page: the figures.
        {"Label2", {"鼠标今天移动的路程", "滑鼠今天移動的路程"}, {"单位：米", "單位：米"}},
        {"Label4", {"鼠标累计移动的路程", "滑鼠累計移動的路程"}, {"单位：公里", "單位：公里"}},
        {"Label6",
         {"鼠标当前位置", "滑鼠當前位置"},
         {"屏幕上的横坐标和纵坐标", "螢幕上的橫座標和縱座標"}},
        {"Label8", {"鼠标移动的历史最高记录", "滑鼠移動的歷史最高記錄"}, {"单位：米", "單位：米"}},
        {"Label10", {"电脑今天用时", "電腦今天用時"}, {"时:分:秒", "時:分:秒"}},
        {"Label12", {"电脑累计用时", "電腦累計用時"}, {"时:分:秒", "時:分:秒"}},
        {"Label14", {"Windows已运行时间", "Windows已運行時間"}, {"时:分:秒", "時:分:秒"}},
        {"Label16", {"电脑用时的历史最高记录", "電腦用時的歷史最高記錄"}, {"时:分:秒", "時:分:秒"}},
        {"Label19", {"等级称号", "等級稱號"}, {}},
        {"Label21", {"等级积分", "等級積分"}, {}},
        {"Label25", {"鼠标点击次数的历史最高记录", "滑鼠點擊次數的歷史最高記錄"}, {}},
        {"Label73", {"今天的键盘按键次数", "今天的鍵盤按鍵次數"}, {}},
        {"Label74", {"累计的键盘按键次数", "累計的鍵盤按鍵次數"}, {}},
        {"ClickLineToday",
         {"今日鼠标点击次数", "今日滑鼠點擊次數"},
         {"左键、中键、右键分别的次数", "左鍵、中鍵、右鍵分別的次數"}},
        {"ClickLineTotal",
         {"鼠标累计点击次数", "滑鼠累計點擊次數"},
         {"左键、中键、右键分别的次数", "左鍵、中鍵、右鍵分別的次數"}},
        {"WebBrowser1", {"官方网站首页", "官方網站首頁"}, {}},
        {"WebBrowser2", {"最新资讯", "最新資訊"}, {}},
        // Shutdown page: every field, named after its row.
        {"Text1",
         {"自动关机前的分钟数", "自動關機前的分鐘數"},
         {"输入大于0的数，可以是小数", "輸入大於0的數，可以是小數"},
         true},
        {"Text2", {"今天关机时间的小时", "今天關機時間的小時"}, HourRange, true},
        {"Text3", {"今天关机时间的分钟", "今天關機時間的分鐘"}, MinuteRange, true},
        {"Text4",
         {"星期一至星期五关机时间的小时", "星期一至星期五關機時間的小時"},
         HourRange,
         true},
        {"Text5",
         {"星期一至星期五关机时间的分钟", "星期一至星期五關機時間的分鐘"},
         MinuteRange,
         true},
        {"Text6", {"星期六关机时间的小时", "星期六關機時間的小時"}, HourRange, true},
        {"Text7", {"星期六关机时间的分钟", "星期六關機時間的分鐘"}, MinuteRange, true},
        {"Text8", {"星期日关机时间的小时", "星期日關機時間的小時"}, HourRange, true},
        {"Text9", {"星期日关机时间的分钟", "星期日關機時間的分鐘"}, MinuteRange, true},
        {"Text10",
         {"指定日期的月份", "指定日期的月份"},
         {"1 - 12 之间的数字", "1 - 12 之間的數字"},
         true},
        {"Text11",
         {"指定日期的日", "指定日期的日"},
         {"1 - 31 之间的数字", "1 - 31 之間的數字"},
         true},
        {"Text12", {"指定日期关机时间的小时", "指定日期關機時間的小時"}, HourRange, true},
        {"Text13", {"指定日期关机时间的分钟", "指定日期關機時間的分鐘"}, MinuteRange, true},
        {"Text14", {"每天第一个关机时间的小时", "每天第一個關機時間的小時"}, HourRange, true},
        {"Text15", {"每天第一个关机时间的分钟", "每天第一個關機時間的分鐘"}, MinuteRange, true},
        {"Text16", {"每天第二个关机时间的小时", "每天第二個關機時間的小時"}, HourRange, true},
        {"Text17", {"每天第二个关机时间的分钟", "每天第二個關機時間的分鐘"}, MinuteRange, true},
        {"Text18", {"每天第三个关机时间的小时", "每天第三個關機時間的小時"}, HourRange, true},
        {"Text19", {"每天第三个关机时间的分钟", "每天第三個關機時間的分鐘"}, MinuteRange, true},
        {"Label23", {"自动关机倒计时", "自動關機倒數計時"}, {}, true},
    };
    return texts;
}

}  // namespace pt
