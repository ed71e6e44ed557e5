#include "batch/LeftOut.h"

#include "batch/Json.h"
#include "intake/PathChecks.h"

namespace batch {

QString LeftOutReason(AddFolder::WalkSkips::Reason reason) {
    switch (reason) {
        case AddFolder::WalkSkips::kUnreadable:
            return QStringLiteral("the folder cannot be read; its documents were not searched");
        case AddFolder::WalkSkips::kUnusableName:
            return QStringLiteral(
                "the name is not valid in the locale's encoding or holds a control character or "
                "\"?\"; it was left out");
        case AddFolder::WalkSkips::kPathTooLong:
            return QStringLiteral(
                "the path is too long for the folder walk (260 characters or more); what lies "
                "beneath it was not searched");
        case AddFolder::WalkSkips::kLeadsOutside:
            return QStringLiteral("it leads outside the folder");
    }
    return {};
}

std::string LeftOutJson(const LeftOut::Item& item) {
    return "{\"path\":" + JsonString(item.path) +
           ",\"outcome\":\"left out\",\"saved\":false,\"insertions\":0," + "\"messages\":[" +
           JsonString(LeftOutReason(item.reason)) + "]}";
}

}  // namespace batch
