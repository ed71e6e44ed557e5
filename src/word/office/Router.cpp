#include "word/office/Router.h"
#include "filesafe/DocumentFile.h"
#include "filesafe/Paths.h"

#include "docx/Error.h"
#include "docx/package/PackageIo.h"
#include "word/builtin/Builtin.h"
#include "word/office/Backend.h"
#include "word/office/Formats.h"

namespace word::office {
namespace {

struct Backends {
    Office* officeProcess = nullptr;
    SaveRules rules;
    std::shared_ptr<word::Application> builtin;
    std::shared_ptr<word::Application> office;  // created with the first office document
    std::shared_ptr<word::Application> active;  // the backend of the last document opened
    bool quit = false;

    void CheckAlive() const {
        if (quit)
            throw word::Error(runtime::kServerUnavailable,
                              "The Word instance has quit; its objects can no longer be used.");
    }
};

class RouterDocuments : public word::Documents {
  public:
    explicit RouterDocuments(std::shared_ptr<Backends> b) : b_(std::move(b)) {}
    Ref<word::Document> Open(const std::string& FileName) override {
        b_->CheckAlive();
        const Format format = SniffFormat(FileName);
        if (format == Format::CutShort)
            throw word::Error(docx::kCorrupted, CutShortMessage(filesafe::FileNameOf(FileName)));
        if (format == Format::None) {
            b_->active = b_->builtin;
            return b_->builtin->Documents()->Open(FileName);
        }
        if (!b_->office)
            b_->office = CreateOfficeApplication(b_->officeProcess, b_->rules);
        if (!b_->office)
            throw word::Error(docx::kCannotOpenFormat,
                              OfficeMissingMessage(filesafe::FileNameOf(FileName), format));
        b_->active = b_->office;
        return b_->office->Documents()->Open(FileName);
    }

  private:
    std::shared_ptr<Backends> b_;
};

class RouterApplication : public word::Application {
  public:
    RouterApplication(std::shared_ptr<word::Application> builtin, Office* office,
                      const SaveRules& rules)
        : b_(std::make_shared<Backends>()) {
        b_->officeProcess = office;
        b_->rules = rules;
        b_->builtin = std::move(builtin);
        b_->active = b_->builtin;
    }
    std::vector<std::string> FontNames() override {
        b_->CheckAlive();
        return b_->builtin->FontNames();
    }
    Ref<word::Documents> Documents() override {
        b_->CheckAlive();
        return Ref<word::Documents>(
            std::shared_ptr<word::Documents>(std::make_shared<RouterDocuments>(b_)));
    }
    Ref<word::Document> ActiveDocument() override {
        b_->CheckAlive();
        return b_->active->ActiveDocument();
    }
    Ref<word::Selection> Selection() override {
        b_->CheckAlive();
        return b_->active->Selection();
    }
    // Quits both backends: the documents are released, the office process stays for the next.
    void Quit() override {
        b_->CheckAlive();
        b_->builtin->Quit();
        if (b_->office)
            b_->office->Quit();
        b_->quit = true;
    }

  private:
    std::shared_ptr<Backends> b_;
};

}  // namespace

void Register(word::Registry& registry, const OfficeConnection& office,
              filesafe::SaveHook* saveHook, filesafe::SaveGroup* saveGroup,
              filesafe::FileLayer* fileLayer) {
    docx::PackageLimits limits;
    limits.saveGroup = saveGroup;
    limits.fileLayer = fileLayer;
    word::Registry builtin;
    word::builtin::Register(builtin, limits, saveHook);
    SaveRules rules;
    rules.hook = saveHook;
    rules.group = saveGroup;
    rules.layer = fileLayer;
    rules.lockWait = std::chrono::milliseconds(limits.lockWaitMs);
    Office* process = office.Get();
    registry.Register("Word.Application", [builtin, process, rules] {
        return std::shared_ptr<word::Application>(std::make_shared<RouterApplication>(
            builtin.CreateObject("Word.Application").Shared(), process, rules));
    });
}

}  // namespace word::office
