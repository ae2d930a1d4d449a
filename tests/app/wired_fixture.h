#pragma once
// The main window as the product builds it (its own log, executor and settings)
// over recording operating-system services, a scripted operator and the virtual clock.
#include <string>
#include <vector>

#include "tasks/columns.h"
#include "testkit/services.h"
#include "testkit/tempdir.h"
#include "testkit/wired_form.h"

namespace tarvex::testing {

using testkit::at;
using testkit::Row;

class WiredTest : public testkit::WiredFormTest {
protected:
    explicit WiredTest(LocalTime start = at(2026, 12, 9, 7, 0, 0)) : WiredFormTest(start) {}

    std::string folder() const override { return dir.folder(); }
    void start() { startOn(fake.services, exePath); }

    // Code and text of every entry: "INI Start TARVEX".
    std::vector<std::string> logEvents() const {
        std::vector<std::string> out;
        for (const std::string& line : logLines()) {
            const std::vector<std::string> f = fields(line);
            out.push_back(f.size() > 3 ? f[2] + " " + f[3] : line);
        }
        return out;
    }

    testkit::TempDir dir;
    testkit::FakeServices fake;
    std::string exePath = "C:\\TARVEX\\tarvex.exe";
};

}  // namespace tarvex::testing
