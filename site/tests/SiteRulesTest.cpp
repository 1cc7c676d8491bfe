// The ranking code decoder, the script choice, escaping and the Markdown of the generated pages.

#include <gtest/gtest.h>

#include <variant>

#include "core/online/RankingCode.h"
#include "logic/Html.h"
#include "logic/Markdown.h"
#include "logic/RankingCodeDecoder.h"
#include "logic/SiteApp.h"

namespace pt::site {
namespace {

DecodedCode Decoded(std::string_view code) {
    const auto result = DecodeRankingCode(code);
    EXPECT_TRUE(std::holds_alternative<DecodedCode>(result)) << code;
    return std::holds_alternative<DecodedCode>(result) ? std::get<DecodedCode>(result)
                                                       : DecodedCode{};
}

CodeError ErrorOf(std::string_view code) {
    const auto result = DecodeRankingCode(code);
    EXPECT_TRUE(std::holds_alternative<CodeError>(result)) << code;
    return std::holds_alternative<CodeError>(result) ? std::get<CodeError>(result)
                                                     : CodeError::Empty;
}

TEST(RankingCodeDecoder, DecodesWhatTheProgramWrites) {
    const DecodedCode example = Decoded("764-1699");  // points 10, installation 5
    EXPECT_EQ(example.installationId, 5u);
    EXPECT_EQ(example.points, 10);
    // The program core's own encoder, round trip over ids and points at their edges.
    for (std::uint32_t id : {0u, 1u, 5u, 123456u, 4294967295u}) {
        for (double points : {1.0, 9.0, 10.0, 4321.0, static_cast<double>(MaxRankedPoints)}) {
            const std::string code = RankingCode(id, DynamicValue::Double(points));
            const DecodedCode d = Decoded(code);
            EXPECT_EQ(d.installationId, id) << code;
            EXPECT_EQ(d.points, static_cast<std::int64_t>(points)) << code;
        }
    }
    EXPECT_EQ(Decoded("  764-1699\r\n").points, 10) << "blanks of a paste around the code";
}

TEST(RankingCodeDecoder, RefusesEveryMalformedForm) {
    EXPECT_EQ(ErrorOf(""), CodeError::Empty);
    EXPECT_EQ(ErrorOf("   "), CodeError::Empty);
    for (const char* code : {"764",        "764-",      "-1699",     "764--1699",   "764-1699-1",
                             "+764-1699",  "764-+1699", "764 -1699", "764- 1699",   "0764-1699",
                             "764-01699",  "764-1699x", "x764-1699", "７６４-1699", "764–1699",
                             "764.0-1699", "1e3-1699",  "764-16 99", "-",           "764-1699\x01"})
        EXPECT_EQ(ErrorOf(code), CodeError::Malformed) << code;
}

TEST(RankingCodeDecoder, RefusesNumbersThatDoNotDecodeExactly) {
    EXPECT_EQ(ErrorOf("765-1699"), CodeError::NotExact);  // A not 121 * id + 159
    EXPECT_EQ(ErrorOf("764-1700"), CodeError::NotExact);  // B not 151 * points + 189
    EXPECT_EQ(ErrorOf("158-1699"), CodeError::NotExact);  // below the offset
    EXPECT_EQ(ErrorOf("764-188"), CodeError::NotExact);
    EXPECT_EQ(ErrorOf("0-0"), CodeError::NotExact);
}

TEST(RankingCodeDecoder, BoundsAndZeroPoints) {
    EXPECT_EQ(ErrorOf("764-189"), CodeError::NoPoints);
    // One past the largest installation id the program has (2^32 - 1).
    EXPECT_EQ(ErrorOf(std::to_string(4294967296ull * 121 + 159) + "-1699"), CodeError::OutOfBounds);
    EXPECT_EQ(ErrorOf("764-" + std::to_string((MaxRankedPoints + 1) * 151 + 189)),
              CodeError::OutOfBounds);
    EXPECT_EQ(ErrorOf("764-99999999999999999999999"), CodeError::OutOfBounds);
}

TEST(ScriptChoice, QuerySwitchThenAcceptLanguageThenSimplified) {
    SiteRequest r;
    EXPECT_EQ(ChooseScript(r), Script::Simplified);
    for (const char* header : {"zh-TW", "zh-HK,en;q=0.5", "en-US,zh-Hant;q=0.8", "zh-mo",
                               "en;q=0.9, zh-TW;q=0.8, zh-CN;q=0.7", "zh-Hant-TW"}) {
        r.acceptLanguage = header;
        EXPECT_EQ(ChooseScript(r), Script::Traditional) << header;
    }
    for (const char* header : {"zh-CN", "zh", "zh-Hans,zh-TW;q=0.5", "en-US", "de,fr;q=0.5",
                               "zh-CN;q=0.9,zh-TW;q=0.8", ";;;,q=", "zh-TW;q=abc,zh-CN;q=0.1"}) {
        r.acceptLanguage = header;
        EXPECT_EQ(ChooseScript(r), Script::Simplified) << header;
    }
    r.acceptLanguage = "zh-CN";
    r.query["lang"] = "tc";
    EXPECT_EQ(ChooseScript(r), Script::Traditional);
    r.acceptLanguage = "zh-TW";
    r.query["lang"] = "sc";
    EXPECT_EQ(ChooseScript(r), Script::Simplified);
}

TEST(HtmlText, EscapingAndUtf8) {
    EXPECT_EQ(EscapeHtml("<script>alert('x')</script> & \"q\""),
              "&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt; &amp; &quot;q&quot;");
    EXPECT_TRUE(IsValidUtf8("留言 ok ✓ 𝄞"));
    EXPECT_FALSE(IsValidUtf8("\xc0\xaf"));          // overlong "/"
    EXPECT_FALSE(IsValidUtf8("\xed\xa0\x80"));      // a surrogate
    EXPECT_FALSE(IsValidUtf8("\xf4\x90\x80\x80"));  // past U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xe7\x95"));          // cut short
    EXPECT_EQ(CharacterCount("留言ab𝄞"), 5u);
    EXPECT_EQ(EncodeQueryValue("a b&c=留"), "a%20b%26c%3D%E7%95%99");
}

TEST(MarkdownPages, RendersTheRepositorysFormsEscaped) {
    const std::string html = MarkdownToHtml(
        "## 1.0.1 (2026-12-08)\n\n- First <b>item</b> with `code & more`\n  continued here\n"
        "- [link](https://example.org/a?b=1&c=2) and [bad](javascript:alert(1))\n\n"
        "Para **bold** text\nsecond line.\n\n```sh\nmake run <x>\n```\n\n| A | B |\n|---|---|\n"
        "| `a` | b<c |\n",
        1);
    EXPECT_NE(html.find("<h3>1.0.1 (2026-12-08)</h3>"), std::string::npos) << html;
    EXPECT_NE(html.find("<li>First &lt;b&gt;item&lt;/b&gt; with <code>code &amp; more</code> "
                        "continued here</li>"),
              std::string::npos)
        << html;
    EXPECT_NE(html.find("<a href=\"https://example.org/a?b=1&amp;c=2\">link</a>"),
              std::string::npos);
    EXPECT_EQ(html.find("javascript"), std::string::npos) << "unsafe addresses become text";
    EXPECT_NE(html.find("<p>Para <strong>bold</strong> text second line.</p>"), std::string::npos);
    EXPECT_NE(html.find("<pre><code>make run &lt;x&gt;\n</code></pre>"), std::string::npos);
    EXPECT_NE(html.find("<tr><td><code>a</code></td><td>b&lt;c</td></tr>"), std::string::npos);
    EXPECT_EQ(html.find("<b>"), std::string::npos);
}

TEST(MarkdownPages, PicksTheListedSectionsOnly) {
    const std::string readme =
        "# Title\nintro\n## Install\nsteps\n```\n## not a heading\n```\n## Layout\ndev\n"
        "## Windows\nwin\n";
    const std::string picked = MarkdownSections(readme, {"Install", "Windows"});
    EXPECT_EQ(picked, "## Install\nsteps\n```\n## not a heading\n```\n## Windows\nwin\n");
    EXPECT_TRUE(MarkdownSections(readme, {"Missing"}).empty());
}

}  // namespace
}  // namespace pt::site
