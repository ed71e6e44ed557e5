#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>

namespace filesafe {

// An exclusive advisory lock (flock) on a document file, held while the document is processed,
// so that two runs never change the same document at once. The packages of one process that
// have the same file open share one lock. Released at destruction.
class DocumentLock {
  public:
    enum class Taken { kYes, kBusy, kReplaced, kUnlockable };

    DocumentLock() = default;
    ~DocumentLock() { Release(); }
    DocumentLock(DocumentLock&& other) noexcept;
    DocumentLock& operator=(DocumentLock&& other) noexcept;
    DocumentLock(const DocumentLock&) = delete;
    DocumentLock& operator=(const DocumentLock&) = delete;

    // Locks the file open as fd, which path names, waiting up to wait while another process
    // holds it. kReplaced when path names another file once the lock is taken (the holder saved
    // a new file meanwhile: open path again and lock that). kUnlockable when the file system
    // cannot lock it: the document is then processed without a lock.
    Taken Take(int fd, const std::string& path, std::chrono::milliseconds wait);
    // Holds the lock of fd's file, which this process has already locked through fd (the new
    // file of a save); takes ownership of fd. The previous lock is released afterwards.
    void Adopt(int fd);
    void Release() noexcept;

  private:
    dev_t dev_ = 0;
    ino_t ino_ = 0;
    bool held_ = false;
};

}  // namespace filesafe
