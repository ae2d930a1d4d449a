#pragma once
// A scratch folder tree and an archive reader for the ZIP tests.
#include <zip.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "platform/files.h"
#include "testkit/tempdir.h"

namespace tarvex::exec::ziptest {

namespace fs = std::filesystem;

struct Entry {
    std::string data;
    int method = -1;
};

// Entry name -> data and compression method; fails the test when unreadable.
inline std::map<std::string, Entry> readArchive(const fs::path& file) {
    std::map<std::string, Entry> out;
    int code = 0;
    std::u8string name = file.generic_u8string();   // libzip takes UTF-8 names everywhere
    zip_t* za = zip_open(std::string(name.begin(), name.end()).c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!za) {
        ADD_FAILURE() << "cannot open " << file << " code " << code;
        return out;
    }
    for (zip_int64_t i = 0; i < zip_get_num_entries(za, 0); ++i) {
        zip_stat_t st;
        zip_stat_index(za, i, 0, &st);
        Entry e;
        e.method = st.comp_method;
        e.data.resize(st.size);
        zip_file_t* f = zip_fopen_index(za, i, 0);
        EXPECT_NE(f, nullptr);
        if (f) {
            EXPECT_EQ(zip_fread(f, e.data.data(), st.size), static_cast<zip_int64_t>(st.size));
            zip_fclose(f);
        }
        out[st.name] = e;
    }
    zip_discard(za);
    return out;
}

class ScratchDir : public ::testing::Test {
protected:
    void SetUp() override { root_ = tmp_.path(); }
    // `rel` is a Windows-1252 text, as the system's paths are.
    fs::path put(const std::string& rel, const std::string& data) {
        fs::path p = root_ / platform::fsPath(rel);
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << data;
        return p;
    }
    static std::string slurp(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static std::string noise(size_t n) {
        std::mt19937 gen(42);
        std::string s(n, '\0');
        for (char& c : s) c = static_cast<char>(gen());
        return s;
    }
    static std::string str(const fs::path& p) { return platform::fromFsPath(p); }
    testkit::TempDir tmp_;
    fs::path root_;
};

}  // namespace tarvex::exec::ziptest
