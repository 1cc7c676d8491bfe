#include "ui/win32/Win32WebPage.h"

#include <exdisp.h>
#include <ole2.h>
#include <oleauto.h>

#include <atomic>

#include "platform/windows/WideText.h"
#include "ui/win32/Win32WindowClass.h"

namespace pt {

// The container side of the in-place WebBrowser control: the least a host must answer so
// that the control activates inside a child window of ours and stays there. It owns the
// control; the page area owns one reference to it.
class BrowserSite final : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame {
public:
    explicit BrowserSite(HWND area) : m_area(area) {}

    // Creates and activates the control in the area; false (and nothing left behind) where
    // the system has no web control.
    bool embed(const CLSID& control) {
        if (FAILED(CoCreateInstance(control, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                    reinterpret_cast<void**>(&m_object))))
            return false;
        RECT r = clientRect();
        if (FAILED(m_object->SetClientSite(this)) ||
            FAILED(m_object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, m_area, &r)) ||
            FAILED(
                m_object->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&m_browser)))) {
            close();
            return false;
        }
        OleSetContainedObject(m_object, TRUE);
        m_browser->put_Silent(VARIANT_TRUE);  // no script-error boxes over the program
        return true;
    }

    void navigate(const std::wstring& url) {
        if (!m_browser) return;
        VARIANT address;
        VariantInit(&address);
        address.vt = VT_BSTR;
        address.bstrVal = SysAllocString(url.c_str());
        VARIANT empty;
        VariantInit(&empty);
        m_browser->Navigate2(&address, &empty, &empty, &empty, &empty);
        VariantClear(&address);
    }

    // The page's title, empty while none is known.
    std::wstring title() const {
        BSTR name = nullptr;
        if (!m_browser || FAILED(m_browser->get_LocationName(&name)) || !name) return {};
        std::wstring text(name, SysStringLen(name));
        SysFreeString(name);
        return text;
    }
    void goBack() {
        if (m_browser) m_browser->GoBack();
    }
    void goForward() {
        if (m_browser) m_browser->GoForward();
    }
    void reload() {
        if (m_browser) m_browser->Refresh();
    }

    void fit() {
        IOleInPlaceObject* inPlace = nullptr;
        if (m_object && SUCCEEDED(m_object->QueryInterface(IID_IOleInPlaceObject,
                                                           reinterpret_cast<void**>(&inPlace)))) {
            const RECT r = clientRect();
            inPlace->SetObjectRects(&r, &r);
            inPlace->Release();
        }
    }

    void close() {
        if (m_browser) {
            m_browser->Stop();
            m_browser->Release();
            m_browser = nullptr;
        }
        if (m_object) {
            m_object->Close(OLECLOSE_NOSAVE);
            m_object->SetClientSite(nullptr);
            OleSetContainedObject(m_object, FALSE);
            m_object->Release();
            m_object = nullptr;
        }
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IOleClientSite)
            *out = static_cast<IOleClientSite*>(this);
        else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
            *out = static_cast<IOleInPlaceSite*>(this);
        else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
            *out = static_cast<IOleInPlaceFrame*>(this);
        else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --m_references;
        if (left == 0) delete this;
        return left;
    }

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (both the site and the frame answer with the page area)
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override {
        *out = m_area;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                               LPRECT position, LPRECT clip,
                                               LPOLEINPLACEFRAMEINFO info) override {
        *frame = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        *doc = nullptr;
        *position = *clip = clientRect();
        info->fMDIApp = FALSE;
        info->hwndFrame = GetAncestor(m_area, GA_ROOT);
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow, IOleInPlaceFrame: no toolbars, menus or status text of its own.
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override {
        return INPLACE_E_NOTOOLSPACE;
    }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

private:
    ~BrowserSite() { close(); }
    RECT clientRect() const {
        RECT r;
        GetClientRect(m_area, &r);
        return r;
    }

    HWND m_area;
    std::atomic<ULONG> m_references{1};
    IOleObject* m_object = nullptr;
    IWebBrowser2* m_browser = nullptr;
};

