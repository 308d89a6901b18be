#include "app/dialogs/welcome_dialog.h"

#include <QDialogButtonBox>
#include <QScrollBar>
#include <QShowEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <fstream>
#include <sstream>

#include "app/dialogs/screen_room.h"
#include "app/ui_text.h"
#include "text/rtf_reader.h"

namespace vantrel {

namespace {

bool Opens(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return static_cast<bool>(in);
}

// A welcome document is a few tens of kilobytes; anything past this is not one of ours.
constexpr std::streamsize kMaxWelcomeBytes = 8 * 1024 * 1024;

}  // namespace

WelcomeChapter SelectChapter(int chapter, const std::filesystem::path& dataDirectory,
                             const std::string& languageSuffix) {
    WelcomeChapter selected;
    std::filesystem::path translated = dataDirectory / ("WelcomeClinic" + languageSuffix + ".rtf");
    std::filesystem::path english = dataDirectory / "WelcomeClinic.rtf";
    if (Opens(translated))
        selected.welcomeFile = translated;
    else if (Opens(english))
        selected.welcomeFile = english;
    if (chapter != 0) selected.chapterMark = QString("Chpt.%1").arg(chapter + 1);
    return selected;
}

void FillTextDocument(const RichDocument& rich, QTextDocument* document) {
    document->clear();
    QTextCursor cursor(document);
    bool first = true;
    for (const RichParagraph& paragraph : rich.paragraphs) {
        if (!first) cursor.insertBlock();
        first = false;
        for (const RichRun& run : paragraph.runs) {
            QTextCharFormat format;
            format.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
            format.setFontItalic(run.italic);
            format.setFontUnderline(run.underline);
            format.setFontPointSize(run.halfPoints / 2.0);
            if (run.hasColor)
                format.setForeground(QColor((run.color >> 16) & 0xFF, (run.color >> 8) & 0xFF,
                                            run.color & 0xFF));
            cursor.insertText(QString::fromUtf8(run.text.data(),
                                                static_cast<qsizetype>(run.text.size())),
                              format);
        }
    }
}

CWelcome::CWelcome(int chapter, const std::filesystem::path& dataDirectory,
                   const std::string& languageSuffix, QWidget* parent)
    : QDialog(parent), chapter_(chapter),
      selected_(SelectChapter(chapter, dataDirectory, languageSuffix)) {
    setWindowTitle(Tr("IDC_WELCOME", "Welcome"));
    setObjectName("Welcome");
    auto* layout = new QVBoxLayout(this);
    viewer_ = new QTextEdit(this);
    viewer_->setObjectName("WelcomeText");
    viewer_->setReadOnly(true);
    // The document's bullets are a bullet and a tab: a short tab keeps the item beside its bullet.
    viewer_->setTabStopDistance(18);
    layout->addWidget(viewer_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    // Large enough to read a chapter, never larger than the screen it opens on.
    setMinimumSize(320, 240);
    resize(WithinScreen(this, QSize(640, 520)));
}

void CWelcome::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!documentPending_) return;
    documentPending_ = false;
    LoadDocument();
}

void CWelcome::LoadDocument() {
    if (selected_.welcomeFile.empty()) return;  // no welcome document: the dialog stays empty
    std::ifstream in(selected_.welcomeFile, std::ios::binary);
    std::string bytes(static_cast<size_t>(kMaxWelcomeBytes), '\0');
    in.read(bytes.data(), kMaxWelcomeBytes);
    bytes.resize(static_cast<size_t>(in.gcount()));
    FillTextDocument(ReadRtf(bytes), viewer_->document());
    if (selected_.chapterMark.isEmpty()) return;
    QTextCursor found = viewer_->document()->find(
        selected_.chapterMark, 0, QTextDocument::FindWholeWords | QTextDocument::FindCaseSensitively);
    if (found.isNull()) return;  // a missing mark leaves the document at its top
    // The line holding the mark becomes the first line shown: scroll to the end first, so that the
    // cursor is then made visible at the top of the view rather than at its bottom.
    auto scrollToMark = [this, found] {
        viewer_->moveCursor(QTextCursor::End);
        viewer_->ensureCursorVisible();
        QTextCursor atLine = found;
        atLine.movePosition(QTextCursor::StartOfBlock);
        viewer_->setTextCursor(atLine);
        QRect line = viewer_->cursorRect(atLine);
        QScrollBar* bar = viewer_->verticalScrollBar();
        bar->setValue(bar->value() + line.top());
    };
    scrollToMark();
    // The layout of a dialog shown for the first time settles after this paint: scroll once more.
    QTimer::singleShot(0, this, scrollToMark);
}

QString CWelcome::FirstVisibleLine() const {
    QTextCursor top = viewer_->cursorForPosition(QPoint(2, 2));
    return top.block().text();
}

}  // namespace vantrel
