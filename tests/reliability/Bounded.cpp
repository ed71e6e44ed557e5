#include "Bounded.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <exception>

#include "docx/Error.h"
#include "runtime/Error.h"

namespace reliability {
namespace {

void WriteAll(int fd, const std::string& s) {
    size_t off = 0;
    while (off < s.size()) {
        ssize_t n = ::write(fd, s.data() + off, s.size() - off);
        if (n <= 0)
            return;
        off += static_cast<size_t>(n);
    }
}

}  // namespace

BoundedResult RunBounded(const Work& work, long addressSpaceMb, unsigned seconds) {
    BoundedResult r;
    int fds[2];
    if (::pipe(fds) != 0) {
        r.message = "pipe failed";
        return r;
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        struct rlimit as {};
        as.rlim_cur = as.rlim_max = static_cast<rlim_t>(addressSpaceMb) << 20;
        ::setrlimit(RLIMIT_AS, &as);
        ::alarm(seconds);
        std::string report;
        try {
            report = "0 0\n" + work();
        } catch (const docx::Error& e) {
            report = std::to_string(e.Number()) + " " + std::to_string(static_cast<int>(e.Why())) +
                     "\n" + e.what();
        } catch (const runtime::Error& e) {
            report = std::to_string(e.Number()) + " 0\n" + e.what();
        } catch (const std::bad_alloc&) {
            report = "-7 0\nout of memory (std::bad_alloc)";
        } catch (const std::exception& e) {
            report = "-1 0\nforeign exception: " + std::string(e.what());
        }
        WriteAll(fds[1], report);
        ::close(fds[1]);
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string got;
    char buf[4096];
    for (;;) {
        ssize_t n = ::read(fds[0], buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got.append(buf, static_cast<size_t>(n));
    }
    ::close(fds[0]);
    int status = 0;
    struct rusage usage {};
    while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    r.maxRssKb = usage.ru_maxrss;
    if (WIFSIGNALED(status)) {
        r.signal = WTERMSIG(status);
        return r;
    }
    const size_t nl = got.find('\n');
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && nl != std::string::npos) {
        r.finished = true;
        const size_t space = got.find(' ');
        r.number = std::stol(got.substr(0, space));
        r.reason = static_cast<docx::Reason>(std::stoi(got.substr(space + 1, nl - space - 1)));
        r.message = got.substr(nl + 1);
    }
    return r;
}

std::string Describe(const BoundedResult& r) {
    if (r.signal)
        return std::string("killed by signal ") + std::to_string(r.signal) + " (" +
               ::strsignal(r.signal) + ")";
    if (!r.finished)
        return "the child ended without a report";
    return "finished, error " + std::to_string(r.number) + ": " + r.message;
}

}  // namespace reliability
