// "Cell setting" and "Coupling time setting" driven through their controls: field ranges and the
// standard messages, the name cut to 10 characters, "Ablation", the computed values, the coupling
// result and the warning when it falls below the refractory period.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "app/dialogs/cell_dialog.h"
#include "app/dialogs/coupling_dialog.h"
#include "app/dialogs/dialog_fields.h"
#include "picture_heart.h"

namespace vantrel {
namespace {

// The message boxes a click opens, closed as they appear; their titles and texts are kept.
struct MessageBoxes {
    QStringList titles, texts;
    void ExpectDuring(const std::function<void()>& action) {
        QTimer closer;
        closer.setInterval(0);
        QObject::connect(&closer, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                titles << box->windowTitle();
                texts << box->text();
                box->accept();
            }
        });
        closer.start();
        action();
    }
};

template <typename T>
T* Child(QWidget* parent, int id) {
    T* child = parent->findChild<T*>(QString::number(id));
    EXPECT_NE(child, nullptr) << "control " << id;
    return child;
}

void SetField(QWidget* dialog, int id, const QString& text) { Child<QLineEdit>(dialog, id)->setText(text); }
QString Field(QWidget* dialog, int id) { return Child<QLineEdit>(dialog, id)->text(); }
void Press(QWidget* dialog, int id) { QTest::mouseClick(Child<QPushButton>(dialog, id), Qt::LeftButton); }

class CellSettingTest : public ::testing::Test {
protected:
    void Open(int32_t cell) {
        dialog = std::make_unique<Cdlg_Cell>(*heart, cell);
        dialog->show();
    }
    std::unique_ptr<CCoeur> heart = testing::MakePictureHeart();
    std::unique_ptr<Cdlg_Cell> dialog;
    MessageBoxes boxes;
};

TEST_F(CellSettingTest, ShowsTheTonePairsAndTheirValuesAtTheCurrentTone) {
    heart->tone = 1000;
    Open(0);
    EXPECT_EQ(dialog->windowTitle(), "Cell setting");
    EXPECT_EQ(Field(dialog.get(), 1003), "Sinus");
    const struct { int id; const char* text; } kFields[] = {
        {1004, "800"}, {1009, "400"}, {1005, "20"}, {1010, "10"}, {1007, "30"}, {1012, "30"},
        {1006, "250"}, {1011, "250"}, {1008, "50"}, {1013, "50"},
        // At tone 1000: escape 400 ms (80 ticks, from the square-root tone 999: 400 + 400 / 1000),
        // conduction 10 ms, the rest as their pairs.
        {1014, "400"}, {1015, "10"}, {1016, "30"}, {1017, "250"}, {1018, "50"},
    };
    for (const auto& f : kFields) EXPECT_EQ(Field(dialog.get(), f.id), f.text) << f.id;
    EXPECT_TRUE(Child<QLineEdit>(dialog.get(), 1014)->isReadOnly());
    EXPECT_EQ(Child<QPushButton>(dialog.get(), 1116)->text(), "Ablation");
}

TEST_F(CellSettingTest, OutOfRangeFieldsKeepTheDialogOpenWithTheStandardMessage) {
    const struct { int id; const char* text; const char* message; } kCases[] = {
        {1004, "49", "Please enter an integer between 50 and 100000."},
        {1004, "100001", "Please enter an integer between 50 and 100000."},
        {1005, "0", "Please enter an integer between 1 and 500."},
        {1013, "501", "Please enter an integer between 0 and 500."},
        {1011, "-1", "Please enter an integer between 0 and 30000."},
        {1006, "abc", "Please enter an integer."},
        {1009, "", "Please enter an integer."},
    };
    for (const auto& c : kCases) {
        Open(0);
        SetField(dialog.get(), c.id, c.text);
        boxes.texts.clear();
        boxes.ExpectDuring([&] { Press(dialog.get(), 1); });
        ASSERT_EQ(boxes.texts.size(), 1) << c.id << " " << c.text;
        EXPECT_EQ(boxes.texts[0], c.message);
        EXPECT_TRUE(dialog->isVisible()) << "the dialog stays open";
        EXPECT_EQ(dialog->result(), QDialog::Rejected);
        EXPECT_EQ(heart->cells[0].escapeB, 800) << "nothing stored";
    }
}

TEST_F(CellSettingTest, OkStoresTheTonePairsAsCurrentAndModelValues) {
    Open(1);
    SetField(dialog.get(), 1004, "1200");
    SetField(dialog.get(), 1009, "0");  // escape max 0 is accepted
    SetField(dialog.get(), 1010, "12");
    SetField(dialog.get(), 1008, "0");
    boxes.ExpectDuring([&] { Press(dialog.get(), 1); });
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join("; ").toStdString();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    const CCell& c = heart->cells[1];
    EXPECT_EQ(c.escapeB, 1200);
    EXPECT_EQ(c.escapeH, 0);
    EXPECT_EQ(c.antCondH, 12);
    EXPECT_EQ(c.rrpB, 1) << "a relative refractory period is at least 1 ms";
    EXPECT_EQ(c.modelEscapeB, 1200);
    EXPECT_EQ(c.modelEscapeH, 0);
    EXPECT_EQ(c.modelAntCondH, 12);
    EXPECT_EQ(c.modelRrpB, 1);
    EXPECT_EQ(c.dirty, 1);
}

TEST_F(CellSettingTest, NameIsCutToTenCharactersAndReplacedWhole) {
    Open(0);
    SetField(dialog.get(), 1003, "ABCDEFGHIJKL");
    Press(dialog.get(), 1);
    EXPECT_STREQ(heart->cells[0].name, "ABCDEFGHIJ");
    Open(0);
    SetField(dialog.get(), 1003, "AV");
    Press(dialog.get(), 1);
    EXPECT_STREQ(heart->cells[0].name, "AV");
}

