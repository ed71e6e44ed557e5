#include "FakeWord.h"

namespace testing_support {

namespace {

std::string B(bool v) {
    return v ? "True" : "False";
}
std::string N(long v) {
    return std::to_string(v);
}

// Converts a new fake to the reference type of whichever interface the member returns.
template <class D>
struct Made {
    std::shared_ptr<D> p;
    template <class B>
    operator word::Ref<B>() const {
        return std::shared_ptr<B>(p);
    }
};
template <class D, class... A>
Made<D> New(A&&... args) {
    return {std::make_shared<D>(std::forward<A>(args)...)};
}

struct DocState {
    FakeWord::DocumentSpec spec;
};

class FakeFont : public word::Font {
  public:
    FakeFont(FakeWord* w, std::string prefix) : w_(w), prefix_(std::move(prefix)) {}
    void Name(const std::string& name) override { w_->Call(prefix_ + ".Name", name); }
    void Size(const std::string& size) override { w_->Call(prefix_ + ".Size", size); }

  private:
    FakeWord* w_;
    std::string prefix_;
};

class FakeRows : public word::Rows {
  public:
    FakeRows(FakeWord* w, std::shared_ptr<DocState> d) : w_(w), d_(std::move(d)) {}
    void WrapAroundText(bool wrap) override {
        w_->Call("Rows.WrapAroundText", B(wrap));
        auto& frames = d_->spec.frames;
        if (!wrap && !frames.empty() && frames.front().unwrapRemovesFrame)
            frames.erase(frames.begin());
    }

  private:
    FakeWord* w_;
    std::shared_ptr<DocState> d_;
};

class FakeTable : public word::Table {
  public:
    FakeTable(FakeWord* w, std::shared_ptr<DocState> d) : w_(w), d_(std::move(d)) {}
    word::Ref<word::Rows> Rows() override {
        w_->Call("Table.Rows");
        return New<FakeRows>(w_, d_);
    }

  private:
    FakeWord* w_;
    std::shared_ptr<DocState> d_;
};

class FakeTables : public word::Tables {
  public:
    FakeTables(FakeWord* w, std::shared_ptr<DocState> d) : w_(w), d_(std::move(d)) {}
    long Count() override {
        w_->Call("Tables.Count");
        return 1;
    }
    word::Ref<word::Table> Item(long index) override {
        w_->Call("Tables.Item", N(index));
        return New<FakeTable>(w_, d_);
    }

  private:
    FakeWord* w_;
    std::shared_ptr<DocState> d_;
};

class FakeReplacement : public word::Replacement {
  public:
    FakeReplacement(FakeWord* w, std::string prefix) : w_(w), prefix_(std::move(prefix)) {}
    void ClearFormatting() override { w_->Call(prefix_ + ".ClearFormatting"); }
    void Text(const std::string& text) override { w_->Call(prefix_ + ".Text", text); }
    word::Ref<word::Font> Font() override {
        w_->Call(prefix_ + ".Font");
        return New<FakeFont>(w_, prefix_ + ".Font");
    }

  private:
    FakeWord* w_;
    std::string prefix_;
};

class FakeFind : public word::Find {
  public:
    FakeFind(FakeWord* w, int k) : w_(w), p_("Find[" + std::to_string(k) + "]"), k_(k) {}
    void ClearFormatting() override { w_->Call(p_ + ".ClearFormatting"); }
    word::Ref<word::Replacement> Replacement() override {
        w_->Call(p_ + ".Replacement");
        return New<FakeReplacement>(w_, "Replacement[" + std::to_string(k_) + "]");
    }
    void Text(const std::string& text) override { w_->Call(p_ + ".Text", text); }
    void Forward(bool v) override { w_->Call(p_ + ".Forward", B(v)); }
    void Wrap(long v) override { w_->Call(p_ + ".Wrap", N(v)); }
    void Format(bool v) override { w_->Call(p_ + ".Format", B(v)); }
    void MatchCase(bool v) override { w_->Call(p_ + ".MatchCase", B(v)); }
    void MatchWholeWord(bool v) override { w_->Call(p_ + ".MatchWholeWord", B(v)); }
    void MatchWildcards(bool v) override { w_->Call(p_ + ".MatchWildcards", B(v)); }
    void MatchSoundsLike(bool v) override { w_->Call(p_ + ".MatchSoundsLike", B(v)); }
    void MatchAllWordForms(bool v) override { w_->Call(p_ + ".MatchAllWordForms", B(v)); }
    bool Execute(long Replace) override {
        w_->Call(p_ + ".Execute", N(Replace));
        return w_->document.found > 0;
    }
    long Replaced() override {
        w_->Call(p_ + ".Replaced");
        return w_->document.found;
    }

