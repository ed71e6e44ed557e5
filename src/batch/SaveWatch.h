#pragma once

#include <string>

#include "word/Registry.h"

namespace batch {

// Counts the saves that completed in the Word instances made through a watched registry, so a
// caller can tell afterwards whether a procedure wrote its document.
class SaveWatch {
  public:
    // A SaveAs call returned normally.
    void Saved() { ++saves_; }
    int Saves() const { return saves_; }
    void Reset() { saves_ = 0; }

  private:
    int saves_ = 0;
};

// Registers progId in watched so that each creation makes an instance of progId from engine
// and hands it out behind a thin layer that reports every completed Document.SaveAs to watch.
// Everything else passes through unchanged. engine and watch must outlive watched's objects.
void RegisterWatched(word::Registry& watched, const word::Registry& engine,
                     const std::string& progId, SaveWatch& watch);

}  // namespace batch
