#include "logic/SiteApp.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <optional>
#include <variant>

#include "core/stats/Points.h"
#include "logic/Html.h"
#include "logic/RankingCodeDecoder.h"
#include "logic/SiteContent.h"

namespace pt::site {

namespace {

// One text in both scripts.
struct Text {
    std::string_view simplified;
    std::string_view traditional;
    std::string in(Script s) const {
        return std::string(s == Script::Simplified ? simplified : traditional);
    }
};

namespace texts {
constexpr Text Front{"首页", "首頁"};
constexpr Text Download{"下载", "下載"};
constexpr Text News{"最新资讯", "最新資訊"};
constexpr Text Ranking{"排行榜", "排行榜"};
constexpr Text Board{"留言板", "留言板"};
constexpr Text Help{"帮助内容", "幫助內容"};
constexpr Text Intro{
    "Pathtally 是一个常驻托盘的小工具：统计鼠标移动距离、点击次数、键盘敲击和使用时间，"
    "由此计算积分与等级，还可以定时关机、注销或重新启动。",
    "Pathtally 是一個常駐托盤的小工具：統計滑鼠移動距離、點擊次數、鍵盤敲擊和使用時間，"
    "由此計算積分與等級，還可以定時關機、登出或重新啟動。"};
constexpr Text LatestVersion{"最新版本：", "最新版本："};
constexpr Text HelpNote{"以下是程序的使用说明（英文）。", "以下是程式的使用說明（英文）。"};
constexpr Text DownloadTitle{"下载 Pathtally", "下載 Pathtally"};
constexpr Text File{"文件", "檔案"};
constexpr Text Size{"大小（字节）", "大小（位元組）"};
constexpr Text NoFiles{"本站尚未发布这个版本的安装文件。可以从源代码构建：",
                       "本站尚未發佈這個版本的安裝檔案。可以從原始碼建置："};
constexpr Text InstallDebian{"Debian 12 上安装：", "Debian 12 上安裝："};
constexpr Text CheckSum{"核对下载的文件：", "核對下載的檔案："};
constexpr Text InstallWindows{"Windows：下载后直接运行 ", "Windows：下載後直接執行 "};
constexpr Text UpdateTitle{"Pathtally 软件最新版本号为：", "Pathtally 軟體最新版本號為："};
constexpr Text UpdateGet{"到下载页取得新版本", "到下載頁取得新版本"};
constexpr Text RankingHow{"请将程序“查看您的排名”窗口中的验证码粘贴到输入框中，然后提交。",
                          "請將程式「查看您的排名」視窗中的驗證碼貼到輸入框中，然後提交。"};
constexpr Text CodeLabel{"验证码：", "驗證碼："};
constexpr Text Submit{"提交排名", "提交排名"};
constexpr Text RankingNote{"排名由各用户自行提交：验证码的规则是公开的，不能证明积分真实。",
                           "排名由各使用者自行提交：驗證碼的規則是公開的，不能證明積分真實。"};
constexpr Text LimitsBefore{"每个地址每小时最多提交 ", "每個位址每小時最多提交 "};
constexpr Text LimitsMiddle{" 次，每个安装每小时最多 ", " 次，每個安裝每小時最多 "};
constexpr Text LimitsAfter{" 次。", " 次。"};
constexpr Text CodeEmpty{"请输入验证码。", "請輸入驗證碼。"};
constexpr Text CodeMalformed{"验证码格式不对：应为两个数字，中间一个“-”，例如 764-1699。",
                             "驗證碼格式不對：應為兩個數字，中間一個「-」，例如 764-1699。"};
constexpr Text CodeNotExact{"此验证码无法解码，请从程序中重新复制。",
                            "此驗證碼無法解碼，請從程式中重新複製。"};
constexpr Text CodeOutOfBounds{"验证码中的数字超出范围。", "驗證碼中的數字超出範圍。"};
constexpr Text CodeNoPoints{"您的积分还是0分，积分大于0时再来吧。",
                            "您的積分還是0分，積分大於0時再來吧。"};
constexpr Text AddressLimited{"提交太频繁：每个地址每小时最多提交 ",
                              "提交太頻繁：每個位址每小時最多提交 "};
constexpr Text InstallationLimited{"这个安装提交太频繁：每小时最多 ",
                                   "這個安裝提交太頻繁：每小時最多 "};
constexpr Text TimesTryLater{" 次，请稍后再试。", " 次，請稍後再試。"};
constexpr Text Recorded{"已记录：安装 #", "已記錄：安裝 #"};
constexpr Text RecordedPoints{"，最高积分 ", "，最高積分 "};
constexpr Text RecordedLevel{" 分（", " 分（"};
constexpr Text LevelUnit{" 级", " 級"};
constexpr Text RecordedRank{"），排名第 ", "），排名第 "};
constexpr Text RecordedOf{" 名，共 ", " 名，共 "};
constexpr Text RecordedEnd{" 个安装。", " 個安裝。"};
constexpr Text RankColumn{"名次", "名次"};
constexpr Text Nearby{"您附近的排名", "您附近的排名"};
constexpr Text PointsColumn{"积分", "積分"};
constexpr Text LevelColumn{"等级", "等級"};
constexpr Text InstallationColumn{"安装", "安裝"};
constexpr Text LastSeenColumn{"最后提交", "最後提交"};
constexpr Text NobodyRanked{"还没有人提交排名。", "還沒有人提交排名。"};
constexpr Text Previous{"上一页", "上一頁"};
constexpr Text Next{"下一页", "下一頁"};
constexpr Text PageBefore{"第 ", "第 "};
constexpr Text PageAfter{" 页", " 頁"};
constexpr Text BadPage{"页码不对。", "頁碼不對。"};
constexpr Text NameLabel{"名字：", "名字："};
constexpr Text MessageLabel{"留言：", "留言："};
constexpr Text Post{"发表留言", "發表留言"};
constexpr Text BoardNoteName{"名字最多 ", "名字最多 "};
constexpr Text BoardNoteText{" 个字，留言最多 ", " 個字，留言最多 "};
constexpr Text BoardNoteRate{" 个字；每个地址每小时最多 ", " 個字；每個位址每小時最多 "};
constexpr Text BoardNoteEnd{" 条。", " 則。"};
constexpr Text NameMissing{"请填写名字（最多 ", "請填寫名字（最多 "};
constexpr Text TextMissing{"请填写留言（最多 ", "請填寫留言（最多 "};
constexpr Text CharactersEnd{" 个字）。", " 個字）。"};
constexpr Text BadEncoding{"名字或留言含有无效的字符。", "名字或留言含有無效的字元。"};
constexpr Text BadToken{"表单已过期或不是从本站提交的，请重新提交。",
                        "表單已過期或不是從本站提交的，請重新提交。"};
constexpr Text PostLimited{"留言太频繁：每个地址每小时最多 ", "留言太頻繁：每個位址每小時最多 "};
constexpr Text PostLimitedEnd{" 条，请稍后再试。", " 則，請稍後再試。"};
constexpr Text NoMessages{"还没有留言。", "還沒有留言。"};
constexpr Text StorageUnavailable{"网站的数据库暂时无法使用，请稍后再试。",
                                  "網站的資料庫暫時無法使用，請稍後再試。"};
constexpr Text StorageReadOnly{"网站的数据库现在只能读取，暂时无法保存。",
                               "網站的資料庫現在只能讀取，暫時無法儲存。"};
constexpr Text StorageFull{"网站的存储空间已满，暂时无法保存。",
                           "網站的儲存空間已滿，暫時無法儲存。"};
constexpr Text NotFound{"找不到此网页。", "找不到此網頁。"};
constexpr Text BadMethod{"此网页不接受这种请求。", "此網頁不接受這種請求。"};
constexpr Text BadForm{"表单的格式不对。", "表單的格式不對。"};
constexpr Text StripTip{"小贴士：", "小貼士："};
constexpr Text StripTop{"排行榜前三：", "排行榜前三："};
constexpr Text PointsUnit{"分", "分"};
constexpr Text Tips[] = {
    {"按 F3 查看您的排名。", "按 F3 查看您的排名。"},
    {"鼠标每移动 100 米得 1 分。", "滑鼠每移動 100 公尺得 1 分。"},
    {"每使用 1 小时得 1 分，每 1000 次点击或按键也各得 1 分。",
     "每使用 1 小時得 1 分，每 1000 次點擊或按鍵也各得 1 分。"},
    {"在“关机”页可以设定定时关机。", "在「關機」頁可以設定定時關機。"},
};
}  // namespace texts

constexpr int LeaderboardPageSize = 20;
constexpr int BoardPageSize = 20;
constexpr std::int64_t TokenLifetime = 2 * 3600;
constexpr std::string_view VisitorCookie = "pt_form";

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::string Number(std::int64_t n) {
    return std::to_string(n);
}

std::string UtcTime(std::int64_t seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M UTC", &tm);
    return text;
}

std::int64_t LevelOf(std::int64_t points) {
    return static_cast<std::int64_t>(LevelOfPoints(static_cast<double>(points)).level);
}

// A page number from the query: absent is 1; anything but 1 to 7 plain digits is refused.
std::optional<std::int64_t> PageNumber(const SiteRequest& request) {
    const auto it = request.query.find("page");
    if (it == request.query.end()) return 1;
    const std::string& v = it->second;
    if (v.empty() || v.size() > 7 || v.front() == '0' ||
        v.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::stoll(v);
}

bool IsVisitorKey(const std::string& key) {
    return key.size() == 32 && key.find_first_not_of("0123456789abcdef") == std::string::npos;
}

bool SameText(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    unsigned char diff = 0;
    for (std::size_t i = 0; i < a.size(); ++i) diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}

// Names and messages: no control characters but line breaks in a message; CR LF as LF.
std::string CleanText(const std::string& text, bool keepLineBreaks) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r') continue;
        if (c == '\n' && keepLineBreaks) {
            out += '\n';
        } else if (c < 0x20 || c == 0x7f) {
            out += ' ';
        } else {
            out += static_cast<char>(c);
        }
    }
    const auto first = out.find_first_not_of(" \n");
    if (first == std::string::npos) return {};
    return out.substr(first, out.find_last_not_of(" \n") - first + 1);
}

}  // namespace