  private:
    FakeWord* w_;
    std::string p_;
    int k_;
};

// A frame's range (index 0 of the document's frames) or story range k.
class FakeRange : public word::Range {
  public:
    FakeRange(FakeWord* w, std::shared_ptr<DocState> d, int k) : w_(w), d_(std::move(d)), k_(k) {}
    bool Information(long type) override {
        w_->Call("Range.Information", N(type));
        return type == word::wdWithInTable && !d_->spec.frames.empty() &&
               d_->spec.frames.front().inTable;
    }
    word::Ref<word::Tables> Tables() override {
        w_->Call("Range.Tables");
        return New<FakeTables>(w_, d_);
    }
    word::Ref<word::Find> Find() override {
        w_->Call("StoryRange[" + std::to_string(k_) + "].Find");
        return New<FakeFind>(w_, k_);
    }

  private:
    FakeWord* w_;
    std::shared_ptr<DocState> d_;
    int k_;
};

class FakeFrame : public word::Frame {
  public:
    FakeFrame(FakeWord* w, std::shared_ptr<DocState> d) : w_(w), d_(std::move(d)) {}
    word::Ref<word::Range> Range() override {
        w_->Call("Frame.Range");
        return New<FakeRange>(w_, d_, 0);
    }
    void Delete() override {
        w_->Call("Frame.Delete");
        auto& frames = d_->spec.frames;
        if (!frames.empty())
            frames.erase(frames.begin());
    }

  private:
    FakeWord* w_;
    std::shared_ptr<DocState> d_;
};

class FakeFrames : public word::Frames {
  public:
    FakeFrames(FakeWord* w, std::shared_ptr<DocState> d) : w_(w), d_(std::move(d)) {}
    long Count() override {
        w_->Call("Frames.Count");
        return static_cast<long>(d_->spec.frames.size());
    }
    word::Ref<word::Frame> Item(short index) override {
        w_->Call("Frames.Item", N(index));
        if (index < 1 || index > static_cast<long>(d_->spec.frames.size()))
            throw runtime::Error(5941, "The requested member of the collection does not exist.");
        return New<FakeFrame>(w_, d_);
    }

  private:
    FakeWord* w_;
    std::shared_ptr<DocState> d_;
};

class FakeStoryRanges : public word::StoryRanges {
  public:
    FakeStoryRanges(FakeWord* w, std::shared_ptr<DocState> d) : w_(w), d_(std::move(d)) {}
    long Count() override {
        w_->Call("StoryRanges.Count");
        return d_->spec.storyRanges;
    }
    word::Ref<word::Range> Item(long index) override {
        w_->Call("StoryRanges.Item", N(index));
        if (index < 1 || index > d_->spec.storyRanges)
            throw runtime::Error(5941, "The requested member of the collection does not exist.");
        return New<FakeRange>(w_, d_, static_cast<int>(index));
    }

  private:
    FakeWord* w_;
    std::shared_ptr<DocState> d_;
};

class FakeSelection : public word::Selection {
  public:
    explicit FakeSelection(FakeWord* w) : w_(w) {}
    void EndKey(long Unit) override { w_->Call("Selection.EndKey", N(Unit)); }
    word::Ref<word::Font> Font() override {
        w_->Call("Selection.Font");
        return New<FakeFont>(w_, "Selection.Font");
    }
    void TypeText(const std::string& text) override { w_->Call("Selection.TypeText", text); }
    void TypeParagraph() override { w_->Call("Selection.TypeParagraph"); }

