#pragma once

#include <string>

#include "logic/SiteTypes.h"

namespace pt::site {

// Form tokens signed with HMAC-SHA-256 under the site's key (kept in the database, so every
// process on it signs alike); visitor keys from the system's random source.
class HmacFormSigner : public FormSigner {
public:
    explicit HmacFormSigner(std::string key) : m_key(std::move(key)) {}
    std::string sign(std::string_view text) override;
    std::string randomKey() override;

private:
    std::string m_key;
};

}  // namespace pt::site
