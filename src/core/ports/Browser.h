#pragma once

#include <functional>
#include <string>

namespace pt {

// A page of the website, asked for by address, whose title the core reads: an embedded web
// view, or a plain fetch of the page where only its title matters. Nothing is loaded before
// the first navigate().
class Browser {
public:
    virtual ~Browser() = default;
    virtual void navigate(const std::string& url) = 0;
    virtual std::string title() const = 0;
    // Called with the page title whenever it changes.
    virtual void onTitleChanged(std::function<void(const std::string&)> handler) = 0;
};

}  // namespace pt
