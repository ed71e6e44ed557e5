#pragma once

// The per-document procedures against the built-in engine, on files in a temporary folder, and
// ways to look into the documents afterwards through the engine.

#include <map>
#include <string>
#include <vector>

#include "FakeDialogs.h"
#include "FakeOptionsView.h"
#include "engine/DocumentOutcome.h"
#include "engine/InsertContext.h"
#include "engine/Modes.h"
#include "word/Registry.h"

namespace testing_support {

// The built-in engine registered as "Word.Application", with recorded dialogs and reports.
struct RealEngine {
    RealEngine();
    word::Registry registry;
    FakeDialogs dialogs;
    RecordingSink sink;
    FakeOptionsView view;
    engine::InsertContext context{registry, dialogs, sink, view};

    // Runs the procedure of mode on path through the run's dispatch.
    engine::DocumentOutcome Run(engine::Mode mode, const std::string& path, const QString& x = {});
};

// The text of each story the engine finds, by story type: paragraph marks as CR, other
// barriers as U+FFFC.
std::map<long, std::string> StoryTexts(const std::string& path);
// The main text story only.
std::string MainText(const std::string& path);
// The inflated bytes of every entry of the package, by name.
std::map<std::string, std::string> EntryData(const std::string& path);
// The parts that hold stories, and the settings part ("" when none).
std::vector<std::string> StoryParts(const std::string& path);
std::string SettingsPart(const std::string& path);
// Whether the engine opens the file as a Word document at all.
bool Openable(const std::string& path);
// Protection in force and whether it carries a password.
long Protection(const std::string& path);
bool HasPassword(const std::string& path);

// Non-overlapping occurrences of needle in hay, ASCII letters compared without case.
int CountNoCase(const std::string& hay, const std::string& needle);

// The run properties (as XML text) of the run whose text is exactly text, in the main part.
std::string RunPropertiesOf(const std::string& path, const std::string& text);

}  // namespace testing_support
