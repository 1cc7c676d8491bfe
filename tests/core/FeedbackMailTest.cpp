#include <gtest/gtest.h>

#include <map>
#include <string>

#include "core/online/Site.h"
#include "core/shell/AboutPresenter.h"
#include "core/shell/FeedbackMail.h"
#include "support/Fakes.h"
#include "support/MemorySettingsStore.h"

namespace pt {
namespace {

// Reads a mailto text back the way a mail program does: address, then each field
// percent-decoded. Fails the test on anything a decoder would trip over.
struct Mail {
    std::string address;
    std::map<std::string, std::string> fields;
};

std::string Decode(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%') {
            EXPECT_LE(i + 2, text.size() - 1) << text;
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            // Nothing outside the unreserved set may stand unencoded in a field.
            EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(text[i])) ||
                        std::string("-._~").find(text[i]) != std::string::npos)
                << "raw '" << text[i] << "' in " << text;
            out += text[i];
        }
    }
    return out;
}

Mail Parse(const std::string& mailto) {
    Mail mail;
    EXPECT_EQ(mailto.rfind("mailto:", 0), 0u);
    const size_t query = mailto.find('?');
    mail.address = mailto.substr(7, query - 7);
    size_t at = query + 1;
    while (query != std::string::npos && at <= mailto.size()) {
        size_t end = mailto.find('&', at);
        if (end == std::string::npos) end = mailto.size();
        const std::string pair = mailto.substr(at, end - at);
        const size_t eq = pair.find('=');
        mail.fields[pair.substr(0, eq)] = Decode(pair.substr(eq + 1));
        at = end + 1;
    }
    return mail;
}

TEST(FeedbackMail, EachVariantDecodesToItsText) {
    const std::string quoted =
        "(请注意，给我来信中一定要包含有“Corvandel”，否则将会被当作垃圾邮件过滤掉)";
    const std::string plain =
        "(请注意，给我来信中一定要包含有Corvandel，否则将会被当作垃圾邮件过滤掉)";
    const std::string traditional =
        "(請注意，給我來信中一定要包含有“Corvandel”，否則將會被當作垃圾郵件過濾掉)";
    struct Case {
        FeedbackVariant variant;
        Language lang;
        const std::string& body;
    } cases[] = {
        {FeedbackVariant::MainMenu, Language::Simplified, quoted},
        {FeedbackVariant::MainMenu, Language::Traditional, quoted},  // always Simplified
        {FeedbackVariant::MainMenu, Language::English, quoted},
        {FeedbackVariant::AboutBox, Language::Simplified, plain},  // no quotation marks
        {FeedbackVariant::AboutBox, Language::Traditional, traditional},
        {FeedbackVariant::AboutBox, Language::English, traditional},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.lang));
        const Mail mail = Parse(FeedbackMailText(c.variant, c.lang));
        EXPECT_EQ(mail.address, FeedbackAddress);
        ASSERT_EQ(mail.fields.size(), 2u);
        EXPECT_EQ(mail.fields.at("subject"), "Corvandel，你好");
        EXPECT_EQ(mail.fields.at("body"), c.body);
    }
}

TEST(FeedbackMail, EncodesUtf8BytesAndSeparators) {
    EXPECT_EQ(PercentEncode("你"), "%E4%BD%A0");
    EXPECT_EQ(PercentEncode("a&b=c?d e#(x)"), "a%26b%3Dc%3Fd%20e%23%28x%29");
    EXPECT_EQ(PercentEncode("A-z_0.9~"), "A-z_0.9~");
    EXPECT_EQ(MailtoText("me@example.org", "a&b", "x=y"),
              "mailto:me@example.org?subject=a%26b&body=x%3Dy");
    const Mail mail = Parse(MailtoText("me@example.org", "100%", "line1\nline2"));
    EXPECT_EQ(mail.fields.at("subject"), "100%");
    EXPECT_EQ(mail.fields.at("body"), "line1\nline2");
}

class AboutPresenterTest : public ::testing::Test {
protected:
    test::MemorySettingsStore store;
    test::FakeShell shell;
    AboutFacts facts{"V1.2.3", "DESKTOP-1", "alice"};
};

