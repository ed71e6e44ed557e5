#pragma once

// Which documents the office backend takes, recognised by their content, and what the user is
// told about each format.

#include <string>

namespace word::office {

enum class Format {
    None,          // not one of the office's formats: the built-in engine decides
    WordBinary,    // an OLE compound file with a WordDocument stream (.doc, .dot)
    Rtf,           // "{\rtf"
    OpenDocument,  // a zip whose mimetype is OpenDocument text or its template (.odt, .ott)
    CutShort,      // an OLE compound file whose header or sectors lie past its end (a .doc
                   // truncated): damaged, whatever it held
    WordXml,       // a Word 2003 XML document (WordprocessingML of Word 2003), .xml or .doc
};

// The format of the file at path, from its first bytes (and, for OLE files, its stream
// names; for a zip that does not start with a stored mimetype entry, its mimetype entry or
// else its manifest). None for files that cannot be read, empty files, encrypted OOXML
// packages (an OLE file too) and everything else.
Format SniffFormat(const std::string& path);

// "Word 97-2003 document (.doc)", "RTF document (.rtf)", "OpenDocument text (.odt)",
// "Word 2003 XML document".
std::string FormatName(Format format);

// The description of the refusal of a CutShort file: it names the file and says it is damaged.
std::string CutShortMessage(const std::string& fileName);

// The description of the refusal of a document of this format when LibreOffice is missing:
// it names the file, the format and the Debian package to install.
std::string OfficeMissingMessage(const std::string& fileName, Format format);

}  // namespace word::office
