#pragma once
// Where a sending task's files go, as the operator writes it: a URL naming the
// protocol, the server, its port and the folder there.
#include <string>

#include "lib/run_context.h"
#include "platform/uploader.h"
#include "tasks/task_table.h"

namespace tarvex::exec {

// Beside the program: the SSH servers' keys, pinned at their first connection.
inline constexpr const char* kServerKeysFile = "TARVEX_SFTP_CHAVES.TXT";

// Reads "ftp://host[:port]/folder" (plain FTP), "ftpes://" (FTP with explicit
// TLS), "ftps://" (implicit TLS, port 990) or "sftp://" (port 22) into `place`'s
// protocol, host, port and folder ("a/b", without the slashes around it; empty:
// the login folder). Returns why it cannot be used, in the operator's words;
// empty when it can.
std::string readServerAddress(const std::string& address, platform::ServerPlace& place);

struct SendJob;

// A sending task's row as a job, its placeholders filled from `ctx` and its
// password unprotected; `programFolder` (no trailing separator) keeps the
// servers' keys. Returns why it cannot run, in the operator's words; empty when it can.
std::string readSendJob(const tasks::TaskTable& table, int row, const RunContext& ctx,
                        const std::string& programFolder, SendJob& job);

}  // namespace tarvex::exec
