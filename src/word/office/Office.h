#pragma once

// The one LibreOffice process of a program run: started headless on first need with a profile
// and a pipe of this process's own, reused by every document, ended when the program ends, and
// started again after it died. Every call into it runs under a bounded wait: a call that does
// not return in time ends the office, and the call fails.

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <string>

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

namespace word::office {

namespace css = ::com::sun::star;

// Word's error for an automation server that has gone away; here the office died or stopped
// answering during a call.
inline constexpr long kOfficeUnavailable = 462;

struct OfficeSettings {
    std::string program;                         // soffice.bin
    std::string cacheFolder;                     // where the profiles are kept
    std::chrono::milliseconds callLimit{60000};  // the bounded wait of one call
};

// The settings of a normal run: the installed office, ~/.cache/lineforge/office (or under
// XDG_CACHE_HOME), one minute per call.
OfficeSettings DefaultSettings();

class Office {
  public:
    // The process-wide office; its settings can be changed until it is first started.
    static Office& Instance();

    void Configure(OfficeSettings settings);
    // True when the office program exists.
    bool Installed() const;

    // Runs f(context, desktop) under the bounded wait, starting the office first when it is
    // not running. UNO exceptions become word::Error with `what` in their description; when the
    // office died or was ended for taking too long, kOfficeUnavailable, and the next call
    // starts a new office.
    void Call(const std::string& what,
              const std::function<void(const css::uno::Reference<css::uno::XComponentContext>&,
                                       const css::uno::Reference<css::frame::XDesktop2>&)>& f);
    // Runs f as Call does, in the office of that start (Starts() when the document f works on
    // was loaded); when that office has ended, its objects went with it: raises
    // kOfficeUnavailable naming what, and starts no other office for it.
    void CallInOwnStart(
        int start, const std::string& what,
        const std::function<void(const css::uno::Reference<css::uno::XComponentContext>&,
                                 const css::uno::Reference<css::frame::XDesktop2>&)>& f);
    // Runs f as Call does, but only in the office of that start (Starts() when its objects
    // were made) and only while it runs: the objects of an office that has died are gone.
    void CallInStart(
        int start, const std::string& what,
        const std::function<void(const css::uno::Reference<css::uno::XComponentContext>&,
                                 const css::uno::Reference<css::frame::XDesktop2>&)>& f);

    // The office process (0 when none is running), for the benchmark's memory figures and the
    // tests that kill it.
    pid_t Pid() const;
    // How many times an office was started in this run.
    int Starts() const;
    // Ends the office at once (SIGKILL), as a crash would.
    void Kill();
    // Asks the office to end, then ends it after a short wait. Called at program exit.
    void Shutdown();

  private:
    Office();
    struct Impl;
    Impl* impl_;
};

}  // namespace word::office
