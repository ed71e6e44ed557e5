#pragma once

#include <QString>
#include <QStringList>

namespace journal {

// A run cut short (killed, or its machine stopped) after keeping the originals of a group of
// documents and before replacing them leaves each of those documents with the journal's file as
// a second name, under which no later save would replace it. Gives every such document of the
// runs in root its single name back: the journal's file goes, and the manifest records the
// entry withdrawn; a file of the run that its manifest does not name (kept for a document the run
// was cut short before recording) goes too. Returns how many documents were released; *failures
// gets a message for each run that could not be mended.
int ReleaseUnreplaced(const QString& root, QStringList* failures);

}  // namespace journal