struct PageContext {
    Script script = Script::Simplified;
    bool explicitScript = false;
    std::string root;
    // A site path as a link, keeping a script chosen on the page.
    std::string link(std::string_view path, std::string_view query = {}) const {
        std::string url = root + std::string(path);
        std::string q(query);
        if (explicitScript)
            q += std::string(q.empty() ? "" : "&") +
                 (script == Script::Traditional ? "lang=tc" : "lang=sc");
        if (!q.empty()) url += "?" + q;
        return EscapeHtml(url);
    }
    std::string t(const Text& text) const { return EscapeHtml(text.in(script)); }
    const char* htmlLang() const { return script == Script::Traditional ? "zh-Hant" : "zh-Hans"; }
};

std::vector<std::pair<std::string, std::string>> SecurityHeaders() {
    return {{"Content-Security-Policy",
             "default-src 'none'; style-src 'self'; img-src 'self'; form-action 'self'; "
             "base-uri 'none'; frame-ancestors 'none'"},
            {"X-Content-Type-Options", "nosniff"},
            {"Referrer-Policy", "no-referrer"},
            {"Cross-Origin-Opener-Policy", "same-origin"}};
}

Script ChooseScript(const SiteRequest& request) {
    if (const auto it = request.query.find("lang"); it != request.query.end()) {
        if (it->second == "tc") return Script::Traditional;
        if (it->second == "sc") return Script::Simplified;
    }
    // "zh-TW,zh;q=0.9,en;q=0.8": the Chinese entry with the highest weight decides.
    std::string best;
    double bestWeight = -1;
    std::string_view header = request.acceptLanguage;
    while (!header.empty()) {
        const auto comma = header.find(',');
        std::string_view entry = header.substr(0, comma);
        header = comma == std::string_view::npos ? std::string_view() : header.substr(comma + 1);
        double weight = 1;
        if (const auto semi = entry.find(';'); semi != std::string_view::npos) {
            const auto q = entry.find("q=", semi);
            if (q != std::string_view::npos) {
                try {
                    weight = std::stod(std::string(entry.substr(q + 2)));
                } catch (...) {
                    weight = 0;
                }
            }
            entry = entry.substr(0, semi);
        }
        while (!entry.empty() && entry.front() == ' ') entry.remove_prefix(1);
        while (!entry.empty() && entry.back() == ' ') entry.remove_suffix(1);
        const std::string tag = Lower(std::string(entry));
        if ((tag == "zh" || tag.starts_with("zh-")) && weight > bestWeight) {
            best = tag;
            bestWeight = weight;
        }
    }
    if (best.find("hant") != std::string::npos || best.starts_with("zh-tw") ||
        best.starts_with("zh-hk") || best.starts_with("zh-mo"))
        return Script::Traditional;
    return Script::Simplified;
}

