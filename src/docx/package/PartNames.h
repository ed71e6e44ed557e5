#pragma once

// Names inside an OPC package: relationship types, relationship targets resolved to part names,
// and the entry names a package may hold.

#include <string>
#include <string_view>

namespace docx {

// True when a relationship type URI names `kind` ("officeDocument", "header", "settings", ...)
// in the transitional or strict vocabulary (…/relationships/<kind>).
bool RelTypeIs(std::string_view type, std::string_view kind);

// The part name (without leading '/') a relative or absolute target of sourcePart's relationship
// names: percent-decoded, fragment dropped, "." and ".." segments removed.
std::string ResolvePartName(std::string_view sourcePart, std::string_view target);

// The relationship part of sourcePart ("" for the package: "_rels/.rels").
std::string RelsPartOf(std::string_view sourcePart);

std::string PercentDecode(std::string_view s);

// True for an entry name that is empty, absolute, holds NUL or climbs out with "..".
bool UnsafeEntryName(std::string_view name);

// True for names ending in .xml or .rels (any case).
bool IsXmlPartName(std::string_view name);

}  // namespace docx
