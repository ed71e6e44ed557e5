#pragma once

// Documents in and out of the office: loaded from their bytes (so the office never holds the
// file, and no lock file of its own is ever put beside it), checked for a text-document
// filter the office can write back, and stored through the same filter under the rules every
// save keeps.

#include <sys/stat.h>

#include <memory>
#include <string>

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/lang/XComponent.hpp>

#include "filesafe/DocumentFile.h"
#include "word/office/Backend.h"
#include "word/office/Formats.h"
#include "word/office/Office.h"

namespace word::office {

struct LoadedDocument {
    Office* office = nullptr;  // the office it is loaded in
    css::uno::Reference<css::lang::XComponent> model;
    std::string path;
    std::string name;
    std::string filter;
    // The file it was loaded from, open and locked until the document is released (or its save
    // is handed to a group), with its status when it was opened.
    filesafe::OpenedFile file;
    SaveRules rules;
    int officeStart = 0;  // the office start it was loaded in
    bool hasView = false;
    bool settingsChanged = false;  // protection lifted: a change the model may not count
    bool handedToGroup = false;    // its save waits in rules.group to replace the file

    // The insertion point: the start of the main text (of its first cell when it begins with
    // a table) and startOffset characters on, a paragraph break counting one, until EndKey
    // moves it to the end.
    bool atEnd = false;
    long startOffset = 0;
    std::string fontName;
    double fontHeight = 0;  // points; 0 while unset

    LoadedDocument() = default;
    LoadedDocument(const LoadedDocument&) = delete;
    LoadedDocument& operator=(const LoadedDocument&) = delete;
    // Closes the document in the office, discarding its changes.
    ~LoadedDocument();
};

// Loads the document at path into office, with no window or view (so nothing is laid out), with
// macros never run and every prompt declined, holding the file's lock (waiting up to
// rules.lockWait for another run's) until the document is released; its saves keep rules.
// Raises word::Error, the file untouched,
// for a file held by another editor, one that cannot be read or is empty, a password, a document
// the office cannot read or reads with a filter other than Word 97-2003, RTF or OpenDocument text
// (a Word 6.0/95 document, junk read as plain text), a read-only load, and an office that is
// missing or fails.
std::shared_ptr<LoadedDocument> LoadDocument(Office& office, const std::string& path, Format format,
                                             const SaveRules& rules);

// The document's settings (protection, read-only recommendation and the like); in a call to the
// office.
css::uno::Reference<css::beans::XPropertySet> DocumentSettings(
    const css::uno::Reference<css::lang::XComponent>& model);

// Gives the document a hidden view, once: Writer's replace finds nothing in a document
// without one, and a frame's text is moved out through it.
void EnsureView(LoadedDocument& doc);

// Stores the document at path in the format it was loaded in, under the rules of every save (see
// filesafe::CheckReplaceable and filesafe::PendingSave): a new file in the same folder with the
// old one's metadata, flushed and renamed over the document, the hook told first; a save over
// the loaded file joins rules.group when one is set. An OpenDocument file is written without the
// picture of its first page. Raises word::Error, the file untouched, when a rule refuses the
// save or the office fails.
void StoreDocument(LoadedDocument& doc, const std::string& path);

// Writes the document at from to the file to through the office's export filter (the
// filters "MS Word 97", "Rich Text Format", "writer8", "Text (encoded):UTF8,LF,,": a filter
// name and, after a colon, its options). For the tests and the
// benchmark, which make their documents of other formats from .docx and read the text.
// A password encrypts the new file with it.
void ConvertDocument(Office& office, const std::string& from, const std::string& to,
                     const std::string& filter, const std::string& password = {});

}  // namespace word::office