SiteApp::SiteApp(SiteStorage& storage, FormSigner& signer, SiteConfig config, Clock clock)
    : m_storage(storage), m_signer(signer), m_config(std::move(config)), m_clock(std::move(clock)) {
    while (!m_config.siteRoot.empty() && m_config.siteRoot.back() == '/')
        m_config.siteRoot.pop_back();
}

namespace {

SiteResponse Html(int status, std::string body) {
    SiteResponse r;
    r.status = status;
    r.body = std::move(body);
    r.headers.emplace_back("Cache-Control", "no-store");
    return r;
}

}  // namespace

// The frame of every page but the home strip: navigation, the page, the script switch.
static std::string Frame(const PageContext& c, std::string_view title, std::string_view kind,
                         const std::string& main) {
    std::string html;
    html.reserve(main.size() + 2048);
    html += "<!DOCTYPE html>\n<html lang=\"";
    html += c.htmlLang();
    html +=
        "\"><head><meta charset=\"utf-8\"><meta name=\"viewport\" "
        "content=\"width=device-width, initial-scale=1\"><title>";
    html += EscapeHtml(title);
    html += "</title><link rel=\"stylesheet\" href=\"" + EscapeHtml(c.root) + "/site.css\">";
    html += "</head><body class=\"";
    html += kind;
    html += "\"><header><nav><a class=\"brand\" href=\"" + c.link("/") + "\">Pathtally</a> ";
    const std::pair<const Text*, std::string_view> items[] = {{&texts::Download, "/pt/soft/"},
                                                              {&texts::News, "/pt/news/"},
                                                              {&texts::Ranking, "/pt/paiming.asp"},
                                                              {&texts::Board, "/pt/liuyanList.asp"},
                                                              {&texts::Help, "/pt/"}};
    for (const auto& [text, path] : items)
        html += "<a href=\"" + c.link(path) + "\">" + c.t(*text) + "</a> ";
    html += "</nav></header>\n<main>\n" + main + "</main>\n<footer>";
    html +=
        "<a href=\"?lang=sc\" lang=\"zh-Hans\">简体</a> · <a href=\"?lang=tc\" "
        "lang=\"zh-Hant\">繁體</a></footer></body></html>\n";
    return html;
}

