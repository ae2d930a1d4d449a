// Type "08": the run of a sending task, its worker thread and its progress.
#include <atomic>
#include <mutex>
#include <optional>
#include <thread>

#include "exec/executor.h"
#include "exec/send_address.h"
#include "exec/send_task.h"
#include "lib/routines.h"
#include "platform/operator.h"

namespace tarvex::exec {

namespace {

std::string sendProgressText(const std::string& name, const SendNote& n) {
    const std::uint64_t percent = n.total ? n.sent * 100 / n.total : 0;
    return "Enviando " + trim(name) + ": arquivo " + std::to_string(n.file) + " de " + std::to_string(n.files) + " (" +
           std::to_string(percent) + "%)";
}

}  // namespace

void Executor::sendFiles(int row) {
    if (!confirm(row)) return;
    SendJob job;
    if (const std::string wrong = readSendJob(GRID_, row, ctx_, state_.batchFolder, job); !wrong.empty())
        return fail(row, wrong);
    const SendOutcome out = sendPumping(job);
    if (!out.failure.empty()) {
        const std::string log = "***   ERRO   ***   " + ctx_.NOME_TAREFA + " - " + out.failure;
        return fail(row, out.detail.empty() ? out.failure : out.failure + " (" + out.detail + ")", log);
    }
    if (out.sent) runBytes_ = static_cast<std::int64_t>(out.bytes);   // nothing sent is no size to compare
    stamp(row);
    log_.addEntry(row, "EXE", ctx_.NOME_TAREFA + " >> " + sendSummary(out));
}

// The files go on a thread of their own while the window keeps answering;
// "Parar Timer" ticked meanwhile stops the sending.
SendOutcome Executor::sendPumping(const SendJob& job) {
    SendOutcome out;
    std::mutex m;
    std::optional<SendNote> latest;
    std::atomic<bool> done{false}, stop{false};
    {
        std::jthread worker([&] {
            try {
                out = runSend(job, [&](const SendNote& n) {
                    std::lock_guard lock(m);
                    latest = n;
                }, stop);
            } catch (const std::exception& e) {
                out.fault = platform::SendFault::Other;
                out.failure = e.what();
            }
            done = true;
        });
        platform::op().waitUntil([&] { return done.load(); }, [&] {
            if (state_.stopped) stop = true;
            std::optional<SendNote> n;
            {
                std::lock_guard lock(m);
                n.swap(latest);
            }
            if (!n) return;
            const std::string text = sendProgressText(ctx_.NOME_TAREFA, *n);
            state_.status = text;
            state_.trayHint = text;
            state_.changed();
            host_.runProgress(text);
        });
    }
    return out;
}

}  // namespace tarvex::exec
