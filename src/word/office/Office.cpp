#include "word/office/Office.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <string_view>
#include <thread>
#include <vector>

#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <rtl/ustring.hxx>

#include "docx/Error.h"
#include "filesafe/Paths.h"
#include "word/Word.h"
#include "word/office/Backend.h"
#include "word/office/OfficeTemp.h"
#include "word/office/Uno.h"

namespace word::office {
namespace {

using css::uno::Reference;

// soffice.bin asks to be started again after it has set up a new profile.
constexpr int kRestartExit = 81;

std::string FileUrl(const std::string& path) {
    static const char hex[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (unsigned char c : path) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            url += static_cast<char>(c);
        } else {
            url += '%';
            url += hex[c >> 4];
            url += hex[c & 15];
        }
    }
    return url;
}

void MakeFolders(const std::string& path) {
    for (size_t at = 1; at <= path.size(); ++at) {
        if (at == path.size() || path[at] == '/')
            ::mkdir(path.substr(0, at).c_str(), 0700);
    }
}

// Where the office runs under a file size limit (a hard limit of ulimit -f; it is given the
// hard limit as its own), a sentence that names it: the office writes files of its own (its
// profile, its temporary files) and dies when one of them reaches the limit. Empty without one.
std::string FileSizeLimitNote() {
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_max == RLIM_INFINITY)
        return {};
    return " This run is under a file size limit of " + std::to_string(limit.rlim_max) +
           " bytes (ulimit -f), which LibreOffice's own files may have reached; raise the limit "
           "for LibreOffice to work.";
}

// Where Writer was installed without its interface files (Debian's libreoffice-writer-nogui), a
// sentence that says so: a view of a document with comments builds a window for each from
// them, and the office ends without them. Empty when they are there.
std::string MissingInterfaceNote(const std::string& program) {
    struct stat st {};
    if (::stat((filesafe::DirOf(program) + "/../share/config/soffice.cfg/modules/swriter/ui/"
                                           "annotation.ui")
                   .c_str(),
               &st) == 0)
        return {};
    return " LibreOffice Writer is installed without its interface files (the package "
           "libreoffice-writer-nogui), without which it ends on a document with comments in the "
           "modes that search for x; install libreoffice-writer instead.";
}

}  // namespace

OfficeSettings DefaultSettings() {
    OfficeSettings s;
    s.program = std::string(LINEFORGE_OFFICE_PROGRAM) + "/soffice.bin";
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    const char* home = std::getenv("HOME");
    std::string cache = xdg && *xdg ? xdg : std::string(home && *home ? home : "/tmp") + "/.cache";
    s.cacheFolder = cache + "/lineforge/office";
    return s;
}

struct Office::Impl {
    OfficeSettings settings = DefaultSettings();
    std::recursive_mutex callMutex;
    Reference<css::uno::XComponentContext> local;
    Reference<css::uno::XComponentContext> remote;
    Reference<css::frame::XDesktop2> desktop;
    std::atomic<pid_t> pid{0};
    std::atomic<int> starts{0};
    int slotFd = -1;
    int slot = -1;
    std::string profile;
    std::string tempFolder;  // this start's, or "" for the system's (see OfficeTemp.h)

    // The watchdog of the bounded wait.
    std::mutex watchMutex;
    std::condition_variable watchCv;
    std::chrono::steady_clock::time_point deadline;
    bool armed = false;
    bool fired = false;
    bool stop = false;
    std::thread watchdog;

    void Arm(std::chrono::milliseconds limit) {
        std::lock_guard<std::mutex> l(watchMutex);
        deadline = std::chrono::steady_clock::now() + limit;
        armed = true;
        fired = false;
        watchCv.notify_all();
    }
    // True when the watchdog ended the office during the call.
    bool Disarm() {
        std::lock_guard<std::mutex> l(watchMutex);
        armed = false;
        return fired;
    }
    void Watch() {
        std::unique_lock<std::mutex> l(watchMutex);
        while (!stop) {
            if (!armed) {
                watchCv.wait(l);
                continue;
            }
            if (watchCv.wait_until(l, deadline) == std::cv_status::timeout && armed &&
                std::chrono::steady_clock::now() >= deadline) {
                fired = true;
                armed = false;
                KillProcess();
            }
        }
    }