TEST_F(CellSettingTest, AblationThenOkStopsTheCellEscaping) {
    Open(0);
    Press(dialog.get(), 1116);
    EXPECT_TRUE(dialog->isVisible()) << "Ablation leaves the dialog open";
    EXPECT_EQ(Field(dialog.get(), 1004), "60000");
    EXPECT_EQ(Field(dialog.get(), 1009), "60000");
    EXPECT_EQ(heart->cells[0].escapeB, 800) << "stored only on OK";
    Press(dialog.get(), 1);
    EXPECT_EQ(heart->cells[0].escapeB, 60000);
    EXPECT_EQ(heart->cells[0].escapeH, 60000);
    EXPECT_TRUE(heart->cells[0].IsInert());
}

TEST_F(CellSettingTest, CancelChangesNothing) {
    Open(0);
    SetField(dialog.get(), 1003, "Other");
    SetField(dialog.get(), 1004, "900");
    Press(dialog.get(), 2);
    EXPECT_STREQ(heart->cells[0].name, "Sinus");
    EXPECT_EQ(heart->cells[0].escapeB, 800);
    EXPECT_EQ(heart->cells[0].modelEscapeB, 800);
}

TEST(CouplingResult, PairAtTheTone) {
    const struct { int32_t min, max, arp, tone, result; } kCases[] = {
        {0, 100, 250, 400, 355},   // min 0: max after the refractory period, plus one tick
        {350, 400, 250, 0, 350},   // tone 0: the min
        {350, 400, 250, 1000, 400},
        {350, 400, 250, 400, 370},  // 400 - 50 * 600 / 1000
        {351, 400, 250, 0, 350},    // whole ticks
    };
    for (const auto& c : kCases)
        EXPECT_EQ(CouplingResult(c.min, c.max, c.arp, c.tone), c.result) << c.min << "," << c.max;
}

class CouplingSettingTest : public ::testing::Test {
protected:
    CouplingSettingTest() {
        heart->svpbCell = 1;  // "RA", ARP 250 ms at every tone
        heart->vpbCell = 2;
        heart->svpbCoupling = {0, 100};
    }
    void Open(bool supraventricular) {
        dialog = std::make_unique<CAdjustCT>(*heart, supraventricular);
        dialog->show();
    }
    std::unique_ptr<CCoeur> heart = testing::MakePictureHeart();
    std::unique_ptr<CAdjustCT> dialog;
    MessageBoxes boxes;
};

TEST_F(CouplingSettingTest, ShowsThePairTheCellItsRefractoryPeriodAndTheResult) {
    Open(true);
    EXPECT_EQ(dialog->windowTitle(), "Coupling time setting");
    EXPECT_EQ(Field(dialog.get(), 1089), "0");
    EXPECT_EQ(Field(dialog.get(), 1090), "100");
    EXPECT_EQ(Field(dialog.get(), 1112), "RA");
    EXPECT_EQ(Field(dialog.get(), 1114), "250");
    EXPECT_EQ(Field(dialog.get(), 1091), "355");
    EXPECT_FALSE(Child<QLineEdit>(dialog.get(), 1112)->isEnabled());
    Open(false);
    EXPECT_EQ(Field(dialog.get(), 1089), "300");
    EXPECT_EQ(Field(dialog.get(), 1112), "LV");
}

TEST_F(CouplingSettingTest, ACouplingBelowTheRefractoryPeriodIsStoredThenWarned) {
    Open(false);
    SetField(dialog.get(), 1089, "200");
    SetField(dialog.get(), 1090, "220");
    boxes.ExpectDuring([&] { Press(dialog.get(), 1); });
    EXPECT_EQ(heart->vpbCoupling.min, 200);
    EXPECT_EQ(heart->vpbCoupling.max, 220);
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_EQ(boxes.titles[0], "Message");
    EXPECT_EQ(boxes.texts[0], "Coupling Time  is less than ARP : ESV can be inhibited");
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

TEST_F(CouplingSettingTest, CancelStoresNothingAndWarnsNothing) {
    Open(false);
    SetField(dialog.get(), 1089, "200");
    SetField(dialog.get(), 1090, "220");
    boxes.ExpectDuring([&] { Press(dialog.get(), 2); });
    EXPECT_TRUE(boxes.texts.isEmpty());
    EXPECT_EQ(heart->vpbCoupling.min, 300);
    EXPECT_EQ(heart->vpbCoupling.max, 400);
}

TEST_F(CouplingSettingTest, FieldsAcceptPositiveIntegersUpToTenThousand) {
    const struct { const char* text; const char* message; } kCases[] = {
        {"-5", "Please enter a positive integer."},
        {"x", "Please enter a positive integer."},
        {"10001", "Please enter an integer between 0 and 10000."},
    };
    for (const auto& c : kCases) {
        Open(true);
        SetField(dialog.get(), 1090, c.text);
        boxes.texts.clear();
        boxes.ExpectDuring([&] { Press(dialog.get(), 1); });
        ASSERT_EQ(boxes.texts.size(), 1) << c.text;
        EXPECT_EQ(boxes.texts[0], c.message);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(heart->svpbCoupling.max, 100);
    }
}

TEST_F(CouplingSettingTest, AModelWithoutTheFocusCellShowsNoCell) {
    heart->svpbCell = -1;
    Open(true);
    EXPECT_EQ(Field(dialog.get(), 1112), "");
    EXPECT_EQ(Field(dialog.get(), 1114), "0");
}

}  // namespace
}  // namespace vantrel
