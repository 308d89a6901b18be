// The teaching texts: the welcome document at its chapters, the model's comment page in the
// chosen language, and the model description.
#include <gtest/gtest.h>

#include <QApplication>
#include <QScrollBar>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <fstream>

#include "app/comment_page.h"
#include "app/dialogs/model_comments_dialog.h"
#include "app/dialogs/welcome_dialog.h"
#include "tests/scratch_directory.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

void WriteFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

const fs::path kShippedData = fs::path(VANTREL_SOURCE_DIR) / "data";

TEST(WelcomeChapter, DocumentInTheLanguageWhenItExistsAndTheMarkOfTheChapter) {
    fs::path dir = testing::ScratchDirectory("vantrel-welcome-");
    EXPECT_TRUE(SelectChapter(0, dir, "_FR").welcomeFile.empty());  // no document: opens empty
    WriteFile(dir / "WelcomeClinic.rtf", "{\\rtf1 English}");
    EXPECT_EQ(SelectChapter(0, dir, "_FR").welcomeFile, dir / "WelcomeClinic.rtf");
    WriteFile(dir / "WelcomeClinic_FR.rtf", "{\\rtf1 Fran\\'e7ais}");
    EXPECT_EQ(SelectChapter(0, dir, "_FR").welcomeFile, dir / "WelcomeClinic_FR.rtf");
    EXPECT_EQ(SelectChapter(0, dir, "").welcomeFile, dir / "WelcomeClinic.rtf");

    const std::pair<int, const char*> marks[] = {{0, ""}, {1, "Chpt.2"}, {3, "Chpt.4"}, {4, "Chpt.5"}};
    for (const auto& [chapter, mark] : marks)
        EXPECT_EQ(SelectChapter(chapter, dir, "").chapterMark, QString(mark)) << chapter;
}

TEST(WelcomeDialog, OpensAtTheTopOrWithTheChapterLineFirst) {
    for (const char* suffix : {"", "_FR"}) {
        CWelcome top(0, kShippedData, suffix, nullptr);
        top.show();
        QApplication::processEvents();
        EXPECT_EQ(top.Viewer()->verticalScrollBar()->value(), 0) << suffix;
        EXPECT_TRUE(top.Viewer()->isReadOnly());

        CWelcome chapter4(3, kShippedData, suffix, nullptr);
        chapter4.show();
        QApplication::processEvents();
        QApplication::processEvents();
        EXPECT_TRUE(chapter4.FirstVisibleLine().startsWith("Chpt.4"))
            << suffix << ": " << chapter4.FirstVisibleLine().toStdString();
    }
}

// "Chpt.2" is found as a whole word: the "Chpt.20" of an earlier line is not it; a missing mark
// leaves the document at its top.
TEST(WelcomeDialog, MarkFoundAsAWholeWordOnly) {
    fs::path dir = testing::ScratchDirectory("vantrel-welcome-");
    std::string rtf = "{\\rtf1 Top line\\par see Chpt.20 below\\par";
    for (int i = 0; i < 80; ++i) rtf += "filler line\\par ";
    rtf += "Chpt.2 the real one\\par";
    for (int i = 0; i < 80; ++i) rtf += "more\\par ";
    rtf += "}";
    WriteFile(dir / "WelcomeClinic.rtf", rtf);
    CWelcome dialog(1, dir, "", nullptr);
    dialog.show();
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(dialog.FirstVisibleLine(), "Chpt.2 the real one");

    CWelcome missing(4, dir, "", nullptr);  // Chpt.5 is not in this document
    missing.show();
    QApplication::processEvents();
    EXPECT_EQ(missing.Viewer()->verticalScrollBar()->value(), 0);
}

TEST(CommentPage, PageInTheLanguageWhenBothExistAndNoneOutsideTheFolder) {
    fs::path dir = testing::ScratchDirectory("vantrel-comments-");
    WriteFile(dir / "Clinic" / "X.htm", "<p>English</p>");
    const std::string comments = "File X\r\n";
    EXPECT_EQ(CommentPageFile(comments, dir, "_FR"), dir / "Clinic" / "X.htm");
    WriteFile(dir / "Clinic" / "X_FR.htm", "<p>Fran&ccedil;ais</p>");
    EXPECT_EQ(CommentPageFile(comments, dir, "_FR"), dir / "Clinic" / "X_FR.htm");
    EXPECT_EQ(CommentPageFile(comments, dir, ""), dir / "Clinic" / "X.htm");
    // A page that does not exist is still the one to navigate to: the viewer says it is missing.
    EXPECT_EQ(CommentPageFile("File Y", dir, "_FR"), dir / "Clinic" / "Y.htm");
    // Comments that name no page leave the page on show.
    EXPECT_FALSE(CommentPageFile("Just a remark\r\n", dir, ""));
    EXPECT_FALSE(CommentPageFile("", dir, ""));
    // A name that leads outside the Clinic folder is refused.
    WriteFile(dir / "Secret.htm", "<p>secret</p>");
    EXPECT_FALSE(CommentPageFile("File ../Secret", dir, ""));
    EXPECT_FALSE(CommentPageFile("File /etc/hostname", dir, ""));
}

