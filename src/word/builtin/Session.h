#pragma once

// State shared by the objects of one built-in Word instance, and the translation of engine
// errors into Word errors.

#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "docx/Error.h"
#include "docx/model/Document.h"
#include "docx/model/Selection.h"
#include "docx/model/Stories.h"
#include "filesafe/SaveHook.h"
#include "word/Word.h"

namespace word::builtin {

// The Word error for calls on an instance that has quit.
// The Word error for a member this engine does not provide.
inline constexpr long kNotSupported = 438;

// One open document, its insertion point (created when the selection is first used) and its
// stories (collected when first asked for, again only after an edit that can change them).
struct OpenDocument {
    std::unique_ptr<docx::Document> doc;
    std::unique_ptr<docx::Selection> selection;
    docx::StoryCollection stories;
    docx::Selection& Sel() {
        if (!selection)
            selection = std::make_unique<docx::Selection>(*doc);
        return *selection;
    }
};

struct Session {
    std::vector<std::shared_ptr<OpenDocument>> documents;  // in opening order; last is active
    bool quit = false;
    std::weak_ptr<word::Application> application;
    docx::PackageLimits limits;  // given to every document this instance opens
    // Told of every save of the documents this instance opens, when set.
    filesafe::SaveHook* saveHook = nullptr;

    // Raises 462 after Quit.
    void CheckAlive() const {
        if (quit)
            throw word::Error(runtime::kServerUnavailable,
                              "The Word instance has quit; its objects can no longer be used.");
    }
    // The active document; raises when none is open.
    std::shared_ptr<OpenDocument> Active() const {
        CheckAlive();
        if (documents.empty())
            throw word::Error(docx::kNotAvailable,
                              "This command is not available because no document is open.");
        return documents.back();
    }
};

// Runs f, turning engine errors into Word errors with the same number and description.
template <class F>
decltype(auto) Translate(F&& f) {
    try {
        return std::forward<F>(f)();
    } catch (const docx::Error& e) {
        throw word::Error(e.Number(), e.what());
    } catch (const std::bad_alloc&) {
        throw word::Error(7, "Out of memory");
    }
}

}  // namespace word::builtin
