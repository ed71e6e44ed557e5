#include "engine/DocumentOutcome.h"

namespace engine {

Outcome OutcomeOf(const DocumentOutcome& done) {
    if (!done.failures.empty())
        return Outcome::kFailed;
    if (done.saved)
        return Outcome::kChanged;
    if (done.unchanged)
        return Outcome::kUnchanged;
    return Outcome::kSkipped;
}

QString OutcomeName(Outcome outcome) {
    switch (outcome) {
        case Outcome::kChanged:
            return QStringLiteral("changed");
        case Outcome::kUnchanged:
            return QStringLiteral("unchanged");
        case Outcome::kSkipped:
            return QStringLiteral("skipped");
        case Outcome::kFailed:
            return QStringLiteral("failed");
    }
    return {};
}

}  // namespace engine
