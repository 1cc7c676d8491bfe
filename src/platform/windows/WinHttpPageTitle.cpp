#include "platform/windows/WinHttpPageTitle.h"

#include "platform/windows/Win32.h"

#include <winhttp.h>

#include <chrono>
#include <map>
#include <mutex>
#include <thread>

#include "core/online/HtmlPage.h"
#include "platform/windows/WideText.h"

namespace pt {

namespace {

// Code pages of the character sets Chinese and Western pages declare.
UINT CodePageOf(const std::string& charset) {
    static const std::map<std::string, UINT> pages = {
        {"utf-8", CP_UTF8},     {"utf8", CP_UTF8},      {"gbk", 936},
        {"gb2312", 936},        {"x-gbk", 936},         {"gb18030", 54936},
        {"big5", 950},          {"big5-hkscs", 951},    {"iso-8859-1", 28591},
        {"latin1", 28591},      {"windows-1252", 1252}, {"us-ascii", 20127},
        {"shift_jis", 932},     {"euc-jp", 20932},      {"euc-kr", 949},
        {"windows-1251", 1251}, {"koi8-r", 20866},      {"iso-8859-15", 28605}};
    const auto it = pages.find(charset);
    return it == pages.end() ? CP_UTF8 : it->second;
}

// The header's value, or empty.
std::wstring QueryHeader(HINTERNET request, DWORD which) {
    DWORD size = 0;
    WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, nullptr, &size,
                        WINHTTP_NO_HEADER_INDEX);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) return {};
    std::wstring value(size / sizeof(wchar_t), L'\0');
    if (!WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, value.data(), &size,
                             WINHTTP_NO_HEADER_INDEX))
        return {};
    value.resize(size / sizeof(wchar_t));
    return value;
}

}  // namespace

std::string PageTextAsUtf8(const std::string& bytes, const std::string& charset) {
    const UINT codePage = CodePageOf(charset);
    if (codePage == CP_UTF8 || bytes.empty()) return bytes;
    const int wide =
        MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (wide <= 0) return bytes;
    std::wstring text(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                        wide);
    return Narrow(text);
}

// One fetch, shared by the object and the thread: the handles, so that abandoning can
// close them, and the result. The thread keeps it alive after the object is gone.
struct WinHttpPageTitle::Fetch {
    std::mutex mutex;
    HINTERNET session = nullptr, connection = nullptr, request = nullptr;
    bool abandoned = false;
    bool ended = false;
    std::string title;
    std::chrono::steady_clock::time_point deadline;

    void close() {
        std::lock_guard lock(mutex);
        for (HINTERNET* h : {&request, &connection, &session})
            if (*h) {
                WinHttpCloseHandle(*h);
                *h = nullptr;
            }
    }
    void run(const std::string& url, Limits limits);
};

void WinHttpPageTitle::Fetch::run(const std::string& url, Limits limits) {
    std::string body, result;
    std::wstring contentType;
    const std::wstring wideUrl = Widen(url);
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof(parts);
    wchar_t host[256] = {}, path[2048] = {};
    parts.lpszHostName = host;
    parts.dwHostNameLength = 256;
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = 2048;
    bool ok = WinHttpCrackUrl(wideUrl.c_str(), 0, 0, &parts) &&
              (parts.nScheme == INTERNET_SCHEME_HTTP || parts.nScheme == INTERNET_SCHEME_HTTPS);
    HINTERNET handle = nullptr;
    {
        std::lock_guard lock(mutex);
        if (ok && !abandoned) {
            session = WinHttpOpen(L"Pathtally", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                  WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
            if (session)
                WinHttpSetTimeouts(session, limits.timeoutMs, limits.timeoutMs, limits.timeoutMs,
                                   limits.timeoutMs);
            if (session) connection = WinHttpConnect(session, host, parts.nPort, 0);
            if (connection)
                request = WinHttpOpenRequest(
                    connection, L"GET", path[0] ? path : L"/", nullptr, WINHTTP_NO_REFERER,
                    WINHTTP_DEFAULT_ACCEPT_TYPES,
                    parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0);
        }
        handle = request;
        ok = ok && handle;
    }
    ok = ok &&
         WinHttpSendRequest(handle, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0,
                            0) &&
         WinHttpReceiveResponse(handle, nullptr);
    if (ok) {
        DWORD status = 0, size = sizeof(status);
        WinHttpQueryHeaders(handle, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                            WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
        ok = status >= 200 && status < 300;
        contentType = QueryHeader(handle, WINHTTP_QUERY_CONTENT_TYPE);
    }
    char buffer[16384];
    while (ok && body.size() < limits.maxBytes && std::chrono::steady_clock::now() < deadline) {
        DWORD read = 0;
        if (!WinHttpReadData(handle, buffer, sizeof(buffer), &read)) {
            ok = false;
            break;
        }
        if (read == 0) break;
        body.append(buffer, std::min<std::size_t>(read, limits.maxBytes - body.size()));
    }
    if (ok && std::chrono::steady_clock::now() >= deadline) ok = false;
    if (ok) {
        const std::string charset = DeclaredCharset(Narrow(contentType), body);
        result = HtmlTitle(PageTextAsUtf8(body, charset)).value_or(std::string{});
    }
    close();
    std::lock_guard lock(mutex);
    title = std::move(result);
    ended = true;
}

WinHttpPageTitle::WinHttpPageTitle() : WinHttpPageTitle(Limits{}) {}

WinHttpPageTitle::WinHttpPageTitle(Limits limits) : m_limits(limits) {}

WinHttpPageTitle::~WinHttpPageTitle() {
    abandon();
}

void WinHttpPageTitle::abandon() {
    if (!m_fetch) return;
    {
        std::lock_guard lock(m_fetch->mutex);
        m_fetch->abandoned = true;
    }
    m_fetch->close();  // ends a wait on the network where WinHTTP allows it
    m_fetch.reset();
}

void WinHttpPageTitle::navigate(const std::string& url) {
    abandon();
    m_handed = false;
    auto fetch = std::make_shared<Fetch>();
    fetch->deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(m_limits.timeoutMs);
    m_fetch = fetch;
    std::thread([fetch, url, limits = m_limits] { fetch->run(url, limits); }).detach();
}

bool WinHttpPageTitle::done() const {
    if (!m_fetch) return false;
    std::lock_guard lock(m_fetch->mutex);
    return m_fetch->ended || std::chrono::steady_clock::now() >= m_fetch->deadline;
}

std::string WinHttpPageTitle::title() const {
    if (!m_fetch) return {};
    std::lock_guard lock(m_fetch->mutex);
    return m_fetch->ended ? m_fetch->title : std::string{};
}

void WinHttpPageTitle::onTitleChanged(std::function<void(const std::string&)> handler) {
    m_handler = std::move(handler);
}

void WinHttpPageTitle::poll() {
    if (!done() || m_handed) return;
    m_handed = true;
    const std::string text = title();
    if (m_handler && !text.empty()) m_handler(text);
}

}  // namespace pt
