#pragma once
// Type "06": pack a folder tree into a ZIP archive.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tarvex::exec {

struct ZipJob {
    std::string sourceDir;     // files are searched below it; entry names are relative to it
    std::string archivePath;   // already expanded; an existing file is replaced
    std::string masks;         // ";"-separated, empty = "*.*"
    std::string excludes;      // ";"-separated, may be empty
    std::string ownPattern;    // the task's archive names, date placeholders for any day: never packed
    int threads = 0;           // compressing threads; 0: the machine's cores, at most 8
    std::size_t chunkSize = 0; // files above it are compressed in pieces of it; 0: 4 MiB
    std::string password;      // not empty: every entry AES-256 encrypted with it
};

// Why a ZIP task with a password did not run: its protected password cannot be
// read back by this Windows user (the operator must type it again in the task).
inline constexpr const char* kZipPasswordUnreadable =
    "a senha do arquivo não pôde ser lida neste computador: digite-a de novo na tarefa";

// How far a run has come, in files and in bytes of the files written.
struct ZipProgress {
    std::size_t files = 0, filesTotal = 0;
    std::uint64_t bytes = 0, bytesTotal = 0;
};
// Called on the thread that runs writeZip, after each entry.
using ZipProgressFn = std::function<void(const ZipProgress&)>;

// What the walk left out so that no archive packs the ones before it.
struct ZipLeftOut {
    std::size_t archives = 0;   // files the masks wanted that are archives of the task
    bool destination = false;   // the destination folder lies inside the source and was skipped
};

// Writes the archive under a temporary name beside it, reads every entry back
// (names, sizes, CRC) and replaces the old archive only once the new one is
// complete and verified, so a failed run leaves the previous archive as it was.
// The caller must not delete the old archive first. Throws tarvex::FileError
// with a readable text on any failure. Safe to run off the window's thread.
ZipLeftOut writeZip(const ZipJob& job, const ZipProgressFn& progress = {});

// What writeZip would pack, found by the same walk and nothing written: the
// files, their bytes and the first `names` entry names (Windows-1252, in the
// archive's order). Throws tarvex::FileError when the source cannot be read.
struct ZipPlan {
    std::size_t files = 0;
    std::uint64_t bytes = 0;
    std::vector<std::string> first;
    ZipLeftOut leftOut;
};
ZipPlan planZip(const ZipJob& job, std::size_t names);

// Windows file-name matching of one mask ('*' and '?'), ignoring case.
bool maskMatches(const std::string& mask, const std::string& fileName);

}  // namespace tarvex::exec
