#include "texts/InputAccessTexts.h"

namespace pt {

std::string_view NoInputAccessNotice(Language lang) {
    return SimplifiedUnlessTraditional(
        lang,
        "无法读取输入设备：鼠标移动距离、点击次数和击键次数未测量（使用时间照常统计）。"
        "修复方法：安装本程序附带的 udev 规则 70-pathtally-input.rules（TAG+=\"uaccess\"，"
        "放入 /etc/udev/rules.d/ 后执行 sudo udevadm trigger），"
        "或执行 sudo usermod -aG input $USER 后重新登录。"
        "注意：此后该用户的任何程序都能读取键盘输入；Pathtally 只统计次数。",
        "無法讀取輸入裝置：滑鼠移動距離、點擊次數和擊鍵次數未測量（使用時間照常統計）。"
        "修復方法：安裝本程式附帶的 udev 規則 70-pathtally-input.rules（TAG+=\"uaccess\"，"
        "放入 /etc/udev/rules.d/ 後執行 sudo udevadm trigger），"
        "或執行 sudo usermod -aG input $USER 後重新登入。"
        "注意：此後該使用者的任何程式都能讀取鍵盤輸入；Pathtally 只統計次數。");
}

std::string_view NotMeasuredText(Language lang) {
    return SimplifiedUnlessTraditional(lang, "未测量", "未測量");
}

std::string_view PositionUnavailableText(Language lang) {
    return SimplifiedUnlessTraditional(lang, "本桌面不提供", "此桌面不提供");
}

}  // namespace pt
