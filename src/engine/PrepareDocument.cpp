#include "engine/PrepareDocument.h"

#include "engine/ClearFrames.h"
#include "engine/IsDocumentProtected.h"

namespace engine {

Prepared PrepareDocument(runtime::ErrorHandler& on, const InsertContext& context,
                         const std::string& fileName, word::Ref<word::Application>& wd,
                         word::Ref<word::Document>& doc) {
    on.line(100, [&] { wd = context.registry.CreateObject(kWordProgId); });
    on.line(102, [&] { doc = wd->Documents()->Open(fileName); });
    const int reportedBefore = on.failures();
    if (on.cond(104, [&] { return FileSize::IsDocumentProtected(doc, context.dialogs); })) {
        // A check that failed has been reported as itself; the document was not found protected.
        if (!doc || on.failures() > reportedBefore)
            return Prepared::kNotOpened;
        return Prepared::kProtected;
    }
    on.line(106, [&] { Word1::ClearFrames(doc); });
    return Prepared::kReady;
}

}  // namespace engine
