// Saves one document again and again until it is killed: lf_save_loop PATH ROUND STATE_FILE
// [named]. Each save types "R<ROUND>-S<n>" as a new first line through the program's steps
// (open, protection, frames, font, typing, save, quit). STATE_FILE (at least 8 bytes) is
// mapped shared, so that whoever kills this process learns where the save was: byte 0 holds
// the step of the file layer in force, bytes 4..7 the number of completed saves. "named" gives
// the temporary file its name as soon as it is created, as on file systems without unnamed
// files, so that a kill leaves it behind. One byte "g" on stdout says the loop has started.

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "FuzzSupport.h"
#include "SaveLoopState.h"
#include "filesafe/FileLayer.h"

namespace {

reliability::SaveLoopState* state = nullptr;

void Mark(reliability::SavePhase p) {
    state->phase.store(static_cast<std::uint8_t>(p));
}

class PhaseLayer : public filesafe::FileLayer {
  public:
    explicit PhaseLayer(bool named) : named_(named) {}
    int CreateTemp(const std::string& dir, std::string* name) override {
        Mark(reliability::SavePhase::CreateTemp);
        int fd = FileLayer::CreateTemp(dir, name);
        if (fd >= 0 && named_ && name->empty() && FileLayer::Link(fd, dir, name) != 0) {
            ::close(fd);
            return -1;
        }
        return fd;
    }
    ssize_t Write(int fd, const void* data, size_t len) override {
        Mark(reliability::SavePhase::Write);
        return FileLayer::Write(fd, data, len);
    }
    int Sync(int fd) override {
        Mark(reliability::SavePhase::Sync);
        return FileLayer::Sync(fd);
    }
    int Link(int fd, const std::string& dir, std::string* name) override {
        Mark(reliability::SavePhase::Link);
        return FileLayer::Link(fd, dir, name);
    }
    int Rename(const std::string& from, const std::string& to) override {
        Mark(reliability::SavePhase::Rename);
        const int rc = FileLayer::Rename(from, to);
        Mark(reliability::SavePhase::AfterRename);
        return rc;
    }

  private:
    bool named_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s PATH ROUND STATE_FILE [named]\n", argv[0]);
        return 2;
    }
    const std::string path = argv[1];
    const std::string round = argv[2];
    const bool named = argc > 4 && std::strcmp(argv[4], "named") == 0;
    const int sfd = ::open(argv[3], O_RDWR);
    void* map = sfd < 0 ? MAP_FAILED
                        : ::mmap(nullptr, sizeof(reliability::SaveLoopState),
                                 PROT_READ | PROT_WRITE, MAP_SHARED, sfd, 0);
    if (map == MAP_FAILED) {
        std::perror("state file");
        return 2;
    }
    state = static_cast<reliability::SaveLoopState*>(map);
    PhaseLayer layer(named);
    Mark(reliability::SavePhase::Steps);
    if (::write(1, "g", 1) != 1)
        return 2;
    for (std::uint32_t n = 1;; ++n) {
        lf_fuzz::Insertion ins;
        ins.lines = "R" + round + "-S" + std::to_string(n);
        ins.fileLayer = &layer;
        Mark(reliability::SavePhase::Steps);
        const lf_fuzz::StepsOutcome out = lf_fuzz::InsertAtStart(path, ins);
        if (!out.saved) {
            for (const auto& e : out.errors)
                std::fprintf(stderr, "%s\n", e.c_str());
            return 1;
        }
        state->saves.store(n);
    }
}
