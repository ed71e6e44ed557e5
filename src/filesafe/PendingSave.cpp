#include "filesafe/PendingSave.h"
#include "filesafe/Paths.h"

#include <unistd.h>

#include "filesafe/Error.h"

namespace filesafe {

PendingSave::PendingSave(const std::string& target, const std::string& fileName, FileLayer& layer)
    : target_(target),
      fileName_(fileName),
      layer_(layer),
      lockFile_(DirOf(target), FileNameOf(target), fileName, layer),
      out_(target, fileName, layer) {}

PendingSave::~PendingSave() {
    Finish(false);
    out_.Rollback();
    if (ownsOld_)
        ::close(oldFd_);
}

void PendingSave::WatchOpened(int oldFd, const struct stat& openStat, SaveHook* hook) {
    watched_ = true;
    oldFd_ = oldFd;
    openStat_ = openStat;
    hook_ = hook;
    out_.CheckBeforeReplace([this] { CheckUnchanged(); });
}

void PendingSave::HoldOpened(DocumentLock lock) noexcept {
    ownsOld_ = oldFd_ >= 0;
    lock_ = std::move(lock);
}

void PendingSave::CheckUnchanged() const {
    if (!watched_)
        return;
    struct stat now {};
    if (::stat(target_.c_str(), &now) != 0 || !filesafe::SameContent(now, openStat_))
        throw Error(Reason::kChangedOnDisk, runtime::kFileAccess,
                    "Cannot save \"" + fileName_ +
                        "\": the file was changed or replaced on disk by another program while "
                        "it was being saved. It was left as it is; open it again to make the "
                        "change.");
}

void PendingSave::CheckAndTell(bool durableLater) {
    CheckUnchanged();
    if (!watched_ || !hook_)
        return;
    SaveHook::Replacing replacing{target_, fileName_, oldFd_, openStat_, out_.Fd()};
    replacing.durableLater = durableLater;
    hook_->BeforeReplace(replacing);
    told_ = true;
}

void PendingSave::ReplaceNow() {
    out_.Flush();
    CheckAndTell(false);
    out_.Replace();
    Finish(true);
}

void PendingSave::Finish(bool replaced) noexcept {
    if (!told_)
        return;
    told_ = false;
    hook_->AfterReplace(replaced);
}

}  // namespace filesafe
