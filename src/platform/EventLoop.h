#pragma once

namespace platform {

// Lets pending window events run in the middle of a long operation.
class EventLoop {
  public:
    virtual ~EventLoop() = default;
    // Processes every pending event, then returns.
    virtual void DoEvents() = 0;
};

}  // namespace platform
