// The settings page as the window uses it, and the task file that cannot be read.
#include "lib/keep_aside.h"
#include "lib/errors.h"
#include "platform/files.h"
#include "testkit/disk_faults.h"
#include "wired_fixture.h"

namespace tarvex::testing {
namespace {

class SettingsPage : public WiredTest {};

TEST_F(SettingsPage, SaveWritesThePageReadsItBackAndShowsTheTasks) {
    start();
    form->F_TARVEX.moved({20, 30, 1000, 700}, true);
    form->F_TARVEX.moved({0, 0, 1920, 1080}, false);   // maximised: not the window's own size
    form->CB_FONTE.pick(7);                             // "12", applied at once
    form->CB_FONTEXT.setText("30");
    form->CB_FONTNAME.setText("Tahoma");
    form->CB_AUTORUN.setChecked(true);
    form->startModeList.setItemIndex(1);
    form->startPageList.setItemIndex(2);
    form->CB_VER_INICIO.setChecked(false);
    form->E_TEMPO_LIMITE.setText("30");
    form->E_LOG_MAXIMO.setText("12");
    form->BU_PARAM_SALVA.click();
    EXPECT_EQ(dir.read("TARVEX_SISTEMA.TXT"), "20#30#1000#700#CALENDARIO#12#30#Tahoma#S#1#2#N#S#30######12#");
    EXPECT_EQ(form->commandRunner().timeLimit(), 30 * 60);
    EXPECT_EQ(form->PC_GERAL.active(), "TS_TAREFAS");
    EXPECT_EQ(form->CB_FONTEXT.text(), "12");   // stored as typed, limited when read back
    EXPECT_EQ(form->settings().fontName, "Tahoma");
    EXPECT_EQ(fake.registry.userRun.at("TARVEX"), "C:\\TARVEX\\TARVEX.EXE");
    EXPECT_TRUE(form->CB_AUTORUN.checked());
    EXPECT_TRUE(op.boxes.empty());

    form->CB_AUTORUN.setChecked(false);
    fake.registry.machineRun["TARVEX"] = "C:\\TARVEX\\TARVEX.EXE";
    form->BU_PARAM_SALVA.click();
    EXPECT_TRUE(fake.registry.userRun.empty());
    EXPECT_TRUE(fake.registry.machineRun.empty());
    EXPECT_FALSE(form->CB_AUTORUN.checked());
}

TEST_F(SettingsPage, LogonValueIsQuotedWhenThePathHoldsABlank) {
    exePath = "C:\\Program Files\\Tarvex\\tarvex.exe";
    start();
    form->CB_AUTORUN.setChecked(true);
    form->BU_PARAM_SALVA.click();
    EXPECT_EQ(fake.registry.userRun.at("TARVEX"), "\"C:\\PROGRAM FILES\\TARVEX\\TARVEX.EXE\"");
    EXPECT_TRUE(form->CB_AUTORUN.checked());
}

// A field toInt cannot convert takes its default; start-up goes on to the end.
TEST_F(SettingsPage, UnconvertibleFieldsTakeTheirDefaultsAtStartUp) {
    dir.write("TARVEX_SISTEMA.TXT", "1-#40#-#700#CALENDARIO#-#1-#Arial#N#-#1#N#S########");
    start();
    EXPECT_EQ(form->F_TARVEX.normalBounds(), (ui::Window::Rect{10, 40, 900, 700}));
    EXPECT_EQ(form->CALEND.fontSize(), 8);
    EXPECT_EQ(form->CB_FONTEXT.text(), "8");
    EXPECT_EQ(form->startModeList.itemIndex(), 0);
    EXPECT_EQ(form->PC_GERAL.active(), "TS_TAREFAS");
    EXPECT_FALSE(form->CB_VER_INICIO.checked());
    EXPECT_EQ(logEvents(), std::vector<std::string>{"INI Start TARVEX"});
    EXPECT_EQ(due(form->T_SUPERVISOR), "09/12/26 07:10:00");
    EXPECT_TRUE(op.boxes.empty());
}

const std::string BAD_TASKS = "abc\r\n3\r\n";

TEST_F(SettingsPage, UnreadableTaskFileIsKeptAsideAndStartUpGoesOn) {
    dir.write("TARVEX_TAREFAS.TXT", BAD_TASKS);
    start();
    const std::string copy = "TARVEX_TAREFAS.TXT.ilegivel-20261209-070000";
    EXPECT_EQ(dir.read(copy), BAD_TASKS);
    EXPECT_EQ(form->keptAside(), dir.folder() + copy);
    // No box: the log after the start's entry, the red icon and a balloon.
    EXPECT_TRUE(op.boxes.empty());
    const std::vector<std::string> events = logEvents();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0], "INI Start TARVEX");
    EXPECT_NE(events[1].find("foi guardada em " + dir.folder() + copy), std::string::npos) << events[1];
    EXPECT_EQ(form->TrayIcon1.imageIndex(), 2);
    EXPECT_EQ(form->TrayIcon1.balloon().title, "TARVEX: TARVEX_TAREFAS.TXT");
    EXPECT_EQ(form->E_PROX_NOME.text(), "Sem tarefas para o dia");
    EXPECT_EQ(due(form->T_SUPERVISOR), "09/12/26 07:10:00");
    EXPECT_TRUE(form->F_TARVEX.visible());
    EXPECT_THROW(form->saveTasks(), FileError);
    EXPECT_TRUE(form->closeRequested());
    form->shutDown();
    EXPECT_EQ(dir.read("TARVEX_TAREFAS.TXT"), BAD_TASKS);
}

