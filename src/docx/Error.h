#pragma once

#include <stdexcept>
#include <string>

namespace docx {

// Error numbers of the document engine. File-system failures keep the numbers that callers and
// users already know from the runtime (53, 61, 70, 75, 76); document failures use Word's own.
enum ErrorNumber : long {
    kInvalidArgument = 5,       // a value the member cannot take (text XML cannot hold, empty name)
    kTypeMismatch = 13,         // a font size that is not a number
    kFileNotFound = 53,         // the document does not exist
    kDiskFull = 61,             // no space left (or a file-size limit) while saving
    kPermissionDenied = 70,     // read-only file, unwritable folder, file held by another editor
    kFileAccess = 75,           // other I/O failures, file changed on disk since it was opened
    kPathNotFound = 76,         // the folder of the document does not exist
    kNotProtected = 4605,       // Unprotect on a document that is not protected
    kValueOutOfRange = 4608,    // a font size outside 1..1638 pt
    kPasswordIncorrect = 5485,  // Unprotect without the password that the protection needs
    kCannotOpenFormat = 5121,   // not a Word package: OLE file (encrypted or .doc), other main part
    kRefused = 5122,            // a Word package refused on purpose: signed, zip bomb, DTD/entities
    kCorrupted = 5792,     // damaged package: not a zip, truncated, bad CRC, bad names, bad XML
    kNoSuchMember = 5941,  // a collection index out of range
    kNotAvailable = 4248,  // a member called when no document is open
};

// Why the document engine failed, for callers and tests to compare; the number is what the
// object model reports and several reasons share one.
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

// A failure of the document engine: a reason, a number and a description that names the file
// and the reason.
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

}  // namespace docx
