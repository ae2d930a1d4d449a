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
    b.buildXcopyLines();
    const std::string line = "XCOPY  \"D:\\DADOS\"  ===>>  \"[PEN]:\\DADOS[EXT]\\\"      /E /D /Y /R /C /V /I";
    EXPECT_EQ(memo.lines(), (Lines{line}));
    EXPECT_EQ(origem.text(), "\"D:\\DADOS\"");
    b.buildXcopyLines();
    EXPECT_EQ(memo.lines(), (Lines{line, line}));
    EXPECT_TRUE(told().empty());
    origem.setText("\"D:\\A\" & echo x \"");
    b.buildXcopyLines();
    EXPECT_EQ(memo.lines().size(), 2u);
    EXPECT_EQ(told().size(), 1u);
}

TEST_F(Pages, XcopyMontaRefusesAMissingPathAndAddsNothing) {
    XcopyBuilder b({origem, destino, memo, other}, dialogs, op);
    origem.setText("\"D:\\DADOS\"");
    destino.setText("   ");
    b.buildXcopyLines();
    EXPECT_EQ(destino.text(), "");
    origem.setText(" ");
    destino.setText("F:\\X");
    b.buildXcopyLines();
    EXPECT_EQ(told(), (Lines{"Deve informar a pasta de DESTINO", "Deve informar a pasta de ORIGEM"}));
    EXPECT_EQ(memo.text(), "");
}

TEST_F(Pages, XcopyPickersQuoteAndDeriveThePenDestination) {
    XcopyBuilder b({origem, destino, memo, other}, dialogs, op);
    origem.setText(" D:\\OLD ");
    dialogs.folders = {"D:\\DADOS", std::nullopt, "F:\\BACKUP"};
    b.pickXcopySource();
    EXPECT_EQ(origem.text(), "\"D:\\DADOS\"");
    b.penDestinationClicked();
    EXPECT_EQ(destino.text(), "\"[PEN]:\\DADOS[EXT]\\\"");
    b.pickXcopyDestination();  // cancelled
    EXPECT_EQ(destino.text(), "\"[PEN]:\\DADOS[EXT]\\\"");
    b.pickXcopyDestination();
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
    b.pickXcopyFile();
    EXPECT_EQ(origem.text(), "");
    b.pickXcopyFile();
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
        b.buildFolderCopyLines();
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
    t01.pickFolderCopySource();
    t01.pickFolderCopyDestination();
    EXPECT_EQ(origem.text(), "D:\\DADOS");
    EXPECT_EQ(destino.text(), "F:\\BACKUP[EXT]\\");

    FileCopyPicker t02({origem, arquivo, destino}, dialogs);
    dialogs.files = {"D:\\BASES\\LOJA.FDB"};
    dialogs.folders = {"E:\\"};
    t02.pickFileCopySource();
    t02.pickFileCopyDestination();
    EXPECT_EQ(origem.text(), "D:\\BASES\\");
    EXPECT_EQ(arquivo.text(), "LOJA.FDB");
    EXPECT_EQ(destino.text(), "E:\\[EXT]\\");
    EXPECT_EQ(dialogs.calls.back().start, "F:\\BACKUP[EXT]\\");
}

// ---- T03, T04, T06 ------------------------------------------------------------------------

TEST_F(Pages, ProgramAndClosePages) {
    dialogs.files = {"C:\\APP\\X.EXE"};
    pickProgram(arquivo, dialogs);
    EXPECT_EQ(arquivo.text(), "C:\\APP\\X.EXE");

    fake.windows.windows = {{1, "Calculadora", "CalcFrame", true},
                            {2, "Escondida", "X", false},
                            {3, "Program Manager", "Progman", true},
                            {4, "Bloco de notas", "Notepad", true}};
    ui::ListBox list{"E04_LIST"};
    listProcessesClicked(list, fake.windows);
    EXPECT_EQ(list.items, (Lines{"Titulo[Calculadora]", "Titulo[Bloco de notas]"}));
    EXPECT_EQ(list.itemIndex(), -1);
    list.setItemIndex(1);
    processListClicked(list, pen);
    EXPECT_EQ(pen.text(), "Titulo[Bloco de notas]");
}

