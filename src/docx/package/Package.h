#pragma once

// An OPC package (.docx, .docm, .dotx, .dotm) opened from a file: its zip entries, its XML parts
// parsed on demand, its relationships, and an atomic save that re-serialises only changed parts
// and copies every other entry's compressed bytes unchanged.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "docx/Error.h"
#include "docx/package/PartNames.h"
#include "filesafe/SaveGroup.h"
#include "filesafe/SaveHook.h"

namespace filesafe {
class FileLayer;
}

namespace docx {

// One zip entry as the package's central directory describes it.
struct Entry {
    std::string name;         // entry name inside the zip ("word/document.xml", "_rels/")
    std::uint64_t index = 0;  // libzip index
    std::uint64_t size = 0;   // uncompressed size
    std::uint64_t compressedSize = 0;
    std::uint32_t crc = 0;
    std::uint16_t method = 0;  // zip compression method (0 stored, 8 deflated)
};

// One relationship of a part (or of the package itself).
struct Relationship {
    std::string id;
    std::string type;    // full relationship type URI
    std::string target;  // resolved part name without leading '/', or the raw target when external
    bool external = false;
};

// Limits that keep a hostile package from exhausting memory or disk, and the file operations
// its saves use.
struct PackageLimits {
    std::uint64_t maxEntryBytes = 1ull << 30;    // any one entry, uncompressed
    std::uint64_t maxTotalBytes = 2ull << 30;    // all entries together, uncompressed
    std::uint64_t ratioCheckFrom = 16ull << 20;  // entries from this size on are ratio-checked
    std::uint64_t maxRatio = 500;                // uncompressed : compressed
    std::uint64_t maxEntries = 20000;
    // How long Open waits for another process that is processing the same document.
    std::uint64_t lockWaitMs = 10000;
    // The file operations of SaveAs (see filesafe::FileLayer); the real ones when null. Must
    // outlive the package.
    filesafe::FileLayer* fileLayer = nullptr;
    // When set, a save over the file the package was opened from joins this group, which puts
    // it in place (see filesafe::SaveGroup); the package is then closed, and saves again only once
    // opened again. Must outlive the package's saves.
    filesafe::SaveGroup* saveGroup = nullptr;
};

class Package {
  public:
    // Opens and checks the package at path; raises docx::Error (naming the file and the reason)
    // for a missing or unreadable file, an OLE compound file, a damaged zip (not a zip, truncated,
    // bad CRC in any entry, duplicate or unsafe entry names) and a zip bomb, and when another
    // process still holds the document's lock after limits.lockWaitMs. The package holds that
    // lock (see filesafe::DocumentLock) until it is destroyed. The file is never written by Open.
    static std::unique_ptr<Package> Open(const std::string& path, const PackageLimits& limits = {});

    ~Package();
    Package(const Package&) = delete;
    Package& operator=(const Package&) = delete;

    // The path the package was opened from, as given.
    const std::string& Path() const noexcept { return path_; }
    // The file name without its folder.
    std::string FileName() const;

    // Every zip entry, in the archive's order.
    const std::vector<Entry>& Entries() const noexcept { return entries_; }
    // The entry of a part name (without leading '/'; exact match first, then case-insensitive,
    // as OPC part names are), or nullptr.
    const Entry* FindEntry(std::string_view partName) const;
    bool HasPart(std::string_view partName) const { return FindEntry(partName) != nullptr; }

    // The uncompressed bytes of a part; raises when it is missing or unreadable.
    std::string ReadBytes(std::string_view partName);

    // The parsed XML of a part, parsed on first use and cached. Whitespace-only text is kept,
    // comments and processing instructions are kept, entities are never expanded; a part with a
    // DOCTYPE or that is not well-formed raises. Changes made to it are saved only after
    // MarkChanged.
    pugi::xml_document& Xml(std::string_view partName);
    // True when the part, as it was parsed, declares namespaces on its root element only (false
    // when it may declare some below, or is not parsed).
    bool DeclaresNamespacesOnRootOnly(std::string_view partName) const;
    // True when the part's XML has been parsed already.
    bool IsParsed(std::string_view partName) const;
    // Marks a parsed part as changed, so that SaveAs re-serialises it.
    void MarkChanged(std::string_view partName);
    bool IsChanged(std::string_view partName) const;
    // How many times the part has been marked changed since it was opened: what has been read
    // from it is still current while this stays the same.
    std::uint64_t EditCount(std::string_view partName) const;
    // Part names marked changed, sorted.
    std::vector<std::string> ChangedParts() const;

    // The content type of a part from [Content_Types].xml (Override, else Default by extension),
    // or "" when none applies.
    std::string ContentType(std::string_view partName);

    // The relationships of a part ("" for the package's own _rels/.rels); empty when the part has
    // no relationship part. Targets are resolved against the source part's folder.
    const std::vector<Relationship>& Relationships(std::string_view sourcePart);

    // Writes the package to path: changed parts re-serialised, every other entry copied with its
    // compressed bytes unchanged; through a temporary file in the target's folder, flushed to disk
    // and renamed over the target (a symbolic link is followed; the target's permissions are
    // kept, see filesafe::KeepMetadata; a lock file is beside it meanwhile, see
    // filesafe::LockFile). Raises, leaving the target unchanged, when the target is read-only or
    // has several names (hard links), the folder is not writable, another editor's lock file is
    // there, the file changed on disk since it was opened, what the file has cannot be kept, or the
    // write fails.
    void SaveAs(const std::string& path);
    // Has hook told of every later save that replaces the file the package was opened from,
    // just before the replacement; a save to any other file is then refused, since hook could
    // not keep what it replaces. hook must outlive the package's saves; nullptr stops it.
    void SetSaveHook(filesafe::SaveHook* hook) noexcept;

  private:
    Package() = default;
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::string path_;
    std::vector<Entry> entries_;
    friend struct PackageOpener;
};

}  // namespace docx
