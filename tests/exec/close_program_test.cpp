#include <gtest/gtest.h>

#include "exec/close_program.h"
#include "testkit/operator.h"
#include "testkit/services.h"

namespace tarvex::exec {
namespace {

using platform::TopWindow;

// Front to back, as the system orders them.
std::vector<TopWindow> desktop() {
    return {
        {1, "Program Manager", "Progman", true},
        {2, "Sem título - Bloco de notas", "Notepad", true},
        {3, "Outro - Bloco de notas", "Notepad", true},
        {4, "Calculadora", "CalcFrame", true},
        {5, "Doc [1", "Word", true},
        {6, "Painel", "Bloco de notas", true},
        {7, "Oculta Aplicativos", "Hidden", true},
        {8, "Invisivel", "Ghost", false},
        {9, "", "NoTitle", true},
        {10, "Titulo[Calculadora", "Odd", true},
    };
}

struct CloseCase {
    const char* program;
    std::vector<std::uintptr_t> closed;
};

class CloseProgram : public ::testing::TestWithParam<CloseCase> {
protected:
    testkit::FakeWindows windows;
    testkit::ScriptedOperator op;
    testkit::OperatorScope scope{op};
};

TEST_P(CloseProgram, PostsCloseToTheNamedWindowOnly) {
    windows.windows = desktop();
    bool posted = closeProgramWindows(windows, GetParam().program);
    EXPECT_EQ(windows.closed, GetParam().closed);
    EXPECT_EQ(posted, !GetParam().closed.empty());
    EXPECT_EQ(op.pumps, 1);   // messages are let through whether or not a window was found
}

INSTANTIATE_TEST_SUITE_P(Cases, CloseProgram, ::testing::Values(
    CloseCase{"Titulo[Sem título - Bloco de notas]", {2}},
    CloseCase{"Titulo[CALCULADORA]", {4}},          // the window search ignores case
    CloseCase{"Classe[Notepad]", {2}},              // the frontmost of its class
    CloseCase{"Classe[Calculadora]", {}},           // a title is not a class
    CloseCase{"Titulo[Doc [1]]", {5}},              // cut at the first "]"
    CloseCase{"Calculadora", {4}},                  // bare text: a title first
    CloseCase{"Bloco de notas", {6}},               // ... then a class
    CloseCase{"Titulo[Calculadora", {10}},          // no "]": the whole text as a title
    CloseCase{"Titulo[]", {}},
    CloseCase{"Classe[Word] Titulo[Painel]", {}},   // both tags: read as a title, "Word"
    CloseCase{"Titulo[Painel] Classe[Word]", {6}},
    CloseCase{"Titulo[Nada aberto]", {}},
    CloseCase{"Exe[notepad.exe]", {}},
    CloseCase{"", {}}));

TEST(WindowList, OnlyVisibleTitledWindowsFrontToBack) {
    testkit::FakeWindows windows;
    windows.windows = desktop();
    windows.windows.push_back({11, std::string(300, 'x'), "Long", true});
    std::vector<std::string> expected{"Titulo[Sem título - Bloco de notas]", "Titulo[Outro - Bloco de notas]",
                                      "Titulo[Calculadora]", "Titulo[Doc [1]", "Titulo[Painel]",
                                      "Titulo[Titulo[Calculadora]", "Titulo[" + std::string(254, 'x') + "]"};
    EXPECT_EQ(windowList(windows), expected);
}

}  // namespace
}  // namespace tarvex::exec
