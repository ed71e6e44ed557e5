#include "batch/HeldResults.h"

namespace batch {

void HeldResults::Add(DocumentResult result, bool held, std::uint64_t tag) {
    const qsizetype shown = result.messages.size();
    entries_.push_back({std::move(result), held, tag, shown, true});
}

void HeldResults::Expect(std::uint64_t tag) {
    entries_.push_back({{}, false, tag, 0, false});
}

void HeldResults::Fill(std::uint64_t tag, DocumentResult result, bool held) {
    for (Entry& e : entries_)
        if (!e.filled && e.tag == tag) {
            e.result = std::move(result);
            e.held = held;
            e.filled = true;
            return;
        }
}

void HeldResults::Settle(const std::vector<filesafe::SaveGroup::Outcome>& outcomes) {
    for (const filesafe::SaveGroup::Outcome& o : outcomes)
        for (Entry& e : entries_) {
            if (!e.held || e.tag != o.tag)
                continue;
            e.held = false;
            if (!o.error.empty()) {
                e.result.outcome = Outcome::kFailed;
                e.result.messages << QString::fromStdString(o.error);
            }
            if (!o.replaced) {
                e.result.saved = false;
                e.result.insertions = 0;
            }
            break;
        }
}

std::vector<HeldResults::Ready> HeldResults::TakeReady() {
    std::vector<Ready> ready;
    while (!entries_.empty() && entries_.front().filled && !entries_.front().held) {
        Entry& e = entries_.front();
        QStringList unshown = e.result.messages.mid(e.shown);
        ready.push_back({std::move(e.result), std::move(unshown)});
        entries_.pop_front();
    }
    return ready;
}

}  // namespace batch
