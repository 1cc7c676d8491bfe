#include "core/input/KeyName.h"

#include <array>

namespace pt {
namespace {

// Codes 0..255; an empty entry is a key that is not counted.
using NameTable = std::array<std::string_view, 256>;

constexpr NameTable MakeTable() {
    NameTable t{};
    t[8] = "退格";
    t[9] = "Tab";
    t[13] = "回车";
    t[16] = "Shift";
    t[17] = "Ctrl";
    t[20] = "CapsLock";
    t[27] = "ESC";
    t[32] = "空格";
    t[37] = "左光标";
    t[38] = "上光标";
    t[39] = "右光标";
    t[40] = "下光标";
    constexpr std::string_view mainDigits[] = {"字符0", "字符1", "字符2", "字符3", "字符4",
                                               "字符5", "字符6", "字符7", "字符8", "字符9"};
    constexpr std::string_view padDigits[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    for (int i = 0; i < 10; ++i) {
        t[48 + i] = mainDigits[i];
        t[96 + i] = padDigits[i];
    }
    constexpr std::string_view letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    for (int i = 0; i < 26; ++i) t[65 + i] = letters.substr(i, 1);
    t[91] = "开始";
    t[106] = "数字区乘号";
    t[107] = "数字区加号";
    t[109] = "数字区减号";
    t[110] = "小数点";
    t[111] = "数字区除号";
    constexpr std::string_view functionKeys[] = {"F1", "F2", "F3", "F4",  "F5",  "F6",
                                                 "F7", "F8", "F9", "F10", "F11", "F12"};
    for (int i = 0; i < 12; ++i) t[112 + i] = functionKeys[i];
    t[187] = "字符区加号";
    t[188] = "逗号";
    t[189] = "字符区减号";
    t[190] = "句号";
    t[191] = "/";
    t[192] = "~";
    t[219] = "[";
    t[220] = "\\";
    t[221] = "]";
    return t;
}

constexpr NameTable kNames = MakeTable();

}  // namespace

std::string_view keyName(int KeyCode) {
    if (KeyCode < 0 || KeyCode >= static_cast<int>(kNames.size())) return {};
    return kNames[static_cast<size_t>(KeyCode)];
}

}  // namespace pt
