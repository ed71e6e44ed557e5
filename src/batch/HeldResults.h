#pragma once

#include <QStringList>
#include <cstdint>
#include <deque>
#include <vector>

#include "batch/ProcessDocument.h"
#include "filesafe/SaveGroup.h"

namespace batch {

// The results of a run's documents, in the order processed, each held while its save waits in
// a save group: a document is not reported saved before its save is in place.
class HeldResults {
  public:
    // A result no longer held, with the messages that came after the document was processed
    // (from its save's commit), which have not been shown yet.
    struct Ready {
        DocumentResult result;
        QStringList unshown;
    };

    // Adds the next document's result; held when its save waits in a group, carrying tag.
    void Add(DocumentResult result, bool held, std::uint64_t tag);
    // Makes room for the next document's result, to come with tag (unique in the run) while
    // later ones may come first; the results after it wait for it.
    void Expect(std::uint64_t tag);
    // The result expected with tag, held as for Add; its messages were not shown yet.
    void Fill(std::uint64_t tag, DocumentResult result, bool held);
    // Gives each held result the outcome of its committed save: one not replaced has failed
    // and was not saved; one replaced with an error has failed all the same, saved.
    void Settle(const std::vector<filesafe::SaveGroup::Outcome>& outcomes);
    // Takes the results, from the first, that have come and are no longer held.
    std::vector<Ready> TakeReady();

  private:
    struct Entry {
        DocumentResult result;
        bool held = false;
        std::uint64_t tag = 0;
        qsizetype shown = 0;  // messages shown when the document was processed
        bool filled = true;
    };
    std::deque<Entry> entries_;
};

}  // namespace batch