SiteResponse SiteApp::handle(const SiteRequest& request) {
    PageContext c;
    c.script = ChooseScript(request);
    c.explicitScript = request.query.count("lang") != 0;
    c.root = m_config.siteRoot;
    const std::string path = Lower(request.path);
    const bool get = request.method == "GET" || request.method == "HEAD";
    try {
        if (path == "/pt/paiming.asp") return ranking(c, request);
        if (path == "/pt/liuyanlist.asp") return board(c, request);
        if (!get) {
            SiteResponse r =
                Html(405, Frame(c, texts::BadMethod.in(c.script), "error",
                                "<p class=\"error\">" + c.t(texts::BadMethod) + "</p>\n"));
            r.headers.emplace_back("Allow", "GET, HEAD");
            return r;
        }
        if (path == "/") return front(c);
        if (path == "/healthz") return health();
        if (path == "/pt/" || path == "/pt") return help(c);
        if (path == "/pt/h1/" || path == "/pt/h1") return homeStrip(c);
        if (path == "/pt/news/" || path == "/pt/news") return news(c);
        if (path == "/pt/soft/" || path == "/pt/soft") return download(c);
        if (path.starts_with("/pt/soft/")) return downloadFile(c, request.path.substr(9));
        if (path == "/pt/pt_update.asp") return updatePage(c);
        if (path == "/site.css") {
            SiteResponse r;
            r.contentType = "text/css; charset=utf-8";
            r.body = std::string(content::StyleSheet);
            r.headers.emplace_back("Cache-Control", "max-age=3600");
            return r;
        }
        return notFound(c);
    } catch (const StorageError& e) {
        const Text& text = e.kind() == StorageError::Kind::ReadOnly ? texts::StorageReadOnly
                           : e.kind() == StorageError::Kind::Full   ? texts::StorageFull
                                                                    : texts::StorageUnavailable;
        std::fprintf(stderr, "storage: %s\n", e.what());
        SiteResponse r = Html(503, Frame(c, text.in(c.script), "error",
                                         "<p class=\"error\">" + c.t(text) + "</p>\n"));
        r.headers.emplace_back("Retry-After", "60");
        return r;
    }
}

// For load balancers and supervisors: 200 while the database answers, else 503.
SiteResponse SiteApp::health() {
    SiteResponse r;
    r.contentType = "text/plain; charset=utf-8";
    r.headers.emplace_back("Cache-Control", "no-store");
    try {
        r.body = "ok: database at schema " + Number(m_storage.schemaVersion()) + "\n";
    } catch (const StorageError& e) {
        r.status = 503;
        r.body = std::string("database unavailable: ") + e.what() + "\n";
    }
    return r;
}

SiteResponse SiteApp::notFound(const PageContext& c) {
    return Html(404, Frame(c, texts::NotFound.in(c.script), "error",
                           "<p class=\"error\">" + c.t(texts::NotFound) + "</p>\n<p><a href=\"" +
                               c.link("/") + "\">" + c.t(texts::Front) + "</a></p>\n"));
}

SiteResponse SiteApp::front(const PageContext& c) {
    std::string main =
        "<h1>Pathtally</h1>\n<p>" + c.t(texts::Intro) + "</p>\n<p>" + c.t(texts::LatestVersion) +
        "<strong>" + EscapeHtml(m_config.release.version) + "</strong></p>\n<ul class=\"links\">\n";
    const std::pair<const Text*, std::string_view> items[] = {{&texts::Download, "/pt/soft/"},
                                                              {&texts::News, "/pt/news/"},
                                                              {&texts::Ranking, "/pt/paiming.asp"},
                                                              {&texts::Board, "/pt/liuyanList.asp"},
                                                              {&texts::Help, "/pt/"}};
    for (const auto& [text, path] : items)
        main += "<li><a href=\"" + c.link(path) + "\">" + c.t(*text) + "</a></li>\n";
    main += "</ul>\n";
    return Html(200, Frame(c, "Pathtally", "front", main));
}

SiteResponse SiteApp::help(const PageContext& c) {
    return Html(200, Frame(c, texts::Help.in(c.script) + " - Pathtally", "help",
                           "<h1>" + c.t(texts::Help) + "</h1>\n<p class=\"note\">" +
                               c.t(texts::HelpNote) + "</p>\n<article lang=\"en\">\n" +
                               std::string(content::HelpHtml) + "</article>\n"));
}

SiteResponse SiteApp::news(const PageContext& c) {
    return Html(200, Frame(c, texts::News.in(c.script) + " - Pathtally", "news",
                           "<h1>" + c.t(texts::News) + "</h1>\n<article lang=\"en\">\n" +
                               std::string(content::NewsHtml) + "</article>\n"));
}

