#pragma once

#include <QString>
#include <string>

#include "batch/ProcessDocument.h"

namespace batch {

// The JSON is written by hand rather than through QJsonDocument, which sorts the keys of an
// object: readers of the output see the keys in the order documented, path first.

// text as a JSON string literal (quotes included), UTF-8: quote, backslash and every control
// character escaped; a lone surrogate becomes "?", as Qt encodes it.
std::string JsonString(const QString& text);

// One line of --json output for a document:
// {"path":…,"outcome":…,"saved":…,"insertions":…,"messages":[…]}.
std::string DocumentJson(const DocumentResult& result);

}  // namespace batch
