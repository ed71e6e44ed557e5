#pragma once

// Checks that a package is well formed as a whole, beyond what opening it needs: used on every
// document the engine has saved, to show that a save never leaves a package Word would repair.
// Test tooling: it reads the package with libzip and pugixml itself, so that it judges the
// engine's output without going through the engine.

#include <string>
#include <vector>

namespace validator {

// One defect of a package.
struct PackageDefect {
    std::string part;  // the part it concerns ("" for the package as a whole)
    std::string what;  // what is wrong
    bool operator==(const PackageDefect&) const = default;
};

// The defects ValidatePackage found.
struct ValidationReport {
    std::vector<PackageDefect> defects;
    // True when nothing is wrong.
    bool Ok() const noexcept { return defects.empty(); }
    // One line per defect ("part: what"), or "" when Ok.
    std::string Describe() const;
};

// Checks the package at path: it opens with every checksum right and no unsafe or duplicate
// names; [Content_Types].xml exists and gives every part a content type (Override, else Default
// by extension) and overrides no part that is missing; every XML part parses (no DTD, no
// undefined entity, no attribute twice in one element); every relationship part belongs to an
// existing part, has unique ids and complete entries, and each internal target exists; every
// attribute in the relationships namespace (r:id, r:embed, ...) names a relationship of its
// part; and the package names a main document part of a Word content type. Never raises: a
// package that cannot be opened is one defect.
ValidationReport ValidatePackage(const std::string& path);

// The defects of after that before does not have (a save may keep the defects a document came
// with, but must add none).
std::vector<PackageDefect> NewDefects(const ValidationReport& before,
                                      const ValidationReport& after);

}  // namespace validator
