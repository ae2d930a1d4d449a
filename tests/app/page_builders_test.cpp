// The pages' pickers and builders driven through scripted dialogs.
#include <gtest/gtest.h>

#include "app/page_builders.h"
#include "platform/files.h"
#include "testkit/dialogs.h"
#include "testkit/operator.h"
#include "testkit/services.h"
#include "testkit/tempdir.h"

namespace tarvex::app {
using namespace exec;
namespace {

using Lines = std::vector<std::string>;

class Pages : public ::testing::Test {
protected:
    // The temporary folder as the system writes folders: with backslashes.
    std::string folder(const std::string& sub = "") {
        std::string f = platform::fromFsPath(dir.path());
        return sub.empty() ? f : f + "\\" + sub;
    }
    std::vector<std::string> told() const { return op.messages(); }

    testkit::TempDir dir;
    testkit::ScriptedDialogs dialogs;
    testkit::ScriptedOperator op;
    testkit::FakeServices fake;
    ui::Edit origem{"ORIGEM"}, destino{"DESTINO"}, arquivo{"ARQUIVO"}, pen{"PEN"}, extensao{"EXTENSAO"},
        excluir{"EXCLUIR"}, arqdest{"ARQDEST"}, other{"OTHER"};
    ui::Memo memo{"MEMO"};
    ui::ListBox list1{"L1"}, list2{"L2"};
};

// ---- T00 ----------------------------------------------------------------------------

TEST_F(Pages, XcopyMontaAddsOneLineAClickAndRefusesAQuoteInAPath) {
    XcopyBuilder b({origem, destino, memo, other}, dialogs, op);
    origem.setText("  \"D:\\DADOS\" ");
    destino.setText("\"[PEN]:\\DADOS[EXT]\\\"");
    b.B00_MONTAClick();
    const std::string line = "XCOPY  \"D:\\DADOS\"  ===>>  \"[PEN]:\\DADOS[EXT]\\\"      /E /D /Y /R /C /V";
    EXPECT_EQ(memo.lines(), (Lines{line}));
    EXPECT_EQ(origem.text(), "\"D:\\DADOS\"");
    b.B00_MONTAClick();
    EXPECT_EQ(memo.lines(), (Lines{line, line}));
    EXPECT_TRUE(told().empty());
    origem.setText("\"D:\\A\" & echo x \"");
    b.B00_MONTAClick();
    EXPECT_EQ(memo.lines().size(), 2u);
    EXPECT_EQ(told().size(), 1u);
}

TEST_F(Pages, XcopyMontaRefusesAMissingPathAndAddsNothing) {
    XcopyBuilder b({origem, destino, memo, other}, dialogs, op);
    origem.setText("\"D:\\DADOS\"");
    destino.setText("   ");
    b.B00_MONTAClick();
    EXPECT_EQ(destino.text(), "");
    origem.setText(" ");
    destino.setText("F:\\X");
    b.B00_MONTAClick();
    EXPECT_EQ(told(), (Lines{"Deve informar a pasta de DESTINO", "Deve informar a pasta de ORIGEM"}));
    EXPECT_EQ(memo.text(), "");
}

TEST_F(Pages, XcopyPickersQuoteAndDeriveThePenDestination) {
    XcopyBuilder b({origem, destino, memo, other}, dialogs, op);
    origem.setText(" D:\\OLD ");
    dialogs.folders = {"D:\\DADOS", std::nullopt, "F:\\BACKUP"};
    b.B00_ORIGEMClick();
    EXPECT_EQ(origem.text(), "\"D:\\DADOS\"");
    b.B00_DESTClick();
    EXPECT_EQ(destino.text(), "\"[PEN]:\\DADOS[EXT]\\\"");
    b.B00_DESTINOClick();  // cancelled
    EXPECT_EQ(destino.text(), "\"[PEN]:\\DADOS[EXT]\\\"");
    b.B00_DESTINOClick();
    EXPECT_EQ(destino.text(), "\"F:\\BACKUP[EXT]\\\"");
    ASSERT_EQ(dialogs.calls.size(), 3u);
    EXPECT_EQ(dialogs.calls[0].titleOrFilter, "Selecionar Diretório");
    EXPECT_EQ(dialogs.calls[0].start, "D:\\OLD");
    EXPECT_EQ(dialogs.calls[1].start, "\"[PEN]:\\DADOS[EXT]\\\"");
}

TEST_F(Pages, XcopyFilePickerStartsInTheFileCopyOriginAndKeepsLongPaths) {
    XcopyBuilder b({origem, destino, memo, other}, dialogs, op);
    const std::string deep = "D:\\" + std::string(110, 'x') + "\\ARQ.TXT";
    other.setText("C:\\INICIO\\");
    dialogs.files = {std::nullopt, deep};
    b.B00_ARQUIVOClick();
    EXPECT_EQ(origem.text(), "");
    b.B00_ARQUIVOClick();
    EXPECT_EQ(origem.text(), "\"" + deep + "\"");
    EXPECT_EQ(destino.text(), "\"[PEN]:\\" + std::string(110, 'x') + "[EXT]\\\"");
    EXPECT_EQ(dialogs.calls[0].kind, "file");
    EXPECT_EQ(dialogs.calls[0].titleOrFilter, platform::OPEN_FILTER);
    EXPECT_EQ(dialogs.calls[0].start, "C:\\INICIO\\");
}

// ---- T01, T02 ---------------------------------------------------------------------------

TEST_F(Pages, FolderPairNeedsAnExistingOrigin) {
    FolderCopyBuilder b({origem, destino, memo}, dialogs, op);
    const auto run = [&](const std::string& o, const std::string& d) {
        origem.setText(o);
        destino.setText(d);
        b.T01_MONTAClick();
    };
    run("", "F:\\B");
    run(folder("NADA"), "F:\\B");
    run(folder(), "");
    EXPECT_EQ(told(), (Lines{"Deve informar a pasta de ORIGEM", "Diretório de ORIGEM não existe",
                             "Deve informar a pasta de DESTINO"}));
    EXPECT_EQ(memo.text(), "");
    run(" \"" + folder() + "\" ", "F:\\BACKUP[EXT]\\");
    EXPECT_EQ(memo.lines(), (Lines{"\"" + folder() + "\"\\  ===>>  F:\\BACKUP[EXT]\\"}));
}

TEST_F(Pages, FolderAndFilePickers) {
    FolderCopyBuilder t01({origem, destino, memo}, dialogs, op);
    dialogs.folders = {" D:\\DADOS ", "F:\\BACKUP"};
    t01.B01_ORIGEMClick();
    t01.B01_DESTINOClick();
    EXPECT_EQ(origem.text(), "D:\\DADOS");
    EXPECT_EQ(destino.text(), "F:\\BACKUP[EXT]\\");

    FileCopyPicker t02({origem, arquivo, destino}, dialogs);
    dialogs.files = {"D:\\BASES\\LOJA.FDB"};
    dialogs.folders = {"E:\\"};
    t02.B02_ORIGEMClick();
    t02.B02_DESTINOClick();
    EXPECT_EQ(origem.text(), "D:\\BASES\\");
    EXPECT_EQ(arquivo.text(), "LOJA.FDB");
    EXPECT_EQ(destino.text(), "E:\\[EXT]\\");
    EXPECT_EQ(dialogs.calls.back().start, "F:\\BACKUP[EXT]\\");
}

// ---- T03, T04, T06 ------------------------------------------------------------------------

TEST_F(Pages, ProgramAndClosePages) {
    dialogs.files = {"C:\\APP\\X.EXE"};
    B06_EXECUTAVELClick(arquivo, dialogs);
    EXPECT_EQ(arquivo.text(), "C:\\APP\\X.EXE");

    fake.windows.windows = {{1, "Calculadora", "CalcFrame", true},
                            {2, "Escondida", "X", false},
                            {3, "Program Manager", "Progman", true},
                            {4, "Bloco de notas", "Notepad", true}};
    ui::ListBox list{"E04_LIST"};
    BU_PROCESSOSClick(list, fake.windows);
    EXPECT_EQ(list.items, (Lines{"Titulo[Calculadora]", "Titulo[Bloco de notas]"}));
    EXPECT_EQ(list.itemIndex(), -1);
    list.setItemIndex(1);
    E04_LISTClick(list, pen);
    EXPECT_EQ(pen.text(), "Titulo[Bloco de notas]");
}

TEST_F(Pages, ZipPickers) {
    list1.setItems({"*.*", "*.FDB", "*.FDB;*.EXE"});
    list2.setItems({"", "*.ZIP", "*.EXE"});
    ZipPicker b({origem, arquivo, excluir, destino, arqdest, list1, list2}, dialogs);
    dialogs.folders = {"D:\\DADOS", "F:\\BKP"};
    dialogs.files = {"D:\\DADOS\\LOJA.FDB", "F:\\BKP\\DADOS.ZIP"};
    b.B06_ORIGEMClick();
    b.B06_DESTINOClick();
    b.B06_ARQ_ORIGEMClick();
    b.B06_ARQ_DESTINOClick();
    EXPECT_EQ(origem.text(), "D:\\DADOS");
    EXPECT_EQ(destino.text(), "F:\\BKP\\");
    EXPECT_EQ(arquivo.text(), "LOJA.FDB");
    EXPECT_EQ(arqdest.text(), "DADOS.ZIP");
    EXPECT_EQ(dialogs.calls[2].start, "D:\\DADOS");
    EXPECT_EQ(dialogs.calls[3].start, "F:\\BKP\\");
    list1.setItemIndex(2);
    b.E06_ARQUIVO1Select();
    EXPECT_EQ(arquivo.text(), "*.FDB;*.EXE");
    list2.setItemIndex(1);
    b.E06_EXCLUIR1Click();
    list2.setItemIndex(0);
    b.E06_EXCLUIR1Click();
    EXPECT_EQ(excluir.text(), "");
}

// ---- T07 ----------------------------------------------------------------------------

TEST_F(Pages, BackupMontaAddsTheSetLinesOnlyWhileTheBoxIsShort) {
    BackupBuilder b({arquivo, origem, destino, extensao, memo}, dialogs, fake.registry);
    arquivo.setText("D:\\DADOS\\BASE.FDB");
    origem.setText("C:\\VALDRINB\\EXE");
    destino.setText(folder("BKP\\DIA"));
    extensao.setText("_[DIA]");
    b.B07_MONTAClick();
    const std::string cmd = "\"C:\\VALDRINB\\EXE\\GBAK\" -G -B -V -T -Z  -user SYSDBA -password zanquiber   "
                            "\"D:\\DADOS\\BASE.FDB\"   \"" + folder("BKP\\DIA") + "\\BASE_[DIA].GDK\"";
    EXPECT_EQ(memo.lines(), (Lines{"// set isc_user=SYSDBA ", "// set isc_password=zanquiber ",
                                   "// set firebird_msg=C:\\VALDRINB\\EXE ", cmd}));
    EXPECT_TRUE(dir.exists("BKP/DIA"));
    b.B07_MONTAClick();
    EXPECT_EQ(memo.lines().size(), 5u);
    EXPECT_EQ(memo.lines()[4], cmd);

    memo.setText("REM primeira");
    extensao.setText("");
    b.B07_MONTAClick();
    ASSERT_EQ(memo.lines().size(), 5u);
    EXPECT_EQ(memo.lines()[0], "REM primeira");
    EXPECT_NE(memo.lines()[4].find("\\BASE[EXT].GDK"), std::string::npos);
}

TEST_F(Pages, BackupPickersAndTheRegistryValue) {
    BackupBuilder b({arquivo, origem, destino, extensao, memo}, dialogs, fake.registry);
    fake.registry.gbDir5 = "192.168.0.10/3050:C:\\DADOS\\BASE.FDB";
    b.B07_ARQUIVOClick();
    EXPECT_EQ(arquivo.text(), "192.168.0.10/3050:C:\\DADOS\\BASE.FDB");
    fake.registry.gbDir5 = "";
    b.B07_ARQUIVOClick();
    EXPECT_EQ(arquivo.text(), "");

    origem.setText(" " + folder() + " ");
    destino.setText(folder("NADA"));
    dialogs.folders = {std::nullopt, std::nullopt, "G:\\"};
    b.B07_PASTAEXEClick();
    b.B07_DESTINOClick();
    EXPECT_EQ(origem.text(), folder());
    EXPECT_EQ(destino.text(), "");
    b.B07_DESTINOClick();
    EXPECT_EQ(destino.text(), "G:\\");
    for (const auto& call : dialogs.calls) EXPECT_EQ(call.titleOrFilter, "Selecionar Diretório de Destino");
}

}  // namespace
}  // namespace tarvex::app
