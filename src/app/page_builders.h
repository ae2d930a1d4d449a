#pragma once
// The task pages' pickers and command builders: they fill a page's boxes from the
// folder browser, the file dialog, the window list and the registry, and write the
// command lines that the executor later runs. They touch only their own page.
#include <string>

#include "exec/builder_lines.h"
#include "platform/dialogs.h"
#include "platform/operator.h"
#include "platform/services.h"
#include "ui/controls.h"

namespace tarvex::app {

// Shows a message in the application's box, through the given operator.
void tell(platform::Operator& op, const std::string& text);

// ---- page T00: XCOPY ----------------------------------------------------------------
class XcopyBuilder {
public:
    struct Fields {
        ui::Edit& E00_ORIGEM;
        ui::Edit& E00_DESTINO;
        ui::Memo& E00_MEMO;
        const ui::Edit& E02_ORIGEM;   // where the file dialog starts
    };
    XcopyBuilder(Fields f, platform::Dialogs& dialogs, platform::Operator& op) : f_(f), dialogs_(dialogs), op_(op) {}
    void pickXcopySource();
    void pickXcopyFile();
    void penDestinationClicked();
    void pickXcopyDestination();
    void buildXcopyLines();

private:
    Fields f_;
    platform::Dialogs& dialogs_;
    platform::Operator& op_;
};

// ---- page T01: folder copies ------------------------------------------------------------
class FolderCopyBuilder {
public:
    struct Fields {
        ui::Edit& E01_ORIGEM;
        ui::Edit& E01_DESTINO;
        ui::Memo& E01_MEMO;
    };
    FolderCopyBuilder(Fields f, platform::Dialogs& dialogs, platform::Operator& op)
        : f_(f), dialogs_(dialogs), op_(op) {}
    void pickFolderCopySource();
    void pickFolderCopyDestination();
    void buildFolderCopyLines();

private:
    Fields f_;
    platform::Dialogs& dialogs_;
    platform::Operator& op_;
};

// ---- page T02: file copies ---------------------------------------------------------------
class FileCopyPicker {
public:
    struct Fields {
        ui::Edit& E02_ORIGEM;
        ui::Edit& E02_ARQUIVO;
        ui::Edit& E02_DESTINO;
    };
    FileCopyPicker(Fields f, platform::Dialogs& dialogs) : f_(f), dialogs_(dialogs) {}
    void pickFileCopySource();
    void pickFileCopyDestination();

private:
    Fields f_;
    platform::Dialogs& dialogs_;
};

// ---- page T03: program to start --------------------------------------------------------
void pickProgram(ui::Edit& E03_EXECUTAVEL, platform::Dialogs& dialogs);

// ---- page T04: program to close ---------------------------------------------------------
void listProcessesClicked(ui::ListBox& E04_LIST, platform::Windows& windows);
void processListClicked(const ui::ListBox& E04_LIST, ui::Edit& T04_EXECUTAVEL);

// ---- page T06: ZIP archive ------------------------------------------------------------------
class ZipPicker {
public:
    struct Fields {
        ui::Edit& E06_ORIGEM;
        ui::Edit& E06_ARQUIVO;
        ui::Edit& E06_EXCLUIR;
        ui::Edit& E06_DESTINO;
        ui::Edit& E06_ARQDEST;
        const ui::ListBox& E06_ARQUIVO1;
        const ui::ListBox& E06_EXCLUIR1;
    };
    ZipPicker(Fields f, platform::Dialogs& dialogs) : f_(f), dialogs_(dialogs) {}
    void pickZipSource();
    void pickZipDestination();
    void pickZipSourceFile();
    void pickZipArchiveName();
    void maskListSelected();
    void excludeListClicked();

private:
    Fields f_;
    platform::Dialogs& dialogs_;
};

// ---- page T07: database backup ----------------------------------------------------------------
class BackupBuilder {
public:
    struct Fields {
        ui::Edit& E07_ARQUIVO;
        ui::Edit& E07_PASTAEXE;
        ui::Edit& E07_DESTINO;
        const ui::Edit& E07_EXTENSAO;
        ui::Memo& E07_MEMO;
    };
    BackupBuilder(Fields f, platform::Dialogs& dialogs, platform::Registry& registry)
        : f_(f), dialogs_(dialogs), registry_(registry) {}
    void pickDatabaseFile();
    void pickBackupToolFolder();
    void pickBackupDestination();
    void buildBackupLine();

private:
    // The browser's folder whatever the answer: on Cancel the initial folder if it exists.
    std::string browse(const std::string& initial);
    Fields f_;
    platform::Dialogs& dialogs_;
    platform::Registry& registry_;
};

}  // namespace tarvex::app
