#pragma once

#include <stdexcept>
#include <string>

#include "runtime/ErrorNumbers.h"

namespace filesafe {

// Why a save, or the document engine behind it, failed, for callers and tests to compare; the
// number is what the object model reports and several reasons share one.
enum class Reason {
    kOther,  // raised outside the engine through the number-only constructor
    // Reaching the file.
    kFolderMissing,
    kFileMissing,
    kAccessDenied,
    kUnreadable,      // an I/O failure while opening or reading
    kNotRegularFile,  // a folder, FIFO or device named like a document
    kBusy,            // another Lineforge run still holds the document
    kLockedByOtherEditor,
    kChangedOnDisk,  // replaced or rewritten by another program since it was opened
    // What the file holds.
    kNotZip,
    kDamagedDirectory,  // truncated, inconsistent or duplicate zip directory, multi-volume
    kUnsafeEntryName,
    kChecksum,
    kDamagedData,  // an entry that cannot be inflated or is not the size it declares
    kUnsupportedCompression,
    kEncrypted,      // a password-protected OLE package or an encrypted zip entry
    kForeignFormat,  // .doc, another OLE file, another zip package, another main part
    kMissingPart,    // a part, or the main document's body, that must be there
    kNotWellFormed,
    // Refused on purpose.
    kSigned,
    kBomb,  // inflates far beyond any real document, or has too many entries
    kDtd,   // a DOCTYPE, or a reference to an entity that would need one
    kNestedTooDeep,
    // Saving.
    kReadOnly,
    kHardLinks,
    kFolderNotWritable,
    kDiskFull,
    kWriteFailed,
    kMetadataNotKept,  // owner, mode, ACL or extended attributes that cannot be carried over
    kNotKept,          // the original could not be kept before it was replaced (a save hook)
    // Members of the object model.
    kInvalidText,  // text XML cannot hold, not UTF-8, an empty Find What, a bad font name
    kInvalidSpecialCode,
    kNotANumber,
    kOutOfRange,
    kNotProtected,
    kWrongPassword,
    kNotLoaded,  // a part marked changed before it was parsed
};

// A failure of a save or of the document engine: a reason, a number and a description that
// names the file and the reason.
class Error : public std::runtime_error {
  public:
    Error(Reason reason, long number, const std::string& description)
        : std::runtime_error(description), reason_(reason), number_(number) {}
    Error(long number, const std::string& description)
        : Error(Reason::kOther, number, description) {}
    Reason Why() const noexcept { return reason_; }
    long Number() const noexcept { return number_; }

  private:
    Reason reason_;
    long number_;
};

}  // namespace filesafe
