#include "model/formula.h"

#include <gtest/gtest.h>

#include "reader_fixture.h"

namespace vantrel {
namespace {

class FormulaTest : public ::testing::Test {
protected:
    FormulaTest() {
        heart.variableNames = {"mA"};
        heart.variableValues[0] = 4;
        heart.positionNames = {"PosApex"};
        heart.positions[0] = {7, -3, 11};
        heart.loadLine = 9;
    }
    int32_t Eval(std::string_view text) {
        std::size_t pos = 0;
        return Evaluate(heart, text, pos);
    }
    std::unique_ptr<CCoeur> holder = std::make_unique<CCoeur>();
    CCoeur& heart = *holder;
};

TEST_F(FormulaTest, ValuesOfTheLanguage) {
    struct Case {
        const char* formula;
        int32_t value;
    };
    const Case cases[] = {
        {"2+3*4", 20},         {"10-2-3", 5},          {"7/2", 3},
        {"-7/2", -3},          {"5+-3", 8},            {"5*-3", -15},
        {"5*+3", kNoValue},    {"100*sin(30)", 49},    {"sin(30)", 0},
        {"100*cos(60)", 49},   {"100*sin(90)", 100},   {"1000*cos(90)", 0},
        {"mA*2", 8},           {"mA *2", kNoValue},    {"3 4", 4},
        {"PosApex.x+1", 8},    {"PosApex.y*2", -6},    {"PosApex.z", 11},
        {"2147483647+1", INT32_MIN},                   {"12 EH=5", 12},
        {"7/0", kNoValue},     {"7/(", 7},             {"", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(Eval(c.formula), c.value) << c.formula;
}

TEST_F(FormulaTest, SemicolonEndsTheFormulaAndIsPassed) {
    std::size_t pos = 0;
    EXPECT_EQ(Evaluate(heart, "12;5", pos), 12);
    EXPECT_EQ(pos, 3u);
    EXPECT_EQ(Evaluate(heart, "12;5", pos), 5);
}

TEST_F(FormulaTest, StopsAtTheNextAttributeWord) {
    std::size_t pos = 0;
    EXPECT_EQ(Evaluate(heart, "800 EH=400", pos), 800);
    EXPECT_EQ(pos, 4u);
}

TEST_F(FormulaTest, StatusMessagesOfFailures) {
    struct Case {
        const char* formula;
        int32_t value;
        const char* status;
    };
    const Case cases[] = {
        {"mB+1", kNoValue, "Variable mB non trouv\xE9" "e"},
        {"2*sin(mB)", 0, "Erreur ds Formule Ligne n\xB0" "9"},
        {"2*cos(mB)", 0, "Erreur ds Formule Ligne n\xB0" "9"},  // cos fails like sin
        {"100*sin(30", 49, "Manque ')' dans formule..."},
        {"5+PosNone.x", 5, "Position PosNone inconnue"},  // undeclared position counts as 0
        {"PosApex.q+5", 0, "Erreur dans def.Position PosApex"},  // bad letter: 0 and stop
    };
    for (const Case& c : cases) {
        heart.loadStatus = "Structure OK";
        EXPECT_EQ(Eval(c.formula), c.value) << c.formula;
        EXPECT_EQ(heart.loadStatus, c.status) << c.formula;
    }
}

TEST_F(FormulaTest, AFailedFunctionArgumentEndsTheFormulaAfterItsBracket) {
    struct Case {
        const char* text;
        std::size_t next;  // where the caller goes on reading
    };
    const Case cases[] = {
        {"100*sin(mZZ) EB=700", 12},
        {"100*cos(mZZ) EB=700", 12},
        {"sin(mZZ)+5 Y=1", 8},  // the whole formula is 0: what follows the bracket is not read
        {"3*sin(mZZ", 9},       // no bracket: the end of the text
    };
    for (const Case& c : cases) {
        std::size_t pos = 0;
        EXPECT_EQ(Evaluate(heart, c.text, pos), 0) << c.text;
        EXPECT_EQ(pos, c.next) << c.text;
    }
}

TEST_F(FormulaTest, FunctionsDoNotNest) {
    // The inner "sin(" is not part of the argument formula, which is then 0.
    EXPECT_EQ(Eval("100*cos(sin(90))"), 100);
}

TEST_F(FormulaTest, LookupsReportTheMissingName) {
    EXPECT_EQ(VariableIndex(heart, "mZ"), -1);
    EXPECT_EQ(heart.loadStatus, "Variable mZ inconnue Ligne n\xB0" "9");
    EXPECT_EQ(VariableValue(heart, "mA"), 4);
    EXPECT_EQ(PositionIndex(heart, "PosApex"), 0);
}

}  // namespace
}  // namespace vantrel
