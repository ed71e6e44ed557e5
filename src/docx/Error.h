#pragma once

// The errors the document engine raises: those of the save rules, with their numbers.

#include "filesafe/Error.h"
#include "runtime/ErrorNumbers.h"

namespace docx {

using filesafe::Error;
using filesafe::Reason;
using runtime::ErrorNumber;
using runtime::kCannotOpenFormat;
using runtime::kCorrupted;
using runtime::kDiskFull;
using runtime::kFileAccess;
using runtime::kFileNotFound;
using runtime::kInvalidArgument;
using runtime::kNoSuchMember;
using runtime::kNotAvailable;
using runtime::kNotProtected;
using runtime::kPasswordIncorrect;
using runtime::kPathNotFound;
using runtime::kPermissionDenied;
using runtime::kRefused;
using runtime::kTypeMismatch;
using runtime::kValueOutOfRange;

}  // namespace docx
