#pragma once

// The office backend as the router sees it, whether or not it was built with UNO.

#include <chrono>
#include <memory>

#include "filesafe/FileLayer.h"
#include "filesafe/SaveGroup.h"
#include "filesafe/SaveHook.h"
#include "word/Word.h"

namespace word::office {

class Office;

// The rules the office's saves keep, set by whoever registers the backend.
struct SaveRules {
    filesafe::SaveHook* hook = nullptr;    // told just before each save replaces its document
    filesafe::SaveGroup* group = nullptr;  // saves over the opened file join it (see SaveGroup)
    filesafe::FileLayer* layer = nullptr;  // the file operations of the saves; real when null
    std::chrono::milliseconds lockWait{10000};  // the longest wait for another run's lock
};

// The connection to LibreOffice of one program run, owned by the program's main: nothing is
// started until the first document of the office's formats, and the destructor ends the office,
// disposes the bridge to it and joins the threads that served it, while UNO is still whole.
class OfficeConnection {
  public:
    OfficeConnection();
    ~OfficeConnection();
    OfficeConnection(const OfficeConnection&) = delete;
    OfficeConnection& operator=(const OfficeConnection&) = delete;
    // The office; null in a build without UNO.
    Office* Get() const noexcept { return office_.get(); }

  private:
    std::unique_ptr<Office> office_;
};

// A new office Word instance with no document open, driving office (started only when a document
// is opened); null when office is null or this build has no UNO.
std::shared_ptr<word::Application> CreateOfficeApplication(Office* office, const SaveRules& rules);

}  // namespace word::office
