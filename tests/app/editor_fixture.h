#pragma once
// The task editor on a task table of its own: the task file's writes are counted,
// dialogs, questions and messages are scripted.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/editor.h"
#include "platform/files.h"
#include "tasks/columns.h"
#include "tasks/task_store.h"
#include "testkit/dialogs.h"
#include "testkit/operator.h"
#include "testkit/services.h"
#include "testkit/tempdir.h"

namespace tarvex::testing {

using Cells = std::map<int, std::string>;
using Lines = std::vector<std::string>;

class EditorTest : public ::testing::Test {
public:
    EditorTest() {
        GRID.setColCount(col::COUNT);
        GRID.setRowCount(8);
        tasks::numberRows(GRID);
    }

    // Fills a row's cells (others stay as they are).
    void task(int row, const Cells& cells) {
        for (const auto& [c, text] : cells) GRID.setCell(c, row, text);
    }
    // The operator's click on a cell of the list.
    void select(int row) {
        bool canSelect = true;
        view.onSelectCell(1, row, canSelect);
    }
    std::vector<std::string> row(int r) const { return GRID.rowCells(r); }
    // A folder of the test as the system writes folders: with backslashes.
    std::string folder(const std::string& sub = "") const {
        const std::string f = platform::fromFsPath(dir.path());
        return sub.empty() ? f : f + "\\" + sub;
    }
    Lines told() const { return op.messages(); }

    testkit::TempDir dir;
    testkit::ScriptedOperator op;
    testkit::ScriptedDialogs dialogs;
    testkit::FakeServices fake;
    tasks::TaskTable GRID;
    ui::Grid view{"GRID"};
    ui::Edit E_ULTEXEC{"E_ULTEXEC"};
    int editorRow = 0;
    int saves = 0;
    app::TaskEditor editor{{GRID, view, E_ULTEXEC, [this] { return editorRow; }, [this](int r) { editorRow = r; },
                               [this] { ++saves; }, nullptr, nullptr},
                              {op, dialogs, fake.registry, fake.windows}};
    app::EditorPages& p = editor.pages;
};

}  // namespace tarvex::testing
