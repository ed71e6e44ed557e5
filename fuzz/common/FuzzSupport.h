#pragma once

// What the fuzz targets share: a scratch folder, the report of a broken invariant, and the
// program's own per-document procedures run on a file, with the checks made on the file
// afterwards.

#include <string>
#include <string_view>
#include <vector>

#include "PackageValidator.h"
#include "engine/Modes.h"
#include "filesafe/FileLayer.h"

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

// What one run of the program's procedures on a document did.
struct StepsOutcome {
    bool opened = false;              // no failure at the open
    bool saved = false;               // the document was written
    long replacements = 0;            // insertions around x that were saved
    std::vector<std::string> errors;  // "label: number description" of every report
};

// The font and lines of an insertion, as the window hands them over.
struct Insertion {
    std::string lines;
    std::string fontName = "Arial";
    std::string fontSize = "12";
    filesafe::FileLayer* fileLayer =
        nullptr;  // the file operations of the save; null: the real ones
};

// The program's per-document procedure of mode on path, with x in the x modes.
StepsOutcome RunProcedure(engine::Mode mode, const std::string& path, const Insertion& insertion,
                          const std::string& x = {});
// The first-line and the last-line insertion.
StepsOutcome InsertAtStart(const std::string& path, const Insertion& insertion);
StepsOutcome InsertAtEnd(const std::string& path, const Insertion& insertion);
// The first-line, the last-line and the after-x insertion (x "e") one after the other, each a
// run of its own on the file the previous one left; saved when any of them saved.
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