    void KillProcess() {
        const pid_t p = pid.load();
        if (p > 0) {
            ::kill(-p, SIGKILL);
            ::kill(p, SIGKILL);
        }
    }

    // Whether the office of that start (a Starts() value) still runs.
    bool Serves(int start) { return start == starts.load() && desktop.is() && Alive(); }

    // What may explain an office that ended on its own, for its message.
    std::string EndNotes() const {
        return FileSizeLimitNote() + MissingInterfaceNote(settings.program);
    }

    bool Alive() {
        const pid_t p = pid.load();
        if (p <= 0)
            return false;
        int status = 0;
        if (::waitpid(p, &status, WNOHANG) == p) {
            pid = 0;
            return false;
        }
        return true;
    }

    // Forgets the office: ends it if it still runs, drops the references into it and disposes
    // the bridge to it, which joins the bridge's threads.
    void Reset() {
        const pid_t p = pid.load();
        if (p > 0) {
            KillProcess();
            int status = 0;
            ::waitpid(p, &status, 0);
            pid = 0;
        }
        desktop.clear();
        remote.clear();
        DisposeBridges();
        RemoveOfficeTempFolder(tempFolder);
        tempFolder.clear();
    }

    void DisposeBridges() noexcept {
        if (!local.is())
            return;
        try {
            for (const auto& bridge :
                 css::bridge::BridgeFactory::create(local)->getExistingBridges()) {
                Reference<css::lang::XComponent> c(bridge, css::uno::UNO_QUERY);
                if (c.is())
                    c->dispose();
            }
        } catch (...) {
        }
    }

