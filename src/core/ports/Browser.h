#pragma once

#include <functional>
#include <string>

namespace pt {

// An embedded web page. Implementations load the web engine only on first navigate().
class Browser {
public:
    virtual ~Browser() = default;
    virtual void navigate(const std::string& url) = 0;
    virtual std::string title() const = 0;
    // Called with the page title whenever it changes.
    virtual void onTitleChanged(std::function<void(const std::string&)> handler) = 0;
};

}  // namespace pt
