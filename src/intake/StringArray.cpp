#include "intake/StringArray.h"

#include <algorithm>

#include "runtime/Error.h"

namespace AddFolder {
namespace {

runtime::Error SubscriptOutOfRange() {
    return runtime::Error(runtime::kSubscriptOutOfRange, "Subscript out of range");
}

}  // namespace

StringArray::StringArray(int lbound, int ubound) {
    ReDim(lbound, ubound);
}

QString& StringArray::operator()(int i) {
    if (i < LBound() || i > UBound())
        throw SubscriptOutOfRange();
    return slots_[static_cast<size_t>(i - lbound_)];
}

const QString& StringArray::operator()(int i) const {
    if (i < LBound() || i > UBound())
        throw SubscriptOutOfRange();
    return slots_[static_cast<size_t>(i - lbound_)];
}

void StringArray::ReDim(int lbound, int ubound) {
    if (ubound < lbound - 1)
        throw SubscriptOutOfRange();
    lbound_ = lbound;
    slots_.assign(static_cast<size_t>(ubound - lbound + 1), QString());
}

void StringArray::ReDimPreserve(int ubound) {
    if (ubound < lbound_ - 1)
        throw SubscriptOutOfRange();
    slots_.resize(static_cast<size_t>(ubound - lbound_ + 1));
}

}  // namespace AddFolder