SiteResponse SiteApp::homeStrip(const PageContext& c) {
    const std::int64_t day = m_clock() / 86400;
    const auto& tip = texts::Tips[static_cast<std::size_t>(day) % std::size(texts::Tips)];
    std::string html = "<!DOCTYPE html>\n<html lang=\"";
    html += c.htmlLang();
    html +=
        "\"><head><meta charset=\"utf-8\"><title>Pathtally</title><link rel=\"stylesheet\" "
        "href=\"" +
        EscapeHtml(c.root) + "/site.css\"></head><body class=\"strip\">";
    html += "<div class=\"strip-row\"><a class=\"brand\" href=\"" + c.link("/pt/soft/") +
            "\">Pathtally " + EscapeHtml(m_config.release.version) + "</a>";
    html += "<span class=\"tip\">" + c.t(texts::StripTip) + c.t(tip) + "</span></div>";
    html += "<div class=\"strip-row\"><a href=\"" + c.link("/pt/paiming.asp") + "\">" +
            c.t(texts::StripTop) + "</a>";
    const auto top = m_storage.leaderboard(0, 3);
    if (top.empty()) html += "<span>" + c.t(texts::NobodyRanked) + "</span>";
    for (const auto& row : top)
        html += "<span class=\"top\">" + Number(row.rank) + ". " + Number(row.points) +
                c.t(texts::PointsUnit) + "</span>";
    html += "</div></body></html>\n";
    return Html(200, html);
}

SiteResponse SiteApp::download(const PageContext& c) {
    const ReleaseInfo& release = m_config.release;
    std::string main = "<h1>" + c.t(texts::DownloadTitle) + "</h1>\n<p>" +
                       c.t(texts::LatestVersion) + "<strong>" + EscapeHtml(release.version) +
                       "</strong></p>\n";
    if (release.files.empty()) {
        main += "<p>" + c.t(texts::NoFiles) +
                "</p>\n<pre><code>git clone …/pathtally\n"
                "cd pathtally\nmake package   # build/default/pathtally_*.deb\n"
                "make windows   # build/windows/pathtally.exe</code></pre>\n";
    } else {
        main += "<table class=\"files\"><tr><th>" + c.t(texts::File) + "</th><th>" +
                c.t(texts::Size) + "</th><th>SHA-256</th></tr>\n";
        for (const ReleaseFile& f : release.files)
            main += "<tr><td><a href=\"" + c.link("/pt/soft/" + f.name) + "\">" +
                    EscapeHtml(f.name) + "</a></td><td>" + std::to_string(f.size) +
                    "</td><td><code>" + EscapeHtml(f.sha256) + "</code></td></tr>\n";
        main += "</table>\n";
        for (const ReleaseFile& f : release.files) {
            if (f.name.ends_with(".deb")) {
                main += "<p>" + c.t(texts::InstallDebian) + "</p>\n<pre><code>sudo apt install ./" +
                        EscapeHtml(f.name) + "</code></pre>\n";
                main += "<p>" + c.t(texts::CheckSum) + "</p>\n<pre><code>echo '" +
                        EscapeHtml(f.sha256) + "  " + EscapeHtml(f.name) +
                        "' | sha256sum -c</code></pre>\n";
            } else if (f.name.ends_with(".exe")) {
                main += "<p>" + c.t(texts::InstallWindows) + "<code>" + EscapeHtml(f.name) +
                        "</code></p>\n";
            }
        }
    }
    return Html(200, Frame(c, texts::DownloadTitle.in(c.script), "download", main));
}

SiteResponse SiteApp::downloadFile(const PageContext& c, const std::string& name) {
    for (const ReleaseFile& f : m_config.release.files) {
        if (f.name != name) continue;
        SiteResponse r;
        r.contentType = name.ends_with(".deb") ? "application/vnd.debian.binary-package"
                                               : "application/octet-stream";
        r.filePath = f.path;
        r.headers.emplace_back("Content-Disposition", "attachment; filename=\"" + f.name + "\"");
        return r;
    }
    return notFound(c);
}

// The program reads the version from characters 20 to 26 of this page's title.
SiteResponse SiteApp::updatePage(const PageContext& c) {
    const std::string title = texts::UpdateTitle.in(c.script) + m_config.release.version;
    std::string html = "<!DOCTYPE html>\n<html lang=\"";
    html += c.htmlLang();
    html += "\"><head><meta charset=\"utf-8\"><title>" + EscapeHtml(title) +
            "</title><link rel=\"stylesheet\" href=\"" + EscapeHtml(c.root) +
            "/site.css\"></head><body class=\"update\"><main><h1>" + EscapeHtml(title) +
            "</h1>\n<p><a href=\"" + c.link("/pt/soft/") + "\">" + c.t(texts::UpdateGet) +
            "</a></p></main></body></html>\n";
    return Html(200, html);
}

