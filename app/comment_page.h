// The comment page: the HTML page a heart model names (its comments begin with "File" and the
// page's name), shown beside the heart or on the whole screen, with its own back and forward
// history.
#pragma once

#include <QTextBrowser>
#include <filesystem>
#include <optional>
#include <string>

namespace vantrel {

// The page a model's comments name, in the language of the suffix when that page exists:
// Clinic/<name><suffix>.htm, else Clinic/<name>.htm (whether it exists or not).  No value when the
// comments do not begin with "File", or when the name would lead outside the Clinic folder.
std::optional<std::filesystem::path> CommentPageFile(const std::string& modelComments,
                                                     const std::filesystem::path& dataDirectory,
                                                     const std::string& languageSuffix);

class HTMLReader : public QTextBrowser {
    Q_OBJECT
public:
    explicit HTMLReader(QWidget* parent);

    // Shows a page file; a file that does not exist shows a short page saying so.
    void Navigate(const std::filesystem::path& page);
    // The page on show (empty before the first page).
    const std::filesystem::path& Page() const { return page_; }
    void GoBack() { backward(); }
    void GoForward() { forward(); }
    void Refresh() { reload(); }

private:
    std::filesystem::path page_;
};

}  // namespace vantrel
