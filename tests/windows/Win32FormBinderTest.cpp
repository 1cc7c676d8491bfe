// The Win32 form binder under Wine: what the user changed in a control is never taken as
// what the control already shows.

#include "ui/win32/Win32FormBinder.h"

#include <gtest/gtest.h>

#include "platform/windows/WideText.h"

namespace pt {
namespace {

constexpr ControlId Count{"txtCount"};
constexpr ControlId Remember{"chkRemember"};
constexpr ControlId Caption{"lblCaption"};

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

struct BoundControls {
    BoundControls() {
        parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        edit = binder.add(Win32FormBinder::Kind::Edit, Count, parent, 0, 0, 100, 20);
        box = binder.add(Win32FormBinder::Kind::CheckBox, Remember, parent, 0, 30, 100, 20);
        label = binder.add(Win32FormBinder::Kind::Label, Caption, parent, 0, 60, 100, 20);
    }
    ~BoundControls() { DestroyWindow(parent); }
    // What a person does: the control changes, then tells the binder.
    void type(const wchar_t* text) {
        SetWindowTextW(edit, text);
        binder.command(MAKEWPARAM(GetDlgCtrlID(edit), EN_CHANGE), reinterpret_cast<LPARAM>(edit));
    }
    void tick(bool checked) {
        SendMessageW(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
        binder.command(MAKEWPARAM(GetDlgCtrlID(box), BN_CLICKED), reinterpret_cast<LPARAM>(box));
    }
    bool ticked() const { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

    FormModel model{std::vector<ControlId>{Count, Remember, Caption}};
    Win32FormBinder binder{model, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))};
    HWND parent = nullptr, edit = nullptr, box = nullptr, label = nullptr;
};

TEST(Win32FormBinder, AValueSetBackAfterTheUserChangedItIsShownAgain) {
    BoundControls c;
    c.model.setText(Count, "10");
    c.model.setText(Caption, "ready");
    c.binder.syncAll();
    ASSERT_EQ(TextOf(c.edit), L"10");
    ASSERT_FALSE(c.ticked());

    c.type(L"42");
    c.tick(true);
    EXPECT_EQ(c.model.get(Count).text, "42");
    EXPECT_TRUE(c.model.get(Remember).checked);

    // The program puts back what the controls showed before the user changed them.
    c.model.setText(Count, "10");
    c.model.setChecked(Remember, false);
    c.binder.sync();
    EXPECT_EQ(TextOf(c.edit), L"10");
    EXPECT_FALSE(c.ticked());

    // A label is set when its text changes, and its other states follow on their own.
    c.model.setText(Caption, "done");
    c.model.setEnabled(Caption, false);
    c.binder.sync();
    EXPECT_EQ(TextOf(c.label), L"done");
    EXPECT_FALSE(IsWindowEnabled(c.label));
    c.model.setEnabled(Caption, true);
    c.binder.sync();
    EXPECT_EQ(TextOf(c.label), L"done");
    EXPECT_TRUE(IsWindowEnabled(c.label));
}

}  // namespace
}  // namespace pt
