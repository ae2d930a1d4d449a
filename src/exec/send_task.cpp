#include "exec/send_task.h"

#include <algorithm>
#include <map>

#include "exec/zip_task.h"
#include "lib/routines.h"
#include "platform/files.h"
#include "platform/files_long.h"

namespace tarvex::exec {

namespace {

using platform::RemoteFile;
using platform::SendFault;
using platform::SendResult;

// A listing that gives minutes only (most FTP servers) shows a file sent a few
// seconds after it was made as made a little before.
constexpr std::int64_t kListingSlack = 60;

std::vector<std::string> masksOf(const std::string& text) {
    std::vector<std::string> masks;
    for (const std::string& part : textLines(replaceText(text, ";", "\n"))) {
        std::string mask = trim(part);
        for (const char* dated : {"[DIA]", "[MES]", "[ANO]", "[SEMANA]", "[EXT]"}) mask = replaceText(mask, dated, "*");
        if (!mask.empty()) masks.push_back(mask);
    }
    if (masks.empty()) masks.push_back("*.ZIP");
    return masks;
}

bool fits(const std::vector<std::string>& masks, const std::string& name) {
    return std::any_of(masks.begin(), masks.end(), [&](const std::string& m) { return maskMatches(m, name); });
}

// "*.*" fits whatever else lives in the server's folder: such a task deletes nothing there.
bool namesSomething(const std::vector<std::string>& masks) {
    return std::all_of(masks.begin(), masks.end(),
                       [](const std::string& m) { return m.find_first_not_of("*?.") != std::string::npos; });
}

std::string serverFailure(const platform::ServerPlace& place, const SendResult& r) {
    return "Servidor " + place.host + ": " + platform::sendFaultText(r);
}

struct Listing {
    std::vector<SendFile> local;
    std::vector<RemoteFile> remote;
};

SendPlan planFrom(const SendJob& job, const Listing& found) {
    SendPlan plan;
    const std::vector<std::string> masks = masksOf(job.masks);
    std::vector<SendFile> local = found.local;
    if (local.empty()) {
        plan.failure = "Nenhum arquivo " + trim(job.masks) + " em " + job.folder;
        return plan;
    }
    std::sort(local.begin(), local.end(), [](const SendFile& a, const SendFile& b) {
        return a.modified != b.modified ? a.modified < b.modified : a.name < b.name;
    });
    // What would be deleted on the server at once is not worth sending.
    if (job.keep > 0 && local.size() > static_cast<size_t>(job.keep))
        local.erase(local.begin(), local.end() - job.keep);
    std::map<std::string, const RemoteFile*> there;
    for (const RemoteFile& r : found.remote) there[r.name] = &r;
    for (const SendFile& f : local) {
        auto it = there.find(f.name);
        const bool same = it != there.end() && it->second->size == f.size && it->second->modified != 0 &&
                          it->second->modified + kListingSlack >= f.modified;
        if (same) plan.already.push_back(f.name);
        else plan.send.push_back(f);
    }
    plan.keepApplies = job.keep > 0 && namesSomething(masks);
    if (!plan.keepApplies) return plan;
    // The archives still here are the newest (made here, then sent); the server's
    // own times (when each was sent) only order those no longer here.
    std::vector<const RemoteFile*> older;
    for (const RemoteFile& r : found.remote) {
        const bool here = std::any_of(local.begin(), local.end(), [&](const SendFile& f) { return f.name == r.name; });
        if (!here && fits(masks, r.name)) older.push_back(&r);
    }
    std::sort(older.begin(), older.end(), [](const RemoteFile* a, const RemoteFile* b) {
        return a->modified != b->modified ? a->modified > b->modified : a->name > b->name;
    });
    const size_t room = static_cast<size_t>(job.keep) - local.size();
    for (size_t i = room; i < older.size(); ++i) plan.remove.push_back(older[i]->name);
    return plan;
}

// The local files the masks take; empty with `failure` set when the folder cannot be read.
std::vector<SendFile> localFiles(const SendJob& job, std::string& failure) {
    std::vector<platform::FolderEntry> entries;
    std::vector<SendFile> files;
    if (const platform::IoResult fault = platform::listFolder(platform::fsPath(job.folder), entries)) {
        failure = "A pasta " + job.folder + " não pôde ser lida: " + fault->text;
        return files;
    }
    const std::vector<std::string> masks = masksOf(job.masks);
    for (const platform::FolderEntry& e : entries)
        if (!e.folder && fits(masks, e.name)) files.push_back({e.name, e.size, e.modified});
    return files;
}

// Both folders listed; `failure` set (and `result` the server's answer) when one could not be.
Listing listBoth(const SendJob& job, std::string& failure, SendResult& result, const std::atomic<bool>& stop) {
    Listing found;
    found.local = localFiles(job, failure);
    if (!failure.empty()) return found;
    result = platform::uploader().list(job.place, found.remote, stop);
    if (!result.ok()) failure = serverFailure(job.place, result);
    return found;
}

SendOutcome failed(SendOutcome out, SendFault fault, std::string failure, std::string detail = "") {
    out.fault = fault;
    out.failure = std::move(failure);
    out.detail = std::move(detail);
    return out;
}

// Every file sent is on the server with its size: the uploader's word is not taken.
SendOutcome proven(const SendJob& job, const SendPlan& plan, SendOutcome out, const std::atomic<bool>& stop) {
    if (plan.send.empty()) return out;
    std::vector<RemoteFile> after;
    const SendResult listed = platform::uploader().list(job.place, after, stop);
    if (!listed.ok()) return failed(out, listed.fault, serverFailure(job.place, listed), listed.detail);
    for (const SendFile& f : plan.send) {
        auto it = std::find_if(after.begin(), after.end(), [&](const RemoteFile& r) { return r.name == f.name; });
        if (it == after.end())
            return failed(out, SendFault::Mismatch, f.name + ": não está no servidor depois do envio");
        if (it->size != f.size)
            return failed(out, SendFault::Mismatch,
                          f.name + ": no servidor com " + withThousands(it->size) + " bytes, enviado com " +
                              withThousands(f.size));
    }
    return out;
}

}  // namespace

SendPlan planSend(const SendJob& job, const std::atomic<bool>& stop) {
    std::string failure;
    SendResult listed;
    const Listing found = listBoth(job, failure, listed, stop);
    if (!failure.empty()) {
        SendPlan plan;
        plan.failure = failure;
        return plan;
    }
    return planFrom(job, found);
}

SendOutcome runSend(const SendJob& job, const SendNoteFn& note, const std::atomic<bool>& stop) {
    SendOutcome out;
    std::string failure;
    SendResult listed;
    const Listing found = listBoth(job, failure, listed, stop);
    if (!failure.empty()) return failed(out, listed.ok() ? SendFault::Other : listed.fault, failure, listed.detail);
    const SendPlan plan = planFrom(job, found);
    if (!plan.failure.empty()) return failed(out, SendFault::Other, plan.failure);
    out.already = plan.already.size();
    for (size_t i = 0; i < plan.send.size(); ++i) {
        const SendFile& f = plan.send[i];
        SendNote progress{i + 1, plan.send.size(), f.name, 0, f.size};
        if (note) note(progress);
        const SendResult r = platform::uploader().upload(
            job.place, platform::inFolder(job.folder, f.name), f.name,
            [&](std::uint64_t sent, std::uint64_t total) {
                progress.sent = sent;
                progress.total = total;
                if (note) note(progress);
            },
            stop);
        if (!r.ok()) return failed(out, r.fault, f.name + ": " + platform::sendFaultText(r), r.detail);
        ++out.sent;
        out.bytes += f.size;
    }
    out = proven(job, plan, out, stop);
    if (!out.failure.empty()) return out;
    for (const std::string& name : plan.remove) {
        const SendResult r = platform::uploader().remove(job.place, name, stop);
        if (!r.ok())
            return failed(out, r.fault, "Os arquivos foram enviados, mas " + name + " não pôde ser apagado no servidor: " +
                                            platform::sendFaultText(r), r.detail);
        out.removed.push_back(name);
    }
    return out;
}

std::string sendSummary(const SendOutcome& outcome) {
    const std::uint64_t tenths = (outcome.bytes * 10 + 524288) / 1048576;
    std::string text = outcome.sent == 1 ? "1 arquivo enviado" : withThousands(outcome.sent) + " arquivos enviados";
    text += ", " + withThousands(tenths / 10) + "," + std::to_string(tenths % 10) + " MB";
    if (outcome.already) text += " (" + withThousands(outcome.already) + " já no servidor)";
    return text;
}

}  // namespace tarvex::exec
