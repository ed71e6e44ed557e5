#pragma once

#include <QString>
#include <string>
#include <vector>

#include "intake/GetSubDirectories.h"

namespace batch {

// What the folder walk left out without an error: each is reported on its own, and the run then
// ends with status 1, since documents may have been missed.
class LeftOut : public AddFolder::WalkSkips {
  public:
    struct Item {
        QString path;
        Reason reason;
    };
    void Skipped(const QString& path, Reason reason) override { items.push_back({path, reason}); }
    std::vector<Item> items;
};

// Why a path was left out, as the report says it.
QString LeftOutReason(AddFolder::WalkSkips::Reason reason);

// One line of --json output for a path left out:
// {"path":…,"outcome":"left out","saved":false,"insertions":0,"messages":[reason]}.
std::string LeftOutJson(const LeftOut::Item& item);

}  // namespace batch
