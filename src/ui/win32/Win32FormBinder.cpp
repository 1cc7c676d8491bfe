#include "ui/win32/Win32FormBinder.h"

#include "platform/windows/WideText.h"

namespace pt {

Win32FormBinder::Win32FormBinder(FormModel& model, HFONT font, ClickHandler clicked)
    : m_model(model), m_clicked(std::move(clicked)), m_font(font) {}

HWND Win32FormBinder::add(Kind kind, ControlId control, HWND parent, int x, int y, int w, int h) {
    const ControlSlot id = m_model.slot(control);
    const wchar_t* cls = L"STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD extendedStyle = 0;
    switch (kind) {
        case Kind::Label:
            style |= SS_LEFT | SS_NOPREFIX;
            break;
        case Kind::Link:
            style |= SS_LEFT | SS_NOPREFIX | SS_NOTIFY;
            break;
        case Kind::Button:
            cls = L"BUTTON";
            style |= BS_PUSHBUTTON | WS_TABSTOP;
            break;
        case Kind::CheckBox:
            cls = L"BUTTON";
            style |= BS_AUTOCHECKBOX | WS_TABSTOP;
            break;
        case Kind::Edit:
            cls = L"EDIT";
            style |= ES_RIGHT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
            break;
        case Kind::Group:
            cls = L"BUTTON";
            style |= BS_GROUPBOX;
            break;
        case Kind::Panel:
        case Kind::LinkPanel:
            style |= SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_CENTERIMAGE |
                     (kind == Kind::LinkPanel ? SS_NOTIFY : 0);
            extendedStyle = WS_EX_STATICEDGE;
            break;
    }
    HWND hwnd = CreateWindowExW(extendedStyle, cls, L"", style, x, y, w, h, parent,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(FirstBoundId + id)),
                                GetModuleHandleW(nullptr), nullptr);
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
    m_windows[id] = hwnd;
    m_kinds[id] = kind;
    return hwnd;
}

void Win32FormBinder::addChain(std::span<const ControlId> names, HWND parent, int x, int y, int h) {
    Chain chain{{}, x, y, h};
    for (ControlId name : names) {
        add(Kind::Label, name, parent, x, y, 1, h);
        chain.ids.push_back(m_model.slot(name));
        m_chainOf[chain.ids.back()] = m_chains.size();
    }
    m_chains.push_back(std::move(chain));
}

UINT Win32FormBinder::menuCommand(ControlId id) {
    const ControlSlot slot = m_model.slot(id);
    m_menuItems.insert(slot);
    return FirstBoundId + slot;
}

std::vector<std::string> Win32FormBinder::clickableControls() const {
    std::vector<std::string> clickable;
    for (ControlSlot slot = 0; slot < m_model.size(); ++slot) {
        const auto kind = m_kinds.find(slot);
        const bool clicks = kind != m_kinds.end() &&
                            (kind->second == Kind::Button || kind->second == Kind::CheckBox ||
                             kind->second == Kind::Link || kind->second == Kind::LinkPanel);
        if (clicks || m_menuItems.count(slot)) clickable.push_back(m_model[slot].name);
    }
    return clickable;
}

void Win32FormBinder::bindCustom(ControlId id, std::function<void(const Control&)> apply) {
    m_custom[m_model.slot(id)] = std::move(apply);
}

void Win32FormBinder::setTextColor(ControlId id, COLORREF color) {
    if (HWND w = window(id)) m_colors[w] = color;
}

HWND Win32FormBinder::window(ControlId id) const {
    const auto slot = m_model.find(id.name);
    if (!slot) return nullptr;
    const auto it = m_windows.find(*slot);
    return it == m_windows.end() ? nullptr : it->second;
}

