#include "engine/ClearFrames.h"

namespace Word1 {

void ClearFrames(const word::Ref<word::Document>& document) {
    long count = document->Frames()->Count();
    while (count != 0) {
        word::Ref<word::Frame> frame = document->Frames()->Item(1);
        if (frame->Range()->Information(word::wdWithInTable))
            frame->Range()->Tables()->Item(1)->Rows()->WrapAroundText(false);
        else
            frame->Delete();
        const long after = document->Frames()->Count();
        if (after >= count)
            break;
        count = after;
    }
}

}  // namespace Word1
