// TARVEX's ZIP writer alone, for the side-by-side runs: SOURCE ARCHIVE [THREADS [PASSWORD]].
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "exec/zip_task.h"
#include "platform/files.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s SOURCE ARCHIVE [THREADS [PASSWORD]]\n", argv[0]);
        return 2;
    }
    tarvex::exec::ZipJob job{argv[1], argv[2], "", ""};
    if (argc > 3) job.threads = std::atoi(argv[3]);
    if (argc > 4) job.password = argv[4];
    try {
        tarvex::exec::writeZip(job);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
