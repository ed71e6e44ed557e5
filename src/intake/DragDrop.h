#pragma once

#include <QStringList>

#include "intake/IntakeContext.h"

class QMimeData;

namespace intake {

// Drop effects of the list's drag events.
enum DropEffect : int { vbDropEffectNone = 0, vbDropEffectCopy = 1, vbDropEffectMove = 2 };

// The message listing dropped paths that no longer existed when they were dropped.
inline const QString kVanishedDropMessage =
    QStringLiteral("These dropped files or folders no longer exist and were not added:\r\r");

// The paths of the local files a drag carries (its file list), in the order of the drag source,
// with the platform's separators; empty when it carries none.
QStringList DroppedPaths(const QMimeData* data);

// While something is dragged over the list: sets *effect to none unless the data carries local
// files; otherwise leaves it as proposed.
void ListView1_OLEDragOver(const IntakeContext& c, const QMimeData* data, int* effect);

// A drop on the list: each dropped folder, on its own and in order, is walked like "Add All Word
// File(s) In Folder" with the pattern "*.*"; every other dropped path is appended exactly as
// dropped. A path that no longer exists is skipped and named in one message after the drop.
void ListView1_OLEDragDrop(const IntakeContext& c, const QMimeData* data);

// Adds paths to the list exactly as a drop of them would (ListView1_OLEDragDrop).
void AddDroppedPaths(const IntakeContext& c, const QStringList& paths);

// The paths the program was started with (as a file manager passes them: paths or file URLs),
// absolute with the platform's separators; relative ones are taken from currentFolder.
QStringList PathsFromArguments(const QStringList& arguments, const QString& currentFolder);

}  // namespace intake
