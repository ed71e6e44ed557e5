#pragma once

// The word:: interfaces over LibreOffice Writer. Every member runs as one call into the office
// under its bounded wait.

#include <memory>
#include <string>
#include <vector>

#include "word/Word.h"
#include "word/office/Backend.h"
#include "word/office/Files.h"

namespace word::office {

struct Session {
    std::vector<std::shared_ptr<LoadedDocument>> documents;  // in opening order; last is active
    bool quit = false;
    std::weak_ptr<word::Application> application;
    Office* office = nullptr;  // the office its documents are loaded in
    SaveRules rules;           // what the saves of its documents keep to

    void CheckAlive() const;
    std::shared_ptr<LoadedDocument> Active() const;
};

class OfficeApplication : public word::Application {
  public:
    OfficeApplication() : session_(std::make_shared<Session>()) {}
    std::vector<std::string> FontNames() override;
    Ref<word::Documents> Documents() override;
    Ref<word::Document> ActiveDocument() override;
    Ref<word::Selection> Selection() override;
    // Closes this instance's documents without saving; the office goes on serving others.
    void Quit() override;

    const std::shared_ptr<Session>& session() const noexcept { return session_; }

  private:
    std::shared_ptr<Session> session_;
};

class OfficeDocuments : public word::Documents {
  public:
    explicit OfficeDocuments(std::shared_ptr<Session> s) : session_(std::move(s)) {}
    // Opens a document of the office's formats (the router has recognised it).
    Ref<word::Document> Open(const std::string& FileName) override;

  private:
    std::shared_ptr<Session> session_;
};

class OfficeDocument : public word::Document {
  public:
    OfficeDocument(std::shared_ptr<Session> s, std::shared_ptr<LoadedDocument> d)
        : session_(std::move(s)), doc_(std::move(d)) {}
    // Revision protection with a key: wdAllowOnlyRevisions; form protection or a protected
    // section: wdAllowOnlyFormFields; "open read-only": wdAllowOnlyReading.
    long ProtectionType() override;
    // Lifts the protection; raises 5485 when a revision or section key (a password) holds it.
    void Unprotect() override;
    std::string Name() override;
    Ref<word::Frames> Frames() override;
    // One range: the office's replace covers every story of the document at once.
    Ref<word::StoryRanges> StoryRanges() override;
    Ref<word::Application> Application() override;
    void SaveAs(const std::string& FileName) override;
    // False once the model holds a change (the office's own modified flag) or the protection
    // was lifted.
    bool Saved() override;

  private:
    std::shared_ptr<Session> session_;
    std::shared_ptr<LoadedDocument> doc_;
};

class OfficeSelection : public word::Selection,
                        public word::Font,
                        public std::enable_shared_from_this<OfficeSelection> {
  public:
    OfficeSelection(std::shared_ptr<Session> s, std::shared_ptr<LoadedDocument> d)
        : session_(std::move(s)), doc_(std::move(d)) {}
    void EndKey(long Unit) override;
    Ref<word::Font> Font() override;
    // Types at the insertion point in the font set before: line breaks split the paragraph,
    // whose properties both halves keep.
    void TypeText(const std::string& text) override;
    void TypeParagraph() override;
    void Name(const std::string& name) override;
    void Size(const std::string& size) override;

  private:
    std::shared_ptr<Session> session_;
    std::shared_ptr<LoadedDocument> doc_;
};

}  // namespace word::office