TEST_F(Pages, ZipPickers) {
    list1.setItems({"*.*", "*.FDB", "*.FDB;*.EXE"});
    list2.setItems({"", "*.ZIP", "*.EXE"});
    ZipPicker b({origem, arquivo, excluir, destino, arqdest, list1, list2}, dialogs);
    dialogs.folders = {"D:\\DADOS", "F:\\BKP"};
    dialogs.files = {"D:\\DADOS\\LOJA.FDB", "F:\\BKP\\DADOS.ZIP"};
    b.pickZipSource();
    b.pickZipDestination();
    b.pickZipSourceFile();
    b.pickZipArchiveName();
    EXPECT_EQ(origem.text(), "D:\\DADOS");
    EXPECT_EQ(destino.text(), "F:\\BKP\\");
    EXPECT_EQ(arquivo.text(), "LOJA.FDB");
    EXPECT_EQ(arqdest.text(), "DADOS.ZIP");
    EXPECT_EQ(dialogs.calls[2].start, "D:\\DADOS");
    EXPECT_EQ(dialogs.calls[3].start, "F:\\BKP\\");
    list1.setItemIndex(2);
    b.maskListSelected();
    EXPECT_EQ(arquivo.text(), "*.FDB;*.EXE");
    list2.setItemIndex(1);
    b.excludeListClicked();
    list2.setItemIndex(0);
    b.excludeListClicked();
    EXPECT_EQ(excluir.text(), "");
}

// ---- T07 ----------------------------------------------------------------------------

TEST_F(Pages, BackupMontaAddsTheSetLinesOnlyWhileTheBoxIsShort) {
    BackupBuilder b({arquivo, origem, destino, extensao, memo}, dialogs, fake.registry);
    arquivo.setText("D:\\DADOS\\BASE.FDB");
    origem.setText("C:\\VALDRINB\\EXE");
    destino.setText(folder("BKP\\DIA"));
    extensao.setText("_[DIA]");
    b.buildBackupLine();
    const std::string cmd = "\"C:\\VALDRINB\\EXE\\GBAK\" -G -B -V -T -Z  -user SYSDBA -password zanquiber   "
                            "\"D:\\DADOS\\BASE.FDB\"   \"" + folder("BKP\\DIA") + "\\BASE_[DIA].GDK\"";
    EXPECT_EQ(memo.lines(), (Lines{"REM set isc_user=SYSDBA ", "REM set isc_password=zanquiber ",
                                   "REM set firebird_msg=C:\\VALDRINB\\EXE ", cmd}));
    EXPECT_TRUE(dir.exists("BKP/DIA"));
    b.buildBackupLine();
    EXPECT_EQ(memo.lines().size(), 5u);
    EXPECT_EQ(memo.lines()[4], cmd);

    memo.setText("REM primeira");
    extensao.setText("");
    b.buildBackupLine();
    ASSERT_EQ(memo.lines().size(), 5u);
    EXPECT_EQ(memo.lines()[0], "REM primeira");
    EXPECT_NE(memo.lines()[4].find("\\BASE[EXT].GDK"), std::string::npos);
}

TEST_F(Pages, BackupPickersAndTheRegistryValue) {
    BackupBuilder b({arquivo, origem, destino, extensao, memo}, dialogs, fake.registry);
    fake.registry.gbDir5 = "192.168.0.10/3050:C:\\DADOS\\BASE.FDB";
    b.pickDatabaseFile();
    EXPECT_EQ(arquivo.text(), "192.168.0.10/3050:C:\\DADOS\\BASE.FDB");
    fake.registry.gbDir5 = "";
    b.pickDatabaseFile();
    EXPECT_EQ(arquivo.text(), "");

    origem.setText(" " + folder() + " ");
    destino.setText(folder("NADA"));
    dialogs.folders = {std::nullopt, std::nullopt, "G:\\"};
    b.pickBackupToolFolder();
    b.pickBackupDestination();
    EXPECT_EQ(origem.text(), folder());
    EXPECT_EQ(destino.text(), "");
    b.pickBackupDestination();
    EXPECT_EQ(destino.text(), "G:\\");
    for (const auto& call : dialogs.calls) EXPECT_EQ(call.titleOrFilter, "Selecionar Diretório de Destino");
}

}  // namespace
}  // namespace tarvex::app