namespace {

constexpr wchar_t AreaClass[] = L"PathtallyWebPage";

// The control renders as an old engine version unless the program asks for the current one
// (per user and program, so no elevation is needed).
void UseCurrentEngine() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length == MAX_PATH) return;
    const wchar_t* name = path;
    for (const wchar_t* c = path; *c; ++c)
        if (*c == L'\\' || *c == L'/') name = c + 1;
    const DWORD currentEngine = 11001;
    RegSetKeyValueW(HKEY_CURRENT_USER,
                    L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\"
                    L"FEATURE_BROWSER_EMULATION",
                    name, REG_DWORD, &currentEngine, sizeof currentEngine);
}

}  // namespace

OleApartment::OleApartment() : m_initialised(SUCCEEDED(OleInitialize(nullptr))) {}

OleApartment::~OleApartment() {
    if (m_initialised) OleUninitialize();
}

Win32WebPage::Win32WebPage(HWND parent, RECT area, HFONT font, const CLSID* control)
    : m_font(font), m_control(control ? control : &CLSID_WebBrowser) {
    static const bool registered =
        RegisterWin32WindowClass(AreaClass, areaProc, GetSysColorBrush(COLOR_BTNFACE));
    (void)registered;
    m_area = CreateWindowExW(0, AreaClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, area.left,
                             area.top, area.right - area.left, area.bottom - area.top, parent,
                             nullptr, GetModuleHandleW(nullptr), this);
}

Win32WebPage::~Win32WebPage() {
    if (m_site) {
        m_site->close();
        m_site->Release();
    }
    if (m_area) {
        SetWindowLongPtrW(m_area, GWLP_USERDATA, 0);
        DestroyWindow(m_area);
    }
}

bool Win32WebPage::controlAvailable() {
    static const bool available = [] {
        IUnknown* control = nullptr;
        if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                    reinterpret_cast<void**>(&control))))
            return false;
        control->Release();
        return true;
    }();
    return available;
}

void Win32WebPage::navigate(const std::string& url) {
    m_url = url;
    if (m_site) m_site->navigate(Widen(url));
}

std::string Win32WebPage::title() const {
    return m_site ? Narrow(m_site->title()) : std::string();
}

void Win32WebPage::goBack() {
    if (m_site) m_site->goBack();
}

void Win32WebPage::goForward() {
    if (m_site) m_site->goForward();
}

void Win32WebPage::reload() {
    if (m_site) m_site->reload();
}

void Win32WebPage::realise() {
    if (m_site || m_failed || m_url.empty()) return;
    createBrowser();
    if (m_site)
        m_site->navigate(Widen(m_url));
    else
        showUnavailable();
}

void Win32WebPage::setUnavailableText(const std::wstring& text) {
    m_unavailableText = text;
    if (m_text) SetWindowTextW(m_text, text.c_str());
}

void Win32WebPage::move(RECT area) {
    MoveWindow(m_area, area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
}

void Win32WebPage::createBrowser() {
    UseCurrentEngine();
    auto* site = new BrowserSite(m_area);
    if (site->embed(*m_control)) {
        m_site = site;
        return;
    }
    site->Release();
    m_failed = true;
}

void Win32WebPage::showUnavailable() {
    if (m_text) return;
    RECT r;
    GetClientRect(m_area, &r);
    m_text = CreateWindowExW(0, L"STATIC", m_unavailableText.c_str(),
                             WS_CHILD | WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE, 0, 0, r.right,
                             r.bottom, m_area, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(m_text, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
}

LRESULT CALLBACK Win32WebPage::areaProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = WindowOwner<Win32WebPage>(hwnd, message, lParam);
    if (self && message == WM_SIZE) {
        if (self->m_site) self->m_site->fit();
        if (self->m_text) MoveWindow(self->m_text, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace pt
