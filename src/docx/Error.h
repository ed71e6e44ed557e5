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

// A failure of the document engine: a number and a description that names the file and the reason.
class Error : public std::runtime_error {
  public:
    Error(long number, const std::string& description)
        : std::runtime_error(description), number_(number) {}
    long Number() const noexcept { return number_; }

  private:
    long number_;
};

}  // namespace docx
