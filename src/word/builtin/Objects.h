#pragma once

// The word:: interfaces implemented over the docx engine.

#include <memory>
#include <string>
#include <vector>

#include "docx/model/Frames.h"
#include "word/builtin/Session.h"

namespace word::builtin {

class BuiltinApplication : public word::Application {
  public:
    BuiltinApplication();
    std::vector<std::string> FontNames() override;
    Ref<word::Documents> Documents() override;
    Ref<word::Document> ActiveDocument() override;
    Ref<word::Selection> Selection() override;
    void Quit() override;

    const std::shared_ptr<Session>& session() const noexcept { return session_; }

  private:
    std::shared_ptr<Session> session_;
};

class BuiltinDocuments : public word::Documents {
  public:
    explicit BuiltinDocuments(std::shared_ptr<Session> s) : session_(std::move(s)) {}
    Ref<word::Document> Open(const std::string& FileName) override;

  private:
    std::shared_ptr<Session> session_;
};

class BuiltinDocument : public word::Document {
  public:
    BuiltinDocument(std::shared_ptr<Session> s, std::shared_ptr<OpenDocument> d)
        : session_(std::move(s)), doc_(std::move(d)) {}
    long ProtectionType() override;
    void Unprotect() override;
    std::string Name() override;
    Ref<word::Frames> Frames() override;
    Ref<word::StoryRanges> StoryRanges() override;
    Ref<word::Application> Application() override;
    // True while no part is marked changed; a save of such a package leaves the file as it is.
    bool Saved() override;
    void SaveAs(const std::string& FileName) override;

    docx::Document& Doc();

  private:
    std::shared_ptr<Session> session_;
    std::shared_ptr<OpenDocument> doc_;
};

class BuiltinFrames : public word::Frames {
  public:
    BuiltinFrames(std::shared_ptr<Session> s, std::shared_ptr<OpenDocument> d)
        : session_(std::move(s)), doc_(std::move(d)) {}
    long Count() override;
    Ref<word::Frame> Item(short index) override;

  private:
    std::shared_ptr<Session> session_;
    std::shared_ptr<OpenDocument> doc_;
};

// A frame as it was when taken from the collection.
class BuiltinFrame : public word::Frame {
  public:
    BuiltinFrame(std::shared_ptr<Session> s, std::shared_ptr<OpenDocument> d, docx::Frame f)
        : session_(std::move(s)), doc_(std::move(d)), frame_(std::move(f)) {}
    Ref<word::Range> Range() override;
    void Delete() override;

  private:
    std::shared_ptr<Session> session_;
    std::shared_ptr<OpenDocument> doc_;
    docx::Frame frame_;
};

class BuiltinFrameRange : public word::Range {
  public:
    BuiltinFrameRange(std::shared_ptr<Session> s, std::shared_ptr<OpenDocument> d, docx::Frame f)
        : session_(std::move(s)), doc_(std::move(d)), frame_(std::move(f)) {}
    bool Information(long type) override;
    Ref<word::Tables> Tables() override;
    Ref<word::Find> Find() override;

  private:
    std::shared_ptr<Session> session_;
    std::shared_ptr<OpenDocument> doc_;
    docx::Frame frame_;
};

class BuiltinTables : public word::Tables {
  public:
    BuiltinTables(std::shared_ptr<Session> s, std::shared_ptr<OpenDocument> d,
                  std::vector<pugi::xml_node> tables)
        : session_(std::move(s)), doc_(std::move(d)), tables_(std::move(tables)) {}
    long Count() override;
    Ref<word::Table> Item(long index) override;

  private:
    std::shared_ptr<Session> session_;
    std::shared_ptr<OpenDocument> doc_;
    std::vector<pugi::xml_node> tables_;
};

class BuiltinTable : public word::Table,
                     public word::Rows,
                     public std::enable_shared_from_this<BuiltinTable> {
  public:
    BuiltinTable(std::shared_ptr<Session> s, std::shared_ptr<OpenDocument> d, pugi::xml_node t)
        : session_(std::move(s)), doc_(std::move(d)), table_(t) {}
    Ref<word::Rows> Rows() override;
    void WrapAroundText(bool wrap) override;

  private:
    std::shared_ptr<Session> session_;
    std::shared_ptr<OpenDocument> doc_;
    pugi::xml_node table_;
};

class BuiltinSelection : public word::Selection,
                         public word::Font,
                         public std::enable_shared_from_this<BuiltinSelection> {
  public:
    BuiltinSelection(std::shared_ptr<Session> s, std::shared_ptr<OpenDocument> d)
        : session_(std::move(s)), doc_(std::move(d)) {}
    void EndKey(long Unit) override;
    Ref<word::Font> Font() override;
    void TypeText(const std::string& text) override;
    void TypeParagraph() override;
    void Name(const std::string& name) override;
    void Size(const std::string& size) override;

  private:
    docx::Selection& Sel();
    std::shared_ptr<Session> session_;
    std::shared_ptr<OpenDocument> doc_;
};

}  // namespace word::builtin