SiteResponse SiteApp::ranking(const PageContext& c, const SiteRequest& request) {
    if (request.method == "GET" || request.method == "HEAD") {
        const auto page = PageNumber(request);
        if (!page)
            return Html(400, Frame(c, texts::BadPage.in(c.script), "error",
                                   "<p class=\"error\">" + c.t(texts::BadPage) + "</p>\n"));
        return rankingPage(c, *page, 200, {});
    }
    if (request.method != "POST") {
        SiteResponse r = Html(405, Frame(c, texts::BadMethod.in(c.script), "error",
                                         "<p class=\"error\">" + c.t(texts::BadMethod) + "</p>\n"));
        r.headers.emplace_back("Allow", "GET, HEAD, POST");
        return r;
    }
    const auto field = request.form.find("code");
    const auto decoded =
        DecodeRankingCode(field == request.form.end() ? std::string_view() : field->second);
    if (const auto* error = std::get_if<CodeError>(&decoded)) {
        const Text& text = *error == CodeError::Empty         ? texts::CodeEmpty
                           : *error == CodeError::NotExact    ? texts::CodeNotExact
                           : *error == CodeError::OutOfBounds ? texts::CodeOutOfBounds
                           : *error == CodeError::NoPoints    ? texts::CodeNoPoints
                                                              : texts::CodeMalformed;
        return rankingPage(c, 1, 400, "<p class=\"error\" role=\"status\">" + c.t(text) + "</p>\n");
    }
    const DecodedCode code = std::get<DecodedCode>(decoded);
    const std::int64_t now = m_clock();
    const SiteLimits& limits = m_config.limits;
    const SubmissionOutcome outcome = m_storage.submitPoints(
        code.installationId, code.points, now,
        {{"rank-address:" + request.clientAddress, 3600, limits.submissionsPerAddressPerHour},
         {"rank-installation:" + Number(code.installationId), 3600,
          limits.submissionsPerInstallationPerHour}});
    if (outcome.refusedBy == 0u)
        return rankingPage(c, 1, 429,
                           "<p class=\"error\" role=\"status\">" + c.t(texts::AddressLimited) +
                               Number(limits.submissionsPerAddressPerHour) +
                               c.t(texts::TimesTryLater) + "</p>\n");
    if (outcome.refusedBy)
        return rankingPage(c, 1, 429,
                           "<p class=\"error\" role=\"status\">" + c.t(texts::InstallationLimited) +
                               Number(limits.submissionsPerInstallationPerHour) +
                               c.t(texts::TimesTryLater) + "</p>\n");
    const RankedInstallation& entry = outcome.entry;
    const std::int64_t count = m_storage.rankedCount();
    const std::string result =
        "<p class=\"ok\" role=\"status\" id=\"result\">" + c.t(texts::Recorded) +
        Number(entry.installationId) + c.t(texts::RecordedPoints) + Number(entry.points) +
        c.t(texts::RecordedLevel) + Number(LevelOf(entry.points)) + c.t(texts::LevelUnit) +
        c.t(texts::RecordedRank) + Number(entry.rank) + c.t(texts::RecordedOf) + Number(count) +
        c.t(texts::RecordedEnd) + "</p>\n";
    dropLeaderboardCopies();  // every page read before may have moved
    return rankingPage(c, 1, 200, result, &entry);
}

namespace {

std::string Pager(const std::function<std::string(std::int64_t)>& link, std::int64_t page,
                  std::int64_t pages, const std::string& previous, const std::string& next,
                  const std::string& before, const std::string& after) {
    if (pages <= 1) return {};
    std::string html = "<nav class=\"pager\">";
    if (page > 1) html += "<a rel=\"prev\" href=\"" + link(page - 1) + "\">" + previous + "</a> ";
    html += "<span>" + before + Number(page) + " / " + Number(pages) + after + "</span>";
    if (page < pages) html += " <a rel=\"next\" href=\"" + link(page + 1) + "\">" + next + "</a>";
    return html + "</nav>\n";
}

}  // namespace

SiteResponse SiteApp::rankingPage(const PageContext& c, std::int64_t page, int status,
                                  const std::string& notice, const RankedInstallation* submitted) {
    const std::int64_t mine = submitted ? submitted->installationId : -1;
    const SiteLimits& limits = m_config.limits;
    std::string main = "<h1>" + c.t(texts::Ranking) + "</h1>\n";
    main += "<form method=\"post\" action=\"" + c.link("/pt/paiming.asp") +
            "\" class=\"code\"><label for=\"code\">" + c.t(texts::CodeLabel) +
            "</label><input id=\"code\" name=\"code\" autocomplete=\"off\" autofocus "
            "maxlength=\"64\" inputmode=\"numeric\"><button type=\"submit\">" +
            c.t(texts::Submit) + "</button></form>\n";
    main += "<p>" + c.t(texts::RankingHow) + "</p>\n" + notice;
    auto table = [&](const std::vector<RankedInstallation>& rows, const char* kind) {
        std::string html = std::string("<table class=\"") + kind + "\"><tr><th>" +
                           c.t(texts::RankColumn) + "</th><th>" + c.t(texts::PointsColumn) +
                           "</th><th>" + c.t(texts::LevelColumn) + "</th><th>" +
                           c.t(texts::InstallationColumn) + "</th><th>" +
                           c.t(texts::LastSeenColumn) + "</th></tr>\n";
        for (const auto& row : rows) {
            html += static_cast<std::int64_t>(row.installationId) == mine ? "<tr class=\"mine\">"
                                                                          : "<tr>";
            html += "<td>" + Number(row.rank) + "</td><td>" + Number(row.points) + "</td><td>" +
                    Number(LevelOf(row.points)) + "</td><td>#" + Number(row.installationId) +
                    "</td><td>" + UtcTime(row.lastSeen) + "</td></tr>\n";
        }
        return html + "</table>\n";
    };
    if (submitted) {
        // The submitter among those just ahead and behind, and where their page is.
        const auto nearby = m_storage.around(*submitted, 5, 5);
        main += "<h2>" + c.t(texts::Nearby) + "</h2>\n" + table(nearby, "ranking nearby");
        const std::int64_t ownPage = (submitted->rank - 1) / LeaderboardPageSize + 1;
        main += "<p><a href=\"" + c.link("/pt/paiming.asp", "page=" + Number(ownPage)) + "\">" +
                c.t(texts::PageBefore) + Number(ownPage) + c.t(texts::PageAfter) +
                "</a></p>\n<h2>" + c.t(texts::Ranking) + "</h2>\n";
    }
    LeaderboardRead read = leaderboardPage(page);
    const std::int64_t pages =
        std::max<std::int64_t>(1, (read.count + LeaderboardPageSize - 1) / LeaderboardPageSize);
    if (page > pages) {
        page = pages;
        read = leaderboardPage(page);
    }
    if (read.rows.empty())
        main += "<p>" + c.t(texts::NobodyRanked) + "</p>\n";
    else
        main += table(read.rows, "ranking");
    main += Pager([&](std::int64_t p) { return c.link("/pt/paiming.asp", "page=" + Number(p)); },
                  page, pages, c.t(texts::Previous), c.t(texts::Next), c.t(texts::PageBefore),
                  c.t(texts::PageAfter));
    main += "<p class=\"note\">" + c.t(texts::RankingNote) + c.t(texts::LimitsBefore) +
            Number(limits.submissionsPerAddressPerHour) + c.t(texts::LimitsMiddle) +
            Number(limits.submissionsPerInstallationPerHour) + c.t(texts::LimitsAfter) + "</p>\n";
    return Html(status, Frame(c, texts::Ranking.in(c.script) + " - Pathtally", "ranking", main));
}

