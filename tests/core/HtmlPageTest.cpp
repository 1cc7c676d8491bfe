#include <gtest/gtest.h>

#include "core/online/HtmlPage.h"

namespace pt {
namespace {

TEST(HtmlTitle, TakesTheFirstTitleAsABrowserShowsIt) {
    EXPECT_EQ(HtmlTitle("<html><head><title>Pathtally V1.0.2</title></head></html>"),
              "Pathtally V1.0.2");
    EXPECT_EQ(
        HtmlTitle("<TITLE lang=\"zh\">\n  软件  最新\t版本 \r\n</Title><title>second</title>"),
        "软件 最新 版本");
    EXPECT_EQ(HtmlTitle("<title></title>"), "");
    // Character references, named and numeric, with and without the closing ";".
    EXPECT_EQ(HtmlTitle("<title>A &amp; B &lt;&gt; &quot;x&quot; &#36820;&#x56DE; &amp C</title>"),
              "A & B <> \"x\" 返回 & C");
    EXPECT_EQ(HtmlTitle("<title>&nbsp;a&nbsp;</title>"),
              "\xC2\xA0"
              "a\xC2\xA0");
    // Unknown or broken references stay as written; impossible code points become U+FFFD.
    EXPECT_EQ(HtmlTitle("<title>&bogus; &#; &# &#0; &#xD800;</title>"),
              "&bogus; &#; &# \xEF\xBF\xBD \xEF\xBF\xBD");
    EXPECT_EQ(HtmlTitle("<title>&#99999999999999;</title>"), "\xEF\xBF\xBD");
}

TEST(HtmlTitle, IgnoresLookalikesAndIncompletePages) {
    EXPECT_EQ(HtmlTitle(""), std::nullopt);
    EXPECT_EQ(HtmlTitle("<html><body>no title</body></html>"), std::nullopt);
    EXPECT_EQ(HtmlTitle("<!-- <title>old</title> --><title>new</title>"), "new");
    EXPECT_EQ(HtmlTitle("<script>var t = '<title>x</title>';</script><title>real</title>"), "real");
    EXPECT_EQ(HtmlTitle("<style>/* <title> */</STYLE ><title>real</title>"), "real");
    EXPECT_EQ(HtmlTitle("<titles>no</titles><title>yes</title>"), "yes");
    // Cut off by the read limit: no title rather than a wrong one.
    EXPECT_EQ(HtmlTitle("<title>Pathtally V1.0"), std::nullopt);
    EXPECT_EQ(HtmlTitle("<title"), std::nullopt);
    EXPECT_EQ(HtmlTitle("<!-- <title>x</title>"), std::nullopt);
    EXPECT_EQ(HtmlTitle("<script><title>x</title>"), std::nullopt);
}

TEST(DeclaredCharset, HeaderFirstThenMetaTags) {
    EXPECT_EQ(DeclaredCharset("text/html; charset=GBK", "<meta charset=\"utf-8\">"), "gbk");
    EXPECT_EQ(DeclaredCharset("text/html; charset=\"Big5\"", ""), "big5");
    EXPECT_EQ(DeclaredCharset("text/html", "<head><meta charset='GB2312'/>"), "gb2312");
    EXPECT_EQ(DeclaredCharset("",
                              "<META HTTP-EQUIV=\"Content-Type\" "
                              "CONTENT=\"text/html; charset=gbk\">"),
              "gbk");
    EXPECT_EQ(DeclaredCharset("",
                              "<meta name=\"description\" content=\"charset-free\">"
                              "<meta charset=utf-8>"),
              "utf-8");
    EXPECT_EQ(DeclaredCharset("text/html", "<html><head><title>x</title>"), "");
    EXPECT_EQ(DeclaredCharset("", "<metadata charset=gbk>"), "");
    // Only the head of a page is looked at.
    EXPECT_EQ(DeclaredCharset("", std::string(5000, ' ') + "<meta charset=gbk>"), "");
}

}  // namespace
}  // namespace pt
