#pragma once

#include <QString>
#include <vector>

namespace AddFolder {

// A one-dimensional array of texts with explicit bounds, as the original's dynamic arrays:
// slots LBound() to UBound(); reading or writing outside them raises runtime::Error 9.
class StringArray {
  public:
    // Slots lbound to ubound, all empty; ubound may be lbound - 1 (no slot).
    StringArray(int lbound, int ubound);

    int LBound() const noexcept { return lbound_; }
    int UBound() const noexcept { return lbound_ + static_cast<int>(slots_.size()) - 1; }

    // The slot numbered i; raises runtime::Error 9 ("Subscript out of range") outside the bounds.
    QString& operator()(int i);
    const QString& operator()(int i) const;

    // Makes the slots lbound to ubound, all empty ("ReDim").
    void ReDim(int lbound, int ubound);
    // Moves the upper bound, keeping the contents of the slots that remain ("ReDim Preserve").
    void ReDimPreserve(int ubound);

  private:
    int lbound_;
    std::vector<QString> slots_;
};

}  // namespace AddFolder
