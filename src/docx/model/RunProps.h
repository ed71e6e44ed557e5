#pragma once

// Character formatting helpers that keep the schema order of w:rPr children (Word rejects
// run properties out of order).

#include <string_view>

#include <pugixml.hpp>

#include "docx/package/Namespaces.h"

namespace docx {

// The child of parent with this local name, created at its schema position when missing.
// parentLocal names the parent's type ("rPr", "pPr", "r", "p", "tblPr"), which gives the order.
pugi::xml_node EnsureChild(const WordNames& w, pugi::xml_node parent, std::string_view parentLocal,
                           std::string_view local);

// Sets the font family on w:rFonts (ascii, hAnsi and cs) and drops the theme attributes
// (asciiTheme, hAnsiTheme, cstheme) that would override them.
void SetRunFontName(const WordNames& w, pugi::xml_node rPr, std::string_view name);

// Sets w:sz and w:szCs to halfPoints.
void SetRunFontSize(const WordNames& w, pugi::xml_node rPr, long halfPoints);

// The run properties for new text copied from a run's or a paragraph mark's w:rPr: revision
// marks (w:ins, w:del, w:moveFrom, w:moveTo, w:rPrChange) are left out. Appended to newParent
// (which must be a w:r) as its first child; returns the new w:rPr (empty node when source is
// empty and nothing was created).
pugi::xml_node CopyRunPropsForNewText(const WordNames& w, pugi::xml_node source,
                                      pugi::xml_node newRun);

}  // namespace docx