bool Win32FormBinder::command(WPARAM wParam, LPARAM lParam) {
    const UINT code = HIWORD(wParam);
    const UINT controlId = LOWORD(wParam);
    if (controlId < FirstBoundId || controlId - FirstBoundId >= m_model.size()) return false;
    const ControlSlot id = controlId - FirstBoundId;
    const auto kind = m_kinds.find(id);
    if (lParam == 0 || kind == m_kinds.end()) {  // a menu item
        if (m_clicked) m_clicked(ControlId{m_model[id].name});
        return true;
    }
    switch (kind->second) {
        case Kind::Edit:
            if (code == EN_CHANGE && !m_applying) {
                const HWND edit = reinterpret_cast<HWND>(lParam);
                std::wstring text(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
                text.resize(static_cast<size_t>(
                    GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
                m_model.textEditedByUser(id, Narrow(text));
            }
            return true;
        case Kind::CheckBox:
            if (code == BN_CLICKED) {
                m_model.checkedByUser(id, SendMessageW(reinterpret_cast<HWND>(lParam), BM_GETCHECK,
                                                       0, 0) == BST_CHECKED);
                if (m_clicked) m_clicked(ControlId{m_model[id].name});
            }
            return true;
        case Kind::Button:
        case Kind::Link:
        case Kind::LinkPanel:
            if (code == BN_CLICKED && m_clicked)
                m_clicked(ControlId{m_model[id].name});  // STN_CLICKED is 0 too
            return true;
        default:
            return true;
    }
}

HBRUSH Win32FormBinder::controlColor(HDC dc, HWND control) {
    const auto it = m_colors.find(control);
    SetBkMode(dc, TRANSPARENT);
    if (it != m_colors.end()) SetTextColor(dc, it->second);
    // The background of the window the control sits on.
    return reinterpret_cast<HBRUSH>(GetClassLongPtrW(GetParent(control), GCLP_HBRBACKGROUND));
}

void Win32FormBinder::apply(ControlSlot id) {
    const Control& c = m_model[id];
    if (const auto custom = m_custom.find(id); custom != m_custom.end()) {
        custom->second(c);
        return;
    }
    const auto it = m_windows.find(id);
    if (it == m_windows.end()) {
        const std::wstring text = Widen(c.text);
        // A menu item (menus cannot hide an item: a hidden one is shown greyed).
        for (HMENU menu : m_menus) {
            MENUITEMINFOW info{};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_STRING | MIIM_STATE;
            info.dwTypeData = const_cast<wchar_t*>(text.c_str());
            info.fState = (c.enabled && c.visible ? MFS_ENABLED : MFS_DISABLED) |
                          (c.checked ? MFS_CHECKED : MFS_UNCHECKED);
            SetMenuItemInfoW(menu, FirstBoundId + id, FALSE, &info);
        }
        return;
    }
    // Only what differs from what the control shows: each call is a round trip to the
    // window system, and setting a label's text repaints it. The user changes what an edit
    // box or a check box shows, so those are always set.
    HWND w = it->second;
    Shown& shown = m_shown[id];
    const Kind kind = m_kinds[id];
    const bool userChanges = kind == Kind::Edit || kind == Kind::CheckBox;
    const bool textChanged = !shown.applied || userChanges || shown.text != c.text;
    if (textChanged) {
        m_applying = true;
        SetWindowTextW(w, Widen(c.text).c_str());
        m_applying = false;
        shown.text = c.text;
    }
    if (kind == Kind::CheckBox)
        SendMessageW(w, BM_SETCHECK, c.checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!shown.applied || shown.enabled != c.enabled) EnableWindow(w, c.enabled);
    if (!shown.applied || shown.visible != c.visible)
        ShowWindow(w, c.visible ? SW_SHOWNA : SW_HIDE);
    shown.enabled = c.enabled;
    shown.visible = c.visible;
    shown.applied = true;
    if (textChanged)
        if (const auto chain = m_chainOf.find(id); chain != m_chainOf.end())
            layOutChain(chain->second);
}

void Win32FormBinder::layOutChain(size_t index) {
    const Chain& chain = m_chains[index];
    int x = chain.x;
    for (ControlSlot id : chain.ids) {
        HWND w = m_windows[id];
        const std::wstring text = Widen(m_model[id].text);
        HDC dc = GetDC(w);
        HGDIOBJ old = SelectObject(dc, m_font);
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(w, dc);
        const int width = m_model[id].visible ? size.cx : 0;
        SetWindowPos(w, nullptr, x, chain.y, width, chain.h, SWP_NOZORDER | SWP_NOACTIVATE);
        x += width;
    }
}

int Win32FormBinder::sync() {
    const auto changes = m_model.takeChanges();
    for (ControlSlot id : changes) apply(id);
    if (auto focus = m_model.takeFocusRequest())
        if (const auto it = m_windows.find(*focus); it != m_windows.end()) SetFocus(it->second);
    return static_cast<int>(changes.size());
}

void Win32FormBinder::syncAll() {
    m_model.takeChanges();
    for (ControlSlot id = 0; id < m_model.size(); ++id) apply(id);
}

}  // namespace pt
