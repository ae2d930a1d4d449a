#pragma once
// Reading a freshly written archive back before it replaces the old one.
#include <string>
#include <vector>

#include "exec/zip_aes.h"
#include "exec/zip_pack.h"

namespace tarvex::exec::pack {

// Every entry read back whole against the files it came from: its name, its
// size and its CRC. With a password, every entry must be AES encrypted and read
// back with it (a wrong password or damaged data fails its authentication).
// Empty when all is well, else what is wrong.
std::string verifyArchive(const std::string& libzipPath, const std::vector<Entry>& files, int threads,
                          const ArchivePassword* password = nullptr);

}  // namespace tarvex::exec::pack
