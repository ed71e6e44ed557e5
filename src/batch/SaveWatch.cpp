#include "batch/SaveWatch.h"

#include <memory>

namespace batch {

namespace {

class WatchedDocument : public word::Document {
  public:
    WatchedDocument(word::Ref<word::Document> inner, SaveWatch& watch)
        : inner_(std::move(inner)), watch_(watch) {}
    long ProtectionType() override { return inner_->ProtectionType(); }
    void Unprotect() override { inner_->Unprotect(); }
    std::string Name() override { return inner_->Name(); }
    word::Ref<word::Frames> Frames() override { return inner_->Frames(); }
    word::Ref<word::StoryRanges> StoryRanges() override { return inner_->StoryRanges(); }
    word::Ref<word::Application> Application() override { return inner_->Application(); }
    void SaveAs(const std::string& fileName) override {
        inner_->SaveAs(fileName);
        watch_.Saved();
    }

  private:
    word::Ref<word::Document> inner_;
    SaveWatch& watch_;
};

word::Ref<word::Document> Watch(const word::Ref<word::Document>& document, SaveWatch& watch) {
    if (!document)
        return document;
    return word::Ref<word::Document>(std::make_shared<WatchedDocument>(document, watch));
}

class WatchedDocuments : public word::Documents {
  public:
    WatchedDocuments(word::Ref<word::Documents> inner, SaveWatch& watch)
        : inner_(std::move(inner)), watch_(watch) {}
    word::Ref<word::Document> Open(const std::string& fileName) override {
        return Watch(inner_->Open(fileName), watch_);
    }

  private:
    word::Ref<word::Documents> inner_;
    SaveWatch& watch_;
};

class WatchedApplication : public word::Application {
  public:
    WatchedApplication(word::Ref<word::Application> inner, SaveWatch& watch)
        : inner_(std::move(inner)), watch_(watch) {}
    std::vector<std::string> FontNames() override { return inner_->FontNames(); }
    word::Ref<word::Documents> Documents() override {
        word::Ref<word::Documents> documents = inner_->Documents();
        if (!documents)
            return documents;
        return word::Ref<word::Documents>(std::make_shared<WatchedDocuments>(documents, watch_));
    }
    word::Ref<word::Document> ActiveDocument() override {
        return Watch(inner_->ActiveDocument(), watch_);
    }
    word::Ref<word::Selection> Selection() override { return inner_->Selection(); }
    void Quit() override { inner_->Quit(); }

  private:
    word::Ref<word::Application> inner_;
    SaveWatch& watch_;
};

}  // namespace

void RegisterWatched(word::Registry& watched, const word::Registry& engine,
                     const std::string& progId, SaveWatch& watch) {
    watched.Register(progId, [&engine, progId, &watch]() -> std::shared_ptr<word::Application> {
        word::Ref<word::Application> inner = engine.CreateObject(progId);
        return std::make_shared<WatchedApplication>(inner, watch);
    });
}

}  // namespace batch