  private:
    FakeWord* w_;
};

class FakeApplication;

class FakeDocument : public word::Document {
  public:
    FakeDocument(FakeWord* w, std::shared_ptr<DocState> d, std::weak_ptr<word::Application> app)
        : w_(w), d_(std::move(d)), app_(std::move(app)) {}
    long ProtectionType() override {
        w_->Call("Document.ProtectionType");
        return d_->spec.protection;
    }
    void Unprotect() override {
        w_->Call("Document.Unprotect");
        if (d_->spec.password)
            throw runtime::Error(5485, "The password is incorrect.");
        d_->spec.protection = word::wdNoProtection;
    }
    std::string Name() override {
        w_->Call("Document.Name");
        return d_->spec.name;
    }
    word::Ref<word::Frames> Frames() override {
        w_->Call("Document.Frames");
        return New<FakeFrames>(w_, d_);
    }
    word::Ref<word::StoryRanges> StoryRanges() override {
        w_->Call("Document.StoryRanges");
        return New<FakeStoryRanges>(w_, d_);
    }
    word::Ref<word::Application> Application() override {
        w_->Call("Document.Application");
        return app_.lock();
    }
    bool Saved() override {
        w_->Call("Document.Saved");
        return w_->document.found == 0;
    }
    void SaveAs(const std::string& FileName) override { w_->Call("Document.SaveAs", FileName); }

  private:
    FakeWord* w_;
    std::shared_ptr<DocState> d_;
    std::weak_ptr<word::Application> app_;
};

class FakeDocuments : public word::Documents {
  public:
    explicit FakeDocuments(FakeApplication* app) : app_(app) {}
    word::Ref<word::Document> Open(const std::string& FileName) override;

  private:
    FakeApplication* app_;
};

class FakeApplication : public word::Application,
                        public std::enable_shared_from_this<FakeApplication> {
  public:
    explicit FakeApplication(FakeWord* w) : w_(w) { ++w_->liveInstances; }
    ~FakeApplication() override { --w_->liveInstances; }
    std::vector<std::string> FontNames() override {
        w_->Call("Application.FontNames");
        return {"Arial", "Courier New"};
    }
    word::Ref<word::Documents> Documents() override {
        w_->Call("Application.Documents");
        return New<FakeDocuments>(this);
    }
    word::Ref<word::Document> ActiveDocument() override {
        w_->Call("Application.ActiveDocument");
        if (!active_)
            throw runtime::Error(4248,
                                 "This command is not available because no document is open.");
        return active_;
    }
    word::Ref<word::Selection> Selection() override {
        w_->Call("Application.Selection");
        return New<FakeSelection>(w_);
    }
    void Quit() override {
        w_->Call("Application.Quit");
        active_.reset();
    }

    word::Ref<word::Document> Open(const std::string& path) {
        w_->Call("Documents.Open", path);
        if (w_->missing.count(path))
            throw runtime::Error(5174, "Sorry, we couldn't find your file. (" + path + ")");
        auto state = std::make_shared<DocState>();
        state->spec = w_->document;
        active_ = std::make_shared<FakeDocument>(w_, state, weak_from_this());
        return active_;
    }

  private:
    FakeWord* w_;
    std::shared_ptr<word::Document> active_;
};

word::Ref<word::Document> FakeDocuments::Open(const std::string& FileName) {
    return app_->Open(FileName);
}

}  // namespace

FakeWord::FakeWord() = default;

void FakeWord::Install(word::Registry& registry) {
    registry.Register("Word.Application", [this]() -> std::shared_ptr<word::Application> {
        Call("CreateObject", "Word.Application");
        ++instances;
        return std::make_shared<FakeApplication>(this);
    });
}

void FakeWord::Fail(const std::string& member, int nth, long number,
                    const std::string& description) {
    failures_[member] = Failure{nth, number, description};
}

void FakeWord::Call(const std::string& member, const std::string& value) {
    calls.push_back(member + "(" + value + ")");
    const int n = ++counts_[member];
    if (onCall)
        onCall(member);
    auto it = failures_.find(member);
    if (it != failures_.end() && (it->second.nth == 0 || it->second.nth == n))
        throw runtime::Error(it->second.number, it->second.description);
}

std::vector<std::string> FakeWord::CallsStartingWith(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& c : calls)
        if (c.rfind(prefix, 0) == 0)
            out.push_back(c);
    return out;
}

int FakeWord::Count(const std::string& member) const {
    auto it = counts_.find(member);
    return it == counts_.end() ? 0 : it->second;
}

int FakeWord::IndexOf(const std::string& text) const {
    for (size_t i = 0; i < calls.size(); ++i)
        if (calls[i] == text)
            return static_cast<int>(i);
    return -1;
}

}  // namespace testing_support