TEST(CommentPage, BackForwardAndAMissingPage) {
    fs::path dir = testing::ScratchDirectory("vantrel-comments-");
    WriteFile(dir / "A.htm", "<p>Page A</p>");
    WriteFile(dir / "B.htm", "<p>Page B</p>");
    HTMLReader reader(nullptr);
    reader.Navigate(dir / "A.htm");
    reader.Navigate(dir / "B.htm");
    EXPECT_TRUE(reader.toPlainText().contains("Page B"));
    reader.GoBack();
    EXPECT_TRUE(reader.toPlainText().contains("Page A"));
    reader.GoForward();
    EXPECT_TRUE(reader.toPlainText().contains("Page B"));
    reader.Navigate(dir / "Gone.htm");
    EXPECT_TRUE(reader.toPlainText().contains("Gone.htm"));
}

TEST(ModelDescription, OneLinePerBackslashAndTheFirstCharacterOfTheRestDropped) {
    const std::pair<const char*, const char*> cases[] = {
        {" 2010 \\ Normal heart", " 2010 \r\nNormal heart"},
        {" 10.12.2026 \\ Normal heart: sinus rhythm", " 10.12.2026 \r\nNormal heart: sinus rhythm"},
        {" no backslash", "no backslash"},
        {"a\\b\\ c", "a\r\nb\r\nc"},
        {"", ""},
        {"ends\\", "ends\r\n"},
    };
    for (const auto& [date, shown] : cases) EXPECT_EQ(ModelDescriptionText(date), shown) << date;
}

}  // namespace
}  // namespace vantrel

// The desktop on the shipped data: the default heart's comment page beside the heart, in full
// screen and back, the welcome at a right-clicked chapter, and the model description.
#include "app/command_table.h"
#include "tests/app/desktop_fixture.h"

namespace vantrel {
namespace {

class ShippedDesktopTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        std::filesystem::remove_all(data_);
        std::filesystem::copy(kShippedData, data_, std::filesystem::copy_options::recursive);
    }
    HTMLReader* Page() { return Child<HTMLReader>("ZOZO"); }
};

TEST_F(ShippedDesktopTest, CommentPageBesideTheHeartInFullScreenAndBack) {
    Start();
    ASSERT_NE(Page(), nullptr);
    ASSERT_TRUE(QTest::qWaitFor([this] { return Page()->isVisible(); }, 3000));
    EXPECT_EQ(Page()->Page().filename(), "1.1 Normal.htm");
    EXPECT_TRUE(Page()->toPlainText().contains("Normal heart"));
    // Beside the heart: in the right half, above the strip.
    const QRect beside = Page()->geometry();
    EXPECT_GE(beside.left(), View().width() / 2);
    EXPECT_LE(beside.bottom(), Doc().strip.StripTop());

    EXPECT_TRUE(Enabled(kCmdCommentsFull));
    EXPECT_FALSE(Enabled(kCmdCommentsNormal));
    View().Execute(kCmdCommentsFull);
    ASSERT_TRUE(QTest::qWaitFor([this] { return Page()->width() > View().width() / 2 + 50; }, 3000));
    EXPECT_EQ(View().DisplayMode(), kScreenComments);
    EXPECT_EQ(View().RunMode(), 0);  // the heart pauses while the page fills the screen
    EXPECT_TRUE(Page()->isVisible());
    EXPECT_FALSE(Enabled(kCmdCommentsFull));
    EXPECT_TRUE(Enabled(kCmdCommentsNormal));

    View().Execute(kCmdCommentsNormal);
    ASSERT_TRUE(QTest::qWaitFor([this] { return Page()->width() < View().width() / 2 + 10; }, 3000));
    EXPECT_EQ(View().DisplayMode(), kScreenHeart);
    EXPECT_EQ(View().RunMode(), 1);

    View().Execute(kCmdEcgScreen);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !Page()->isVisible(); }, 3000));
}

TEST_F(ShippedDesktopTest, FrenchSuffixShowsTheFrenchPage) {
    Start();
    Doc().languageSuffix = "_FR";
    View().ShowModelCommentPage();
    EXPECT_EQ(Page()->Page().filename(), "1.1 Normal_FR.htm");
    EXPECT_TRUE(Page()->toPlainText().contains(QString::fromUtf8("Cœur normal")));
}

TEST_F(ShippedDesktopTest, AboutTheHeartModelShowsTheDescription) {
    Start();
    QString shown;
    OnNextModal([&shown](QWidget* modal) {
        if (auto* text = modal->findChild<QPlainTextEdit*>("ModelDescription")) shown = text->toPlainText();
    });
    View().Execute(kCmdAboutHeart);
    EXPECT_TRUE(shown.contains("Normal heart")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("\n"));
}

TEST_F(ShippedDesktopTest, RightClickOnTheStripOpensTheWelcomeAtTheStripChapter) {
    Start();
    QString firstLine;
    QString mark;
    OnNextModal([&](QWidget* modal) {
        if (auto* welcome = qobject_cast<CWelcome*>(modal)) {
            QTest::qWait(50);
            mark = welcome->Selected().chapterMark;
            firstLine = welcome->FirstVisibleLine();
        }
    });
    const QPoint inStrip(View().width() * 3 / 4, Doc().strip.StripTop() + 40);
    // As the window system delivers it: the press, then the context-menu event.
    QWidget* top = View().window();
    QTest::mouseClick(top->windowHandle(), Qt::RightButton, Qt::NoModifier, View().mapTo(top, inStrip));
    EXPECT_EQ(mark, "Chpt.4");
    EXPECT_TRUE(firstLine.startsWith("Chpt.4")) << firstLine.toStdString();
}

}  // namespace
}  // namespace vantrel
