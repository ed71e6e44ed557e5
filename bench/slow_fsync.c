/* A disk made slow on purpose, for the benchmarks: preloaded into a process (LD_PRELOAD), it
 * makes every flush to disk (fsync, fdatasync, syncfs, sync_file_range) wait a fixed time before
 * it is carried out, and counts them.
 *
 *   LF_SLOW_FSYNC_MS      the wait in milliseconds (default 5; 0 only counts)
 *   LF_SLOW_FSYNC_COUNTS  a file that receives the counts when the process exits, one line
 *                         "flushes N" (the sum) and one line per call ("fsync N", ...),
 *                         appended, so that each process it is preloaded into adds its own;
 *                         without it the counts go to stderr */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdatomic.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

enum { kFsync, kFdatasync, kSyncfs, kSyncFileRange, kKinds };
static const char* const kNames[kKinds] = {"fsync", "fdatasync", "syncfs", "sync_file_range"};
static atomic_long counts[kKinds];

static long DelayMs(void) {
    const char* text = getenv("LF_SLOW_FSYNC_MS");
    if (!text || !*text)
        return 5;
    const long ms = strtol(text, NULL, 10);
    return ms < 0 ? 0 : ms;
}

static void Wait(int kind) {
    atomic_fetch_add(&counts[kind], 1);
    const long ms = DelayMs();
    if (ms == 0)
        return;
    struct timespec left = {ms / 1000, (ms % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

static void* Next(const char* name) {
    return dlsym(RTLD_NEXT, name);
}

int fsync(int fd) {
    static int (*real)(int);
    if (!real)
        real = (int (*)(int))Next("fsync");
    const int saved = errno;
    Wait(kFsync);
    errno = saved;
    return real(fd);
}

int fdatasync(int fd) {
    static int (*real)(int);
    if (!real)
        real = (int (*)(int))Next("fdatasync");
    const int saved = errno;
    Wait(kFdatasync);
    errno = saved;
    return real(fd);
}

int syncfs(int fd) {
    static int (*real)(int);
    if (!real)
        real = (int (*)(int))Next("syncfs");
    const int saved = errno;
    Wait(kSyncfs);
    errno = saved;
    return real(fd);
}

int sync_file_range(int fd, off_t offset, off_t nbytes, unsigned int flags) {
    static int (*real)(int, off_t, off_t, unsigned int);
    if (!real)
        real = (int (*)(int, off_t, off_t, unsigned int))Next("sync_file_range");
    const int saved = errno;
    Wait(kSyncFileRange);
    errno = saved;
    return real(fd, offset, nbytes, flags);
}

__attribute__((destructor)) static void Report(void) {
    const char* path = getenv("LF_SLOW_FSYNC_COUNTS");
    FILE* out = path && *path ? fopen(path, "a") : stderr;
    if (!out)
        return;
    long total = 0;
    for (int k = 0; k < kKinds; ++k)
        total += atomic_load(&counts[k]);
    fprintf(out, "flushes %ld\n", total);
    for (int k = 0; k < kKinds; ++k)
        fprintf(out, "%s %ld\n", kNames[k], atomic_load(&counts[k]));
    if (out != stderr)
        fclose(out);
}
