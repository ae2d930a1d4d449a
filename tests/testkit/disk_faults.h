#pragma once
// A disk with the faults a test asks for: files held locked, a full disk, an
// archive damaged before it is read back. One serves the whole test program,
// installed on first use; with nothing set it behaves as a sound disk.
#include <cstddef>
#include <functional>
#include <string>
#include <utility>

#include "platform/files.h"

namespace tarvex::testkit {

class FaultyDisk : public platform::DiskFaults {
public:
    using OpenHook = std::function<bool(const std::string& path)>;
    using WrittenHook = std::function<void(const std::string& path)>;

    ~FaultyDisk() override {
        if (&platform::diskFaults() == this) platform::setDiskFaults(nullptr);
    }

    // Asked before every open; false fails it as for a file held locked.
    void setOpenHook(OpenHook hook) { open_ = std::move(hook); }
    // Room for `bytes` in each write: a write beyond it puts down what fits and
    // fails. Negative: no limit.
    void setWriteRoom(long long bytes) { room_ = bytes; }
    // Given each archive just written, before it is read back.
    void setWrittenHook(WrittenHook hook) { written_ = std::move(hook); }

    bool opens(const std::string& path) override { return !open_ || open_(path); }
    std::size_t room(std::size_t bytes) override {
        return room_ < 0 || static_cast<unsigned long long>(room_) >= bytes ? bytes : static_cast<std::size_t>(room_);
    }
    void written(const std::string& path) override {
        if (written_) written_(path);
    }

private:
    OpenHook open_;
    long long room_ = -1;
    WrittenHook written_;
};

inline FaultyDisk& faultyDisk() {
    static FaultyDisk disk;
    static const bool installed = (platform::setDiskFaults(&disk), true);
    (void)installed;
    return disk;
}

// Each fault is cleared by an empty function or a negative room.
inline void setOpenHook(FaultyDisk::OpenHook hook) { faultyDisk().setOpenHook(std::move(hook)); }
inline void setWriteRoom(long long bytes) { faultyDisk().setWriteRoom(bytes); }
inline void setWrittenHook(FaultyDisk::WrittenHook hook) { faultyDisk().setWrittenHook(std::move(hook)); }

}  // namespace tarvex::testkit
