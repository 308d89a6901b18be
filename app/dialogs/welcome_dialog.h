// The Welcome dialog, shown at start-up (chapter 0) and as context help (chapters 1 to 4): the
// edition's rich-text welcome document, read-only, opened at the chapter's mark.
#pragma once

#include <QDialog>
#include <filesystem>
#include <string>

class QTextEdit;
class QTextDocument;

namespace vantrel {

struct RichDocument;

// The document and mark a chapter opens: "WelcomeClinic" + suffix + ".rtf" in the data folder if
// it opens, else "WelcomeClinic.rtf", else none; the mark "Chpt.N" with N = chapter + 1, none for
// chapter 0.
struct WelcomeChapter {
    std::filesystem::path welcomeFile;  // empty: no document, the dialog opens empty
    QString chapterMark;                // empty: the top of the document
};
WelcomeChapter SelectChapter(int chapter, const std::filesystem::path& dataDirectory,
                             const std::string& languageSuffix);

// Lays a read rich-text document out into a Qt document (paragraphs, bold, italic, underline,
// sizes, colours).
void FillTextDocument(const RichDocument& rich, QTextDocument* document);

class CWelcome : public QDialog {
    Q_OBJECT
public:
    CWelcome(int chapter, const std::filesystem::path& dataDirectory,
             const std::string& languageSuffix, QWidget* parent);
    int Chapter() const { return chapter_; }
    const WelcomeChapter& Selected() const { return selected_; }
    QTextEdit* Viewer() const { return viewer_; }
    // The text of the first line shown (for the chapter scrolling; empty before the first paint).
    QString FirstVisibleLine() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void LoadDocument();

    int chapter_;
    WelcomeChapter selected_;
    QTextEdit* viewer_;
    bool documentPending_ = true;  // the document is streamed in at the first paint only
};

}  // namespace vantrel
