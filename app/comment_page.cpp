#include "app/comment_page.h"

#include <QUrl>
#include <algorithm>
#include <system_error>

#include "app/ui_text.h"

namespace vantrel {

namespace {

// True when `path` stays inside `folder` once "..", links and the like are resolved: a name
// taken from a model file never reads a page elsewhere.
bool InsideFolder(const std::filesystem::path& path, const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
    if (error) return false;
    std::filesystem::path base = std::filesystem::weakly_canonical(folder, error);
    if (error) return false;
    auto mismatch = std::mismatch(base.begin(), base.end(), resolved.begin(), resolved.end());
    return mismatch.first == base.end();
}

}  // namespace

std::optional<std::filesystem::path> CommentPageFile(const std::string& modelComments,
                                                     const std::filesystem::path& dataDirectory,
                                                     const std::string& languageSuffix) {
    if (modelComments.compare(0, 4, "File") != 0) return std::nullopt;
    // The name runs from after "File" and its separator to the end of the first comment line.
    std::string name = modelComments.size() > 5 ? modelComments.substr(5) : std::string();
    size_t lineEnd = name.find_first_of("\r\n");
    if (lineEnd != std::string::npos) name.erase(lineEnd);
    while (!name.empty() && name.back() == ' ') name.pop_back();
    if (name.empty()) return std::nullopt;
    std::filesystem::path clinic = dataDirectory / "Clinic";
    std::filesystem::path translated = clinic / (name + languageSuffix + ".htm");
    std::filesystem::path plain = clinic / (name + ".htm");
    if (!InsideFolder(plain, clinic) || !InsideFolder(translated, clinic)) return std::nullopt;
    std::error_code error;
    if (!languageSuffix.empty() && std::filesystem::is_regular_file(translated, error))
        return translated;
    return plain;
}

HTMLReader::HTMLReader(QWidget* parent) : QTextBrowser(parent) {
    setObjectName("ZOZO");
    setOpenExternalLinks(false);
    setOpenLinks(true);
}

void HTMLReader::Navigate(const std::filesystem::path& page) {
    page_ = page;
    std::error_code error;
    if (std::filesystem::is_regular_file(page, error)) {
        setSource(QUrl::fromLocalFile(QString::fromStdString(page.string())));
        return;
    }
    // The browser's own error page: say which page is missing.
    setHtml(QString("<h3>%1</h3><p>%2</p>")
                .arg(Tr("IDS_PAGE_MISSING", "This page cannot be found").toHtmlEscaped(),
                     QString::fromStdString(page.filename().string()).toHtmlEscaped()));
}

}  // namespace vantrel
