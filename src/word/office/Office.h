#pragma once

// A LibreOffice process of a program run: started headless on first need with a profile slot
// and a pipe of its own, reused by every document, ended when its owner ends it, and started
// again after it died. Every call into it runs under a bounded wait: a call that does
// not return in time ends the office, and the call fails.

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

namespace word::office {

namespace css = ::com::sun::star;

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
    explicit Office(OfficeSettings settings = DefaultSettings());
    // Shutdown.
    ~Office();
    Office(const Office&) = delete;
    Office& operator=(const Office&) = delete;

    // Changes the settings; they take effect at the next start.
    void Configure(OfficeSettings settings);
    // True when the office program exists.
    bool Installed() const;

    // Runs f(context, desktop) under the bounded wait, starting the office first when it is
    // not running. UNO exceptions become word::Error with `what` in their description; when the
    // office died or was ended for taking too long, runtime::kServerUnavailable, and the next call
    // starts a new office.
    void Call(const std::string& what,
              const std::function<void(const css::uno::Reference<css::uno::XComponentContext>&,
                                       const css::uno::Reference<css::frame::XDesktop2>&)>& f);
    // Runs f as Call does, in the office of that start (Starts() when the document f works on
    // was loaded); when that office has ended, its objects went with it: raises
    // runtime::kServerUnavailable naming what, and starts no other office for it.
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
    // Ends the office for good: asks it to terminate under the bounded wait, disposes the bridge
    // (which joins UNO's threads that served it), waits for the process (killing it after a
    // short wait) and stops the watchdog. Safe to call more than once.
    void Shutdown() noexcept;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace word::office
