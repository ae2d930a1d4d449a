#pragma once
// A folder's task file read and written as the program does, without a window.
#include <string>

#include "tasks/task_store.h"
#include "tasks/task_table.h"

namespace tarvex::testkit {

class TaskFile {
public:
    explicit TaskFile(const std::string& folder) : store_(table_, folder) {}
    tasks::TaskTable& table() { return table_; }
    tasks::TaskStore& taskStore() { return store_; }

private:
    tasks::TaskTable table_;
    tasks::TaskStore store_;
};

}  // namespace tarvex::testkit
