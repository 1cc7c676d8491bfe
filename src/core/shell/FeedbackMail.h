#pragma once

#include <string>
#include <string_view>

#include "core/texts/Language.h"

namespace pt {

// Where the feedback mail is started from: the main menu's "Email给我(&E)" or the
// About box's e-mail link. The two bodies differ slightly in wording and script.
enum class FeedbackVariant { MainMenu, AboutBox };

// The subject and body as the user reads them (UTF-8, not encoded).
std::string FeedbackSubject();
std::string FeedbackBody(FeedbackVariant variant, Language lang);

// Percent-encodes UTF-8 text for a URI: every byte except letters, digits and "-._~"
// becomes %XX, so "&", "=", "?" and non-ASCII text survive as data.
std::string PercentEncode(std::string_view text);

// "mailto:" + address + "?subject=...&body=..." with both fields percent-encoded.
std::string MailtoText(std::string_view address, std::string_view subject, std::string_view body);

// The complete mailto text of a feedback mail to FeedbackAddress.
std::string FeedbackMailText(FeedbackVariant variant, Language lang);

}  // namespace pt