SiteApp::LeaderboardRead SiteApp::leaderboardPage(std::int64_t page) {
    constexpr std::int64_t KeptPages = 5;  // the first pages are the ones read
    const std::int64_t now = m_clock();
    std::uint64_t generation = 0;
    {
        std::lock_guard lock(m_cacheMutex);
        generation = m_cacheGeneration;
        const auto it = m_leaderboardCache.find(page);
        if (it != m_leaderboardCache.end()) {
            KeptLeaderboardPage& kept = it->second;
            if (kept.read.readAt == now || kept.beingRead) return kept.read;
            kept.beingRead = true;
        }
    }
    LeaderboardRead read;
    try {
        read.count = m_storage.rankedCount();
        read.rows = m_storage.leaderboard((page - 1) * LeaderboardPageSize, LeaderboardPageSize);
        read.readAt = now;
    } catch (...) {
        std::lock_guard lock(m_cacheMutex);
        if (const auto it = m_leaderboardCache.find(page); it != m_leaderboardCache.end())
            it->second.beingRead = false;
        throw;
    }
    std::lock_guard lock(m_cacheMutex);
    if (page <= KeptPages && generation == m_cacheGeneration)
        m_leaderboardCache[page] = KeptLeaderboardPage{read, false};
    return read;
}

void SiteApp::dropLeaderboardCopies() {
    std::lock_guard lock(m_cacheMutex);
    m_leaderboardCache.clear();
    ++m_cacheGeneration;
}

std::string SiteApp::formToken(const std::string& visitorKey, std::int64_t issuedAt) {
    const std::string stamp = Number(issuedAt);
    return stamp + "." + m_signer.sign("board\n" + visitorKey + "\n" + stamp);
}

bool SiteApp::validToken(const std::string& visitorKey, const std::string& token) {
    if (!IsVisitorKey(visitorKey)) return false;
    const auto dot = token.find('.');
    if (dot == std::string::npos || dot == 0 || dot > 12) return false;
    const std::string stamp = token.substr(0, dot);
    if (stamp.find_first_not_of("0123456789") != std::string::npos) return false;
    const std::int64_t issuedAt = std::stoll(stamp);
    const std::int64_t now = m_clock();
    if (issuedAt > now + 60 || now - issuedAt > TokenLifetime) return false;
    return SameText(formToken(visitorKey, issuedAt), token);
}

