#pragma once

#include <QChar>
#include <QString>

#include "platform/FileSystem.h"

namespace Main {

// How a platform writes paths: its separator, and whether a leading run of separators means a
// network path (Windows "\\server\share") or nothing at all (POSIX).
struct PathRules {
    QChar separator;
    bool leadingPairIsNetworkPath;
};

inline constexpr PathRules kWindowsPathRules{u'\\', true};
inline constexpr PathRules kPosixPathRules{u'/', false};
inline constexpr PathRules kNativePathRules =
    platform::kPathSeparator == u'\\' ? kWindowsPathRules : kPosixPathRules;

// Removes the doubled separators that joining a root folder and a name produces: every pair
// becomes one, scanning left to right without overlap (three in a row become two). Under
// Windows rules a path that begins with a separator instead begins with exactly two (a network
// path), whatever its leading run was; under POSIX rules the start is treated like the rest.
// Never fails.
QString NormalizePath(const QString& path, const PathRules& rules);

// NormalizePath under the rules of the platform the program runs on.
QString NormalizePath(const QString& path);

}  // namespace Main
