#pragma once

// What the fuzz targets share: a scratch folder, the report of a broken invariant, and the
// steps the program takes on a document through the Word interface (open, protection, frames,
// typing at the start or the end, find and replace in every story, save), with the checks made
// on the file afterwards.

#include <string>
#include <string_view>
#include <vector>

#include "PackageValidator.h"
#include "docx/FileLayer.h"

namespace lf_fuzz {

// Reports a broken invariant. By default it prints what and aborts, so that the fuzzer keeps
// the input; the regression driver installs a handler that raises instead.
[[noreturn]] void Violation(const std::string& what);
using ViolationHandler = void (*)(const std::string& what);
// Installs handler (nullptr: the default); the handler must not return.
void SetViolationHandler(ViolationHandler handler);

// A folder of this process for the files the targets write; removed at exit.
const std::string& ScratchDir();
// Replaces the file name in the scratch folder with bytes; returns its path.
std::string WriteScratch(const std::string& name, std::string_view bytes);
// The bytes of a file ("" when it cannot be read).
std::string ReadWhole(const std::string& path);
// The names in a folder, sorted (without "." and "..").
std::vector<std::string> FolderNames(const std::string& dir);

// What one run of the program's steps on a document did.
struct StepsOutcome {
    bool opened = false;
    bool saved = false;               // SaveAs completed
    bool saveFailed = false;          // SaveAs was called and raised
    long replacements = 0;            // ranges whose Execute reported a find
    std::vector<std::string> errors;  // "step: number description" of every raised error
};

// The font and lines of an insertion, as the window hands them over.
struct Insertion {
    std::string lines;
    std::string fontName = "Arial";
    std::string fontSize = "12";
    docx::FileLayer* fileLayer = nullptr;  // the file operations of the save; null: the real ones
};

// The steps of the first-line insertion: open, protection check, frames cleared, font, lines
// typed and a paragraph typed at the start, save under the same path, quit.
StepsOutcome InsertAtStart(const std::string& path, const Insertion& insertion);
// The steps of the last-line insertion: as InsertAtStart, with the insertion point moved to the
// end first and the paragraph typed before the lines.
StepsOutcome InsertAtEnd(const std::string& path, const Insertion& insertion);
// The steps of the insertion before or after x: in every story range, replace all of findText
// by replacementText with the font, then save.
StepsOutcome ReplaceEverywhere(const std::string& path, const std::string& findText,
                               const std::string& replacementText, const std::string& fontName,
                               const std::string& fontSize);
// Every member the program uses: protection (and removal), frames (table check, unwrapping,
// deletion), typing at the start and at the end, a save, then story ranges with a replacement
// in each and a second save from the same session.
StepsOutcome WalkEveryMember(const std::string& path);

// The checks after steps ran on path, whose bytes were before: an unsaved file is
// byte-identical; a saved one opens again and has no defect the original did not have; the
// folder holds the same names as before (no temporary file left).
void CheckAfterSteps(const std::string& path, const std::string& before,
                     const std::vector<std::string>& namesBefore, const StepsOutcome& outcome);

// Writes bytes as the document of a fresh file in the scratch folder, runs steps on it and
// checks the result. Returns the outcome.
template <class Steps>
StepsOutcome RunOnBytes(std::string_view bytes, Steps&& steps);

// Non-template part of RunOnBytes.
struct PreparedDocument {
    std::string path;
    std::string before;
    std::vector<std::string> names;
};
PreparedDocument PrepareDocument(std::string_view bytes);

template <class Steps>
StepsOutcome RunOnBytes(std::string_view bytes, Steps&& steps) {
    PreparedDocument doc = PrepareDocument(bytes);
    StepsOutcome outcome = steps(doc.path);
    CheckAfterSteps(doc.path, doc.before, doc.names, outcome);
    return outcome;
}

}  // namespace lf_fuzz
