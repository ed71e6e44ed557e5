#pragma once

// Every error number the program raises, tests or shows, declared here once. File-system
// failures keep the runtime's numbers (53, 57, 61, 67, 70, 75, 76); document failures use
// Word's own.
namespace runtime {

enum ErrorNumber : long {
    kInvalidArgument = 5,  // a value the member cannot take (text XML cannot hold, empty name)
    kOverflow = 6,
    kSubscriptOutOfRange = 9,
    kTypeMismatch = 13,  // a value that is not a number (a font size)
    kFileNotFound = 53,  // the document does not exist
    kDeviceIOError = 57,
    kDiskFull = 61,  // no space left (or a file-size limit) while saving
    kTooManyFiles = 67,
    kPermissionDenied = 70,  // read-only file, unwritable folder, file held by another editor
    kFileAccess = 75,        // other I/O failures, file changed on disk since it was opened
    kPathNotFound = 76,      // the folder of the document does not exist
    kObjectNotSet = 91,
    kInvalidPropertyValue = 380,
    kCannotCreateObject = 429,
    kServerUnavailable = 462,   // the automation server (the office, a quit instance) is gone
    kNotAvailable = 4248,       // a member called when no document is open
    kNotProtected = 4605,       // Unprotect on a document that is not protected
    kValueOutOfRange = 4608,    // a font size outside 1..1638 pt
    kCannotOpenFormat = 5121,   // not a format this backend edits: OLE file, other main part
    kRefused = 5122,            // refused on purpose: signed, zip bomb, DTD/entities
    kPasswordIncorrect = 5485,  // Unprotect without the password that the protection needs
    kCorrupted = 5792,     // damaged package: not a zip, truncated, bad CRC, bad names, bad XML
    kNoSuchMember = 5941,  // a collection index out of range
    kBufferTooSmall = 20476,
    kIndexOutOfBounds = 35600,
};

}  // namespace runtime