SiteResponse SiteApp::board(const PageContext& c, const SiteRequest& request) {
    if (request.method == "GET" || request.method == "HEAD") {
        const auto page = PageNumber(request);
        if (!page)
            return Html(400, Frame(c, texts::BadPage.in(c.script), "error",
                                   "<p class=\"error\">" + c.t(texts::BadPage) + "</p>\n"));
        return boardPage(c, request, *page, 200, {}, {}, {});
    }
    if (request.method != "POST") {
        SiteResponse r = Html(405, Frame(c, texts::BadMethod.in(c.script), "error",
                                         "<p class=\"error\">" + c.t(texts::BadMethod) + "</p>\n"));
        r.headers.emplace_back("Allow", "GET, HEAD, POST");
        return r;
    }
    auto field = [&](const char* name) {
        const auto it = request.form.find(name);
        return it == request.form.end() ? std::string() : it->second;
    };
    const std::string rawName = field("name"), rawText = field("text");
    const SiteLimits& limits = m_config.limits;
    const auto cookie = request.cookies.find(std::string(VisitorCookie));
    const std::string visitor = cookie == request.cookies.end() ? std::string() : cookie->second;
    auto refuse = [&](int status, const std::string& error) {
        const bool valid = IsValidUtf8(rawName) && IsValidUtf8(rawText);
        return boardPage(c, request, 1, status, error, valid ? rawName : std::string(),
                         valid ? rawText : std::string());
    };
    if (!validToken(visitor, field("token"))) return refuse(403, c.t(texts::BadToken));
    if (!IsValidUtf8(rawName) || !IsValidUtf8(rawText)) return refuse(400, c.t(texts::BadEncoding));
    const std::string name = CleanText(rawName, false), text = CleanText(rawText, true);
    if (name.empty() || CharacterCount(name) > limits.nameCharacters)
        return refuse(400, c.t(texts::NameMissing) + Number(limits.nameCharacters) +
                               c.t(texts::CharactersEnd));
    if (text.empty() || CharacterCount(text) > limits.messageCharacters)
        return refuse(400, c.t(texts::TextMissing) + Number(limits.messageCharacters) +
                               c.t(texts::CharactersEnd));
    if (!m_storage.takeRateSlot("post-address:" + request.clientAddress, m_clock(), 3600,
                                limits.postsPerAddressPerHour))
        return refuse(429, c.t(texts::PostLimited) + Number(limits.postsPerAddressPerHour) +
                               c.t(texts::PostLimitedEnd));
    m_storage.postMessage(name, text, m_clock());
    SiteResponse r = Html(303, {});
    // Back to the list: a reload does not post again.
    std::string location = c.root + "/pt/liuyanList.asp";
    if (c.explicitScript) location += c.script == Script::Traditional ? "?lang=tc" : "?lang=sc";
    r.headers.emplace_back("Location", location.empty() ? "/" : location);
    return r;
}

SiteResponse SiteApp::boardPage(const PageContext& c, const SiteRequest& request, std::int64_t page,
                                int status, const std::string& error, const std::string& name,
                                const std::string& text) {
    // A visitor key in a cookie only this site's pages send back (SameSite=Strict); the
    // form's token is signed over it, so a page elsewhere can neither read nor forge one.
    // A visitor who has one keeps it, so forms open in two tabs both stay valid.
    const auto cookie = request.cookies.find(std::string(VisitorCookie));
    const std::string visitor = cookie != request.cookies.end() && IsVisitorKey(cookie->second)
                                    ? cookie->second
                                    : m_signer.randomKey();
    const SiteLimits& limits = m_config.limits;
    std::string main = "<h1>" + c.t(texts::Board) + "</h1>\n";
    if (!error.empty()) main += "<p class=\"error\" role=\"status\">" + error + "</p>\n";
    main += "<form method=\"post\" action=\"" + c.link("/pt/liuyanList.asp") +
            "\" class=\"board\"><input type=\"hidden\" name=\"token\" value=\"" +
            EscapeHtml(formToken(visitor, m_clock())) + "\"><label for=\"name\">" +
            c.t(texts::NameLabel) + "</label><input id=\"name\" name=\"name\" maxlength=\"" +
            Number(limits.nameCharacters) + "\" value=\"" + EscapeHtml(name) +
            "\"><label for=\"text\">" + c.t(texts::MessageLabel) +
            "</label><textarea id=\"text\" name=\"text\" rows=\"4\" maxlength=\"" +
            Number(limits.messageCharacters) + "\">" + EscapeHtml(text) +
            "</textarea><button type=\"submit\">" + c.t(texts::Post) + "</button></form>\n";
    main += "<p class=\"note\">" + c.t(texts::BoardNoteName) + Number(limits.nameCharacters) +
            c.t(texts::BoardNoteText) + Number(limits.messageCharacters) +
            c.t(texts::BoardNoteRate) + Number(limits.postsPerAddressPerHour) +
            c.t(texts::BoardNoteEnd) + "</p>\n";
    const std::int64_t count = m_storage.messageCount();
    const std::int64_t pages =
        std::max<std::int64_t>(1, (count + BoardPageSize - 1) / BoardPageSize);
    page = std::min(page, pages);
    const auto rows = m_storage.messages((page - 1) * BoardPageSize, BoardPageSize);
    if (rows.empty()) main += "<p>" + c.t(texts::NoMessages) + "</p>\n";
    for (const BoardMessage& m : rows)
        main += "<article class=\"message\"><h2>" + EscapeHtml(m.name) + " <time>" +
                UtcTime(m.postedAt) + "</time></h2><p>" + EscapeHtml(m.text) + "</p></article>\n";
    main += Pager([&](std::int64_t p) { return c.link("/pt/liuyanList.asp", "page=" + Number(p)); },
                  page, pages, c.t(texts::Previous), c.t(texts::Next), c.t(texts::PageBefore),
                  c.t(texts::PageAfter));
    SiteResponse r =
        Html(status, Frame(c, texts::Board.in(c.script) + " - Pathtally", "board", main));
    r.headers.emplace_back("Set-Cookie", std::string(VisitorCookie) + "=" + visitor +
                                             "; Path=/; HttpOnly; SameSite=Strict; Max-Age=7200");
    return r;
}

}  // namespace pt::site
