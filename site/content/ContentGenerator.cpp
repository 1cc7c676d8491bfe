// Writes the C++ source that holds the site's generated pages: the news from the changelog
// and the help from the README's user sections, rendered to HTML, and the stylesheet.
// Usage: ContentGenerator CHANGELOG.md README.md site.css output.cpp

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "logic/Markdown.h"

namespace {

bool ReadFile(const char* path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream all;
    all << in.rdbuf();
    text = all.str();
    return true;
}

// Without the document's own "# Title" lines: the page has its heading.
std::string WithoutTitle(const std::string& markdown) {
    std::istringstream in(markdown);
    std::string out;
    for (std::string line; std::getline(in, line);)
        if (!line.starts_with("# ")) out += line + "\n";
    return out;
}

void Define(std::ostream& out, const char* name, const std::string& bytes) {
    out << "const unsigned char " << name << "Bytes[] = {";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i % 24 == 0) out << "\n";
        out << static_cast<int>(static_cast<unsigned char>(bytes[i])) << ",";
    }
    out << "0};\nconst std::string_view " << name << "(reinterpret_cast<const char*>(" << name
        << "Bytes), " << bytes.size() << ");\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s CHANGELOG.md README.md site.css output.cpp\n", argv[0]);
        return 2;
    }
    std::string changelog, readme, css;
    if (!ReadFile(argv[1], changelog) || !ReadFile(argv[2], readme) || !ReadFile(argv[3], css)) {
        std::fprintf(stderr, "cannot read the site's sources\n");
        return 1;
    }
    // The sections a user of the program reads; the developer's sections stay out.
    const std::vector<std::string> userSections = {"Two commands on a fresh Debian 12 machine",
                                                   "Install", "How Pathtally behaves on Linux",
                                                   "Embedded web pages", "Windows"};
    std::string help = pt::site::MarkdownSections(readme, userSections);
    if (help.empty()) help = WithoutTitle(readme);  // sections renamed: the whole README
    std::ostringstream out;
    out << "// Generated from CHANGELOG.md, README.md and site.css; do not edit.\n"
           "#include \"logic/SiteContent.h\"\n\nnamespace pt::site::content {\n";
    Define(out, "NewsHtml", pt::site::MarkdownToHtml(WithoutTitle(changelog), 0));
    Define(out, "HelpHtml", pt::site::MarkdownToHtml(help, 0));
    Define(out, "StyleSheet", css);
    out << "}  // namespace pt::site::content\n";
    const std::string tmp = std::string(argv[4]) + ".tmp";
    {
        std::ofstream file(tmp, std::ios::binary);
        file << out.str();
        if (!file) return 1;
    }
    return std::rename(tmp.c_str(), argv[4]) == 0 ? 0 : 1;
}
