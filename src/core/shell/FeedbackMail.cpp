#include "core/shell/FeedbackMail.h"

#include "core/online/Site.h"
#include "core/texts/DialogTexts.h"

namespace pt {

std::string FeedbackSubject() {
    return std::string(feedback_texts::Subject.designed());
}

std::string FeedbackBody(FeedbackVariant variant, Language lang) {
    const Text& body = variant == FeedbackVariant::MainMenu ? feedback_texts::MainMenuBody
                                                            : feedback_texts::AboutBoxBody;
    return std::string(body.in(lang));
}

namespace {

bool IsUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

std::string Encode(std::string_view text, std::string_view alsoKeep) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 3);
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (IsUnreserved(c) || alsoKeep.find(ch) != std::string_view::npos) {
            out += ch;
        } else {
            out += '%';
            out += Hex[c >> 4];
            out += Hex[c & 0x0F];
        }
    }
    return out;
}

}  // namespace

std::string PercentEncode(std::string_view text) {
    return Encode(text, {});
}

std::string MailtoText(std::string_view address, std::string_view subject, std::string_view body) {
    // The address keeps its "@"; everything else that is not plain ASCII is encoded.
    return "mailto:" + Encode(address, "@") + "?subject=" + PercentEncode(subject) +
           "&body=" + PercentEncode(body);
}

std::string FeedbackMailText(FeedbackVariant variant, Language lang) {
    return MailtoText(FeedbackAddress, FeedbackSubject(), FeedbackBody(variant, lang));
}

}  // namespace pt
