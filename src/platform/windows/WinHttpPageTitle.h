#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "core/ports/Browser.h"

namespace pt {

// A page's title read over HTTP with WinHTTP, without a browser: the page is fetched on a
// thread of its own with a time limit, read up to a size limit, decoded from the character
// set it declares and its <title> taken. A page that cannot be fetched (no answer in time,
// an HTTP error status, a non-HTTP address) or has no title reads as an empty title. The
// time limit is kept here, not left to WinHTTP (Wine's ignores its receive timeout): a
// fetch still waiting then is abandoned to end on its own, and never holds the caller up.
class WinHttpPageTitle : public Browser {
public:
    struct Limits {
        int timeoutMs = 10000;              // the whole fetch, connection to last byte
        std::size_t maxBytes = 512 * 1024;  // more is not read
    };

    WinHttpPageTitle();
    explicit WinHttpPageTitle(Limits limits);
    ~WinHttpPageTitle() override;
    WinHttpPageTitle(const WinHttpPageTitle&) = delete;
    WinHttpPageTitle& operator=(const WinHttpPageTitle&) = delete;

    // Starts fetching; a fetch still running is abandoned.
    void navigate(const std::string& url) override;
    // UTF-8; empty until the fetch has ended, and after a failed one.
    std::string title() const override;
    // Called on the thread that calls poll(), once the fetch has ended with a title.
    void onTitleChanged(std::function<void(const std::string&)> handler) override;
    // Hands a finished fetch's title to the handler; the window's timer calls it.
    void poll();

    // The fetch has ended, or its time is up.
    bool done() const;

private:
    struct Fetch;
    void abandon();

    Limits m_limits;
    std::shared_ptr<Fetch> m_fetch;
    bool m_handed = false;
    std::function<void(const std::string&)> m_handler;
};

// The page's bytes as UTF-8, decoded from `charset` (as a page declares it: "gbk",
// "big5", "utf-8", "iso-8859-1", ...); unknown or empty character sets read as UTF-8.
std::string PageTextAsUtf8(const std::string& bytes, const std::string& charset);

}  // namespace pt