TEST_F(AboutPresenterTest, TextsInBothScripts) {
    AboutPresenter gb(store, shell, Language::Simplified, facts);
    FormModel& f = gb.form();
    EXPECT_EQ(f.get(ControlId{"FormAbout"}).text, "关于 Pathtally");
    EXPECT_EQ(f.get(ControlId{"Label14"}).text, "版本:V1.2.3");
    EXPECT_EQ(f.get(ControlId{"Label1"}).text.rfind("版本：V1.2.3", 0), 0u);
    EXPECT_EQ(f.get(ControlId{"Label2"}).text, "DESKTOP-1\\alice");
    EXPECT_EQ(f.get(ControlId{"Label9"}).text, "官方网站：");
    EXPECT_EQ(f.get(ControlId{"Label10"}).text, DefaultSiteRoot);
    EXPECT_EQ(f.get(ControlId{"Label17"}).text, "备用网址:");
    EXPECT_EQ(f.get(ControlId{"Label17"}).toolTip, "当上面的官方网站打不开时的备用网址");
    EXPECT_EQ(f.get(ControlId{"Label18"}).toolTip, "当上面的官方网站打不开时的备用网址");
    EXPECT_EQ(f.get(ControlId{"Label18"}).text, BackupSiteRoot);
    EXPECT_EQ(f.get(ControlId{"Label8"}).text, FeedbackAddress);
    EXPECT_EQ(f.get(ControlId{"Command1"}).text, "&OK");

    AboutPresenter b5(store, shell, Language::Traditional, facts);
    EXPECT_EQ(b5.form().get(ControlId{"FormAbout"}).text, "關於 Pathtally");
    EXPECT_EQ(b5.form().get(ControlId{"Label9"}).text, "官方網站：");
    EXPECT_EQ(b5.form().get(ControlId{"Label17"}).text, "備用網址:");
    EXPECT_EQ(b5.form().get(ControlId{"Label18"}).toolTip, "當官方網站打不開時的備用網址");
    EXPECT_EQ(b5.form().get(ControlId{"Label14"}).text, "版本:V1.2.3");
    AboutPresenter en(store, shell, Language::English, facts);
    EXPECT_EQ(en.form().get(ControlId{"FormAbout"}).text, "关于 Pathtally");
}

TEST_F(AboutPresenterTest, LinksOpenTheirAddresses) {
    WriteSetting(store, MainKey, "SiteRoot", "http://127.0.0.1:8080/");
    AboutPresenter about(store, shell, Language::Simplified, facts);
    EXPECT_EQ(about.form().get(ControlId{"Label10"}).text, "http://127.0.0.1:8080");
    for (const char* name : {"Label10", "Picture1", "Picture2", "Label18", "Label8", "Label9"})
        about.click(ControlId{name});
    const std::vector<std::string> expected = {
        "http://127.0.0.1:8080", "http://127.0.0.1:8080", "http://127.0.0.1:8080",
        std::string(BackupSiteRoot),
        FeedbackMailText(FeedbackVariant::AboutBox, Language::Simplified)};
    EXPECT_EQ(shell.opened, expected);
    EXPECT_FALSE(about.closeRequested());
    about.click(ControlId{"Command1"});
    EXPECT_TRUE(about.closeRequested());
}

TEST_F(AboutPresenterTest, LogoScrollsUpReentersFromTheBottomAndPausesOnHover) {
    AboutPresenter about(store, shell, Language::Simplified, facts);
    about.setLogoGeometry(100, 40);
    EXPECT_TRUE(about.timerEnabled());
    EXPECT_FALSE(about.logoBorder());
    about.onScrollTick();
    EXPECT_EQ(about.logoTop(), -1);
    for (int i = 0; i < 39; ++i) about.onScrollTick();
    EXPECT_EQ(about.logoTop(), -40) << "still touching the frame's top edge";
    about.onScrollTick();
    EXPECT_EQ(about.logoTop(), 100) << "re-enters at the frame's bottom, not at its start";

    about.onPointerOverLogo();
    EXPECT_FALSE(about.timerEnabled());
    EXPECT_TRUE(about.logoBorder());
    about.onScrollTick();
    EXPECT_EQ(about.logoTop(), 100);
    about.onPointerOverWindow();
    EXPECT_TRUE(about.timerEnabled());
    EXPECT_FALSE(about.logoBorder());
    about.onScrollTick();
    EXPECT_EQ(about.logoTop(), 99) << "resumes from where it stopped";
}

}  // namespace
}  // namespace pt
