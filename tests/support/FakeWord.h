#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "runtime/Error.h"
#include "word/Registry.h"
#include "word/Word.h"

namespace testing_support {

// A scriptable stand-in for Word. Every member call is recorded in `calls` as
// "Member(value)" (for example "Selection.Font.Name(Arial)", "Documents.Open(/a.docx)",
// "Find[2].Text(x)"), and any member can be made to raise on demand.
class FakeWord {
  public:
    struct FrameSpec {
        bool inTable = false;
        // Whether un-wrapping the frame's table removes the frame (Word keeps it).
        bool unwrapRemovesFrame = false;
    };
    // The document every Open returns.
    struct DocumentSpec {
        std::string name = "Doc.docx";
        long protection = word::wdNoProtection;
        bool password = false;
        std::vector<FrameSpec> frames;
        int storyRanges = 1;
        // What every Find.Execute replaces; with none, the document reads as unchanged.
        long found = 1;
    };

    FakeWord();

    // Registers this fake as "Word.Application" in registry.
    void Install(word::Registry& registry);

    // Makes member raise error (number, description) at its nth call (1-based), or at every
    // call when nth is 0. Counting spans all instances created from this fake.
    void Fail(const std::string& member, int nth = 0, long number = 5,
              const std::string& description = "Fake failure");
    // Makes Documents.Open raise "file not found" for this path.
    void Missing(const std::string& path) { missing.insert(path); }

    // Records a call and raises when scripted to. Used by the fake objects.
    void Call(const std::string& member, const std::string& value = {});

    // The recorded calls whose text starts with prefix, in order.
    std::vector<std::string> CallsStartingWith(const std::string& prefix) const;
    // Number of recorded calls of member (the text before "(").
    int Count(const std::string& member) const;
    // Position of the first call equal to text in `calls`, or -1.
    int IndexOf(const std::string& text) const;

    DocumentSpec document;
    std::set<std::string> missing;
    std::vector<std::string> calls;
    // Runs after each recorded call, before any scripted failure.
    std::function<void(const std::string& member)> onCall;
    int instances = 0;
    int liveInstances = 0;

  private:
    struct Failure {
        int nth;
        long number;
        std::string description;
    };
    std::map<std::string, Failure> failures_;
    std::map<std::string, int> counts_;
};

}  // namespace testing_support