    // Takes the first profile slot no other process of this user holds; the lock lasts as
    // long as this process.
    void TakeProfile() {
        if (slotFd >= 0)
            return;
        MakeFolders(settings.cacheFolder);
        for (int i = 0; i < 256; ++i) {
            const std::string lock = settings.cacheFolder + "/slot-" + std::to_string(i) + ".lock";
            const int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
            if (fd < 0)
                break;
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
                slotFd = fd;
                slot = i;
                profile = settings.cacheFolder + "/profile-" + std::to_string(i);
                return;
            }
            ::close(fd);
        }
        throw word::Error(runtime::kServerUnavailable,
                          "LibreOffice could not be started: no profile "
                          "folder could be taken under \"" +
                              settings.cacheFolder + "\".");
    }

    pid_t Spawn(const std::string& pipe) {
        std::vector<std::string> args = {settings.program,
                                         "--headless",
                                         "--invisible",
                                         "--nocrashreport",
                                         "--nodefault",
                                         "--nologo",
                                         "--nofirststartwizard",
                                         "--norestore",
                                         "--nolockcheck",
                                         "-env:UserInstallation=" + FileUrl(profile),
                                         "--accept=pipe,name=" + pipe + ";urp;"};
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        // The environment is made before the fork: the child of a process with threads may only
        // call what is safe in a signal handler.
        std::vector<std::string> environment;
        for (char** e = environ; *e; ++e)
            if (std::string_view(*e).rfind("TMPDIR=", 0) != 0)
                environment.emplace_back(*e);
        if (!tempFolder.empty())
            environment.push_back("TMPDIR=" + tempFolder);
        std::vector<char*> envp;
        for (std::string& e : environment)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        const pid_t parent = ::getpid();
        const pid_t child = ::fork();
        if (child == 0) {
            ::setsid();
            // An office outliving a killed program would keep the profile and be found by the
            // next start of it, so it ends with the thread that started it (the main thread).
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (::getppid() != parent)
                ::_exit(127);
            // The limit is set for the documents, which this process writes; the office's own
            // files get as much room as the hard limit allows (see FileSizeLimitNote).
            struct rlimit fsize {};
            if (::getrlimit(RLIMIT_FSIZE, &fsize) == 0 && fsize.rlim_cur != fsize.rlim_max) {
                fsize.rlim_cur = fsize.rlim_max;
                ::setrlimit(RLIMIT_FSIZE, &fsize);
            }
            const int null = ::open("/dev/null", O_RDWR);
            if (null >= 0) {
                ::dup2(null, 0);
                ::dup2(null, 1);
                ::dup2(null, 2);
            }
            ::execve(argv[0], argv.data(), envp.data());
            ::_exit(127);
        }
        if (child < 0)
            throw word::Error(runtime::kServerUnavailable,
                              "LibreOffice could not be started (fork failed).");
        return child;
    }

    void Start() {
        if (!watchdog.joinable()) {
            {
                std::lock_guard<std::mutex> w(watchMutex);
                stop = false;
            }
            watchdog = std::thread([this] { Watch(); });
        }
        if (!local.is()) {
            ::setenv("URE_BOOTSTRAP",
                     "vnd.sun.star.pathname:" LINEFORGE_OFFICE_PROGRAM "/fundamentalrc", 0);
            local = cppu::defaultBootstrap_InitialComponentContext();
        }
        TakeProfile();
        tempFolder = MakeOfficeTempFolder();  // the last start's went with it in Reset
        // The slot tells apart the offices of one process (each worker has its own), the start
        // count an office from the ones it replaced.
        const std::string pipe = "lineforge-" + std::to_string(::getpid()) + "-" +
                                 std::to_string(slot) + "-" + std::to_string(starts.load() + 1);
        const rtl::OUString url = Ou("uno:pipe,name=" + pipe + ";urp;StarOffice.ComponentContext");
        for (int attempt = 0; attempt < 3; ++attempt) {
            pid = Spawn(pipe);
            ++starts;
            const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
            bool restart = false;
            while (std::chrono::steady_clock::now() < giveUp) {
                try {
                    Reference<css::uno::XInterface> x =
                        css::bridge::UnoUrlResolver::create(local)->resolve(url);
                    remote.set(x, css::uno::UNO_QUERY_THROW);
                    desktop = css::frame::Desktop::create(remote);
                    return;
                } catch (const css::connection::NoConnectException&) {
                } catch (const css::uno::RuntimeException&) {
                }
                int status = 0;
                if (::waitpid(pid, &status, WNOHANG) == pid.load()) {
                    pid = 0;
                    if (WIFEXITED(status) && WEXITSTATUS(status) == kRestartExit) {
                        restart = true;
                        break;
                    }
                    throw word::Error(runtime::kServerUnavailable,
                                      "LibreOffice (" + settings.program +
                                          ") ended while starting (status " +
                                          std::to_string(status) + ")." + FileSizeLimitNote());
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            if (!restart) {
                Reset();
                throw word::Error(runtime::kServerUnavailable,
                                  "LibreOffice did not answer within a minute of its start.");
            }
        }
        throw word::Error(runtime::kServerUnavailable, "LibreOffice kept asking to be restarted.");
    }
};

Office::Office(OfficeSettings settings) : impl_(std::make_unique<Impl>()) {
    impl_->settings = std::move(settings);
}

Office::~Office() {
    Shutdown();
}

OfficeConnection::OfficeConnection() : office_(std::make_unique<Office>()) {}

OfficeConnection::~OfficeConnection() = default;

void Office::Configure(OfficeSettings settings) {
    std::lock_guard<std::recursive_mutex> l(impl_->callMutex);
    impl_->settings = std::move(settings);
}

bool Office::Installed() const {
    return ::access(impl_->settings.program.c_str(), X_OK) == 0;
}

void Office::Call(const std::string& what,
                  const std::function<void(const Reference<css::uno::XComponentContext>&,
                                           const Reference<css::frame::XDesktop2>&)>& f) {
    Impl& m = *impl_;
    std::lock_guard<std::recursive_mutex> l(m.callMutex);
    if (!m.desktop.is() || !m.Alive()) {
        m.Reset();
        m.Start();
    }
    auto died = [&](bool fired) {
        m.Reset();
        const auto seconds =
            std::chrono::duration_cast<std::chrono::seconds>(m.settings.callLimit).count();
        throw word::Error(
            runtime::kServerUnavailable,
            what + ": LibreOffice " +
                (fired ? "did not answer within " + std::to_string(seconds) + " s and was ended"
                       : "ended unexpectedly") +
                ". The document was left as it was." + (fired ? "" : m.EndNotes()));
    };
    m.Arm(m.settings.callLimit);
    try {
        f(m.remote, m.desktop);
    } catch (const css::lang::DisposedException&) {
        // The connection is gone: the office died, or is dying.
        died(m.Disarm());
    } catch (const css::uno::Exception& e) {
        const bool fired = m.Disarm();
        if (fired || !m.Alive())
            died(fired);
        throw word::Error(docx::kFileAccess, what + ": " + Utf8(e.Message));
    } catch (...) {
        const bool fired = m.Disarm();
        if (fired || !m.Alive())
            died(fired);
        throw;
    }
    if (m.Disarm())
        died(true);
}

void Office::CallInOwnStart(int start, const std::string& what,
                            const std::function<void(const Reference<css::uno::XComponentContext>&,
                                                     const Reference<css::frame::XDesktop2>&)>& f) {
    Impl& m = *impl_;
    std::lock_guard<std::recursive_mutex> l(m.callMutex);
    if (!m.Serves(start))
        throw word::Error(runtime::kServerUnavailable,
                          what +
                              ": LibreOffice ended unexpectedly while the document was open. The "
                              "document was left as it was." +
                              m.EndNotes());
    Call(what, f);
}

void Office::CallInStart(int start, const std::string& what,
                         const std::function<void(const Reference<css::uno::XComponentContext>&,
                                                  const Reference<css::frame::XDesktop2>&)>& f) {
    Impl& m = *impl_;
    std::lock_guard<std::recursive_mutex> l(m.callMutex);
    if (!m.Serves(start))
        return;
    Call(what, f);
}

pid_t Office::Pid() const {
    return impl_->pid.load();
}

int Office::Starts() const {
    return impl_->starts.load();
}

void Office::Kill() {
    impl_->KillProcess();
}

void Office::Shutdown() noexcept {
    Impl& m = *impl_;
    std::lock_guard<std::recursive_mutex> l(m.callMutex);
    if (m.desktop.is() && m.Alive()) {
        m.Arm(std::chrono::seconds(5));
        try {
            m.desktop->terminate();
        } catch (...) {
            // A dying office answers with a disposed bridge; it is ended below all the same.
        }
        m.Disarm();
    }
    m.desktop.clear();
    m.remote.clear();
    m.DisposeBridges();
    const pid_t p = m.pid.exchange(0);
    if (p > 0) {
        int status = 0;
        for (int i = 0; i < 100 && ::waitpid(p, &status, WNOHANG) == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (::waitpid(p, &status, WNOHANG) == 0) {
            ::kill(-p, SIGKILL);
            ::kill(p, SIGKILL);
            ::waitpid(p, &status, 0);
        }
    }
    RemoveOfficeTempFolder(m.tempFolder);
    m.tempFolder.clear();
    if (m.watchdog.joinable()) {
        {
            std::lock_guard<std::mutex> w(m.watchMutex);
            m.stop = true;
            m.watchCv.notify_all();
        }
        m.watchdog.join();
    }
    if (m.slotFd >= 0) {
        ::close(m.slotFd);
        m.slotFd = -1;
        m.slot = -1;
    }
    // The local context and its service manager hold each other: without the dispose they and
    // everything UNO loaded for them outlive the connection.
    try {
        Reference<css::lang::XComponent> context(m.local, css::uno::UNO_QUERY);
        if (context.is())
            context->dispose();
    } catch (...) {
    }
    m.local.clear();
}

}  // namespace word::office
