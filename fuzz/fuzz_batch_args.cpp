// Hostile field values through the batch builders, the placeholders and a type-03
// program line: each is refused, or reaches cmd as exactly one argument holding
// the value itself.
#include <optional>
#include <vector>

#include "exec/placeholders.h"
#include "exec/batch_text.h"
#include "exec/builder_lines.h"
#include "exec/program_line.h"
#include "fuzz_check.h"

using namespace tarvex;
using fuzz::check;

namespace {

// cmd's reading of one batch line, as far as a value can change it: "%%" is one
// "%" and any other "%" a variable; outside quotes & | < > ( ) ^ are syntax and
// blanks end an argument. nullopt when the line is not plain arguments.
std::optional<std::vector<std::string>> argumentsOf(const std::string& line) {
    std::vector<std::string> args;
    std::string arg;
    bool quoted = false, any = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        const bool syntax = !quoted && std::string("&|<>()^").find(c) != std::string::npos;
        if (syntax || c == '\r' || c == '\n' || c == '\0' || (c == '%' && line.substr(i, 2) != "%%"))
            return std::nullopt;
        if (!quoted && (c == ' ' || c == '\t')) {
            if (any) args.push_back(arg);
            arg.clear(), any = false;
            continue;
        }
        if (c == '"') quoted = !quoted;
        else arg += c;
        any = true;
        i += c == '%';
    }
    if (quoted) return std::nullopt;
    if (any) args.push_back(arg);
    return args;
}

template <class Build>
std::optional<std::vector<std::string>> built(Build build) {
    try {
        const auto args = argumentsOf(build());
        check(args.has_value());
        return args;
    } catch (const exec::BatchRefused&) {
        return std::nullopt;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> f(1);
    for (size_t i = 0; i < size; ++i) data[i] ? f.back() += static_cast<char>(data[i]) : f.emplace_back();
    f.resize(4);
    const std::string &origem = f[0], &destino = f[1], &pasta = f[2], &ext = f[3];

    if (auto args = built([&] { return exec::withoutArrows(exec::xcopyLine(origem, destino)); })) {
        // The destination always ends in "\", so XCOPY never asks whether it is a folder.
        std::string folder = exec::collapseBackslashes(exec::unquoted(destino));
        if (folder.empty() || folder.back() != '\\') folder += '\\';
        check(args->size() == 10 && (*args)[0] == "XCOPY" && args->back() == "/I");
        check((*args)[1] == exec::unquoted(origem));
        check((*args)[2] == folder);
    }
    if (auto args = built([&] { return exec::gbakLine(pasta, origem, destino, ext); })) {
        check(args->size() == 12);
        check((*args)[0] == pasta + "\\GBAK" && (*args)[10] == origem);
    }
    RunContext ctx;
    ctx.DATA_HOJE = "'06.12.2026'";
    ctx.EXTENSAO_TAREFA = ext;
    ctx.PEN_TAREFA = destino.substr(0, 1);
    if (auto args = built([&] { return exec::expandBatchPlaceholders(ctx, "XCOPY \"C:\\A_[EXT]_\" [PEN]_[EXT]_ /E"); })) {
        check(args->size() == 4);
        check((*args)[1] == "C:\\A" + exec::expandPlaceholders(ctx, "_[EXT]_"));
        check((*args)[2] == exec::expandPlaceholders(ctx, "[PEN]_[EXT]_"));
    }
    // A batch file started by type 03 with the suffix, bare and quoted: its
    // parameters are plain arguments holding the suffix, within cmd's length.
    try {
        const exec::ProgramLine line = exec::programLine(ctx, "\"C:\\p\\args.bat\" [EXT] \"[EXT]\"");
        check(line.program == "C:\\p\\args.bat");
        check(line.program.size() + line.params.size() + 3 <= exec::kLongestCommandLine);
        const auto args = argumentsOf(line.params);
        check(args.has_value());
        const std::string value = exec::expandPlaceholders(ctx, "[EXT]");
        check(args->size() == (value.empty() ? 1u : 2u) && args->back() == value);
        check(value.empty() || args->front() == value);
    } catch (const exec::BatchRefused&) {
    }
    return 0;
}