TEST_F(SettingsPage, MontaGridLoadsTheTableOnceTheFileIsMended) {
    dir.write("TARVEX_TAREFAS.TXT", BAD_TASKS);
    start();
    std::filesystem::remove(dir.path() / "TARVEX_TAREFAS.TXT");
    writeTasks({{{col::NOME, "B"}}});
    form->setEditorRow(1);
    form->editor().BU_MONTAR.click();
    EXPECT_TRUE(form->tasksLoaded());
    EXPECT_EQ(form->editor().E_NOME.text(), "B");
    EXPECT_TRUE(op.errors().empty());
}

TEST_F(SettingsPage, ALockedTaskFileIsLeftAloneAndLoadedOnceFree) {
    writeTasks({{{col::NOME, "A"}, {col::TIPO, "03 - Executar Programa"},
                 {col::PERIODO, "01 - Todos os Dias"},
                 {col::HORA, "08:00"}}});
    const std::string tasks = dir.file("TARVEX_TAREFAS.TXT");
    testkit::setOpenHook([&](const std::string& path) { return platform::fsPath(path) != tasks; });
    start();
    EXPECT_EQ(form->keptAside(), "");
    EXPECT_TRUE(op.errors().empty());
    const std::string told = logEvents().back();
    EXPECT_EQ(told.find("Uma cópia"), std::string::npos);
    EXPECT_NE(told.find("não será alterado"), std::string::npos) << told;
    testkit::setOpenHook(nullptr);
    host.runUntil(at(2026, 12, 9, 7, 10, 0));
    EXPECT_TRUE(form->tasksLoaded());
    EXPECT_EQ(form->E_PROX_NOME.text(), "01 - A");
}

TEST(KeepAside, NeverOverwritesAnEarlierCopy) {
    testkit::TempDir dir;
    dir.write("T.TXT", "one");
    const LocalTime t = at(2026, 1, 2, 3, 4, 5);
    EXPECT_EQ(asideName(dir.file("T.TXT"), t), dir.file("T.TXT") + ".ilegivel-20260102-030405");
    EXPECT_EQ(keepAside(dir.file("T.TXT"), t), dir.file("T.TXT.ilegivel-20260102-030405"));
    dir.write("T.TXT", "two");
    EXPECT_EQ(keepAside(dir.file("T.TXT"), t), dir.file("T.TXT.ilegivel-20260102-030405-2"));
    EXPECT_EQ(dir.read("T.TXT.ilegivel-20260102-030405"), "one");
    EXPECT_EQ(dir.read("T.TXT.ilegivel-20260102-030405-2"), "two");
    EXPECT_EQ(keepAside(dir.file("NONE.TXT"), t), "");
}

}  // namespace
}  // namespace tarvex::testing
