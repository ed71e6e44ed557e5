#pragma once

// Putting text beside every occurrence the office finds, the occurrence itself left as it is:
// the built-in engine's after-x and before-x insertion, which a replace in the office would do
// by deleting the occurrence and typing it again (a tracked deletion in a document that records
// revisions).

#include <vector>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/util/XSearchDescriptor.hpp>

#include "word/office/Office.h"
#include "word/office/Search.h"

namespace word::office {

// Inserts around.before in front of and around.after behind each match of d in the stories
// Word's story ranges hold (the first text box of the main text, no other), leaving out
// matches in deleted text of tracked changes; font goes over the occurrence and the new text.
// In a document that records revisions the new text is recorded as inserted. Returns how many
// occurrences got the text.
sal_Int32 InsertAroundEach(const css::uno::Reference<css::lang::XComponent>& model,
                           const css::uno::Reference<css::util::XSearchDescriptor>& d,
                           const AroundFound& around,
                           const std::vector<css::beans::PropertyValue>& font);

}  // namespace word::office
