/* A fault injector for the join, loaded with LD_PRELOAD into klivatarn-pack.
 *
 * It wraps the calls that move file data (write, read, copy_file_range, sendfile) and
 * acts only on descriptors open on one path, configured through the environment:
 *   KT_FAULT_MARKER  file created when the shim loads (a test fails without it)
 *   KT_FAULT_PATH    the path whose transfers are faulted (as /proc/self/fd shows it)
 *   KT_FAULT_OP      "write" (data going into the path) or "read" (data coming from it)
 *   KT_FAULT_AT      the first faulty call, counted from 1 among the calls on the path
 *   KT_FAULT_COUNT   how many calls are faulty (0: every call from KT_FAULT_AT on)
 *   KT_FAULT_ERRNO   the error of a faulty call (0: none, the call goes through)
 *   KT_FAULT_SHORT   the first faulty call moves at most this many bytes instead of failing,
 *                    and so do the later ones when KT_FAULT_ERRNO is 0 (0 on a read: end of file)
 *   KT_FAULT_SLEEP_MS  every call on the path first sleeps this long
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/sendfile.h>
#include <time.h>
#include <unistd.h>

static long env_long(const char* name, long fallback)
{
    const char* v = getenv(name);
    return v && *v ? strtol(v, NULL, 10) : fallback;
}

__attribute__((constructor)) static void shim_loaded(void)
{
    const char* marker = getenv("KT_FAULT_MARKER");
    if (marker && *marker) {
        int fd = open(marker, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd >= 0)
            close(fd);
    }
}

static int on_path(int fd)
{
    const char* path = getenv("KT_FAULT_PATH");
    if (!path || !*path || fd < 0)
        return 0;
    char link[64], target[PATH_MAX];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    ssize_t n = readlink(link, target, sizeof target - 1);
    if (n < 0)
        return 0;
    target[n] = '\0';
    return strcmp(target, path) == 0;
}

static int op_is(const char* op)
{
    const char* v = getenv("KT_FAULT_OP");
    return v && strcmp(v, op) == 0;
}

static long g_calls = 0;

/* 0: go through; 1: fail with errno set; 2: move at most *limit bytes. */
static int decide(size_t* limit)
{
    long sleep_ms = env_long("KT_FAULT_SLEEP_MS", 0);
    if (sleep_ms > 0) {
        struct timespec ts = {sleep_ms / 1000, (sleep_ms % 1000) * 1000000L};
        nanosleep(&ts, NULL);
    }
    long call = ++g_calls;
    long at = env_long("KT_FAULT_AT", 1), count = env_long("KT_FAULT_COUNT", 0);
    if (call < at || (count > 0 && call >= at + count))
        return 0;
    long shortBytes = env_long("KT_FAULT_SHORT", -1);
    int error = (int)env_long("KT_FAULT_ERRNO", 0);
    if (shortBytes >= 0 && (call == at || error == 0)) {
        if ((size_t)shortBytes < *limit)
            *limit = (size_t)shortBytes;
        return 2;
    }
    if (error == 0)
        return 0;
    errno = error;
    return 1;
}

/* Whether a call moving data out of `in` or into `out` is faulted: 1 when it must fail
 * (errno set), 2 when it must report end of file; *n may be cut short. */
static int faulted(int in, int out, size_t* n)
{
    if (!((op_is("write") && on_path(out)) || (op_is("read") && on_path(in))))
        return 0;
    switch (decide(n)) {
    case 1: return 1;
    case 2: return *n == 0 ? 2 : 0;
    default: return 0;
    }
}

#define REAL(name)                                                                                           \
    static __typeof__(&name) real_##name;                                                                    \
    if (!real_##name)                                                                                        \
    real_##name = (__typeof__(&name))dlsym(RTLD_NEXT, #name)
#define FAULT(in, out, n)                                                                                    \
    switch (faulted(in, out, &n)) {                                                                          \
    case 1: return -1;                                                                                       \
    case 2: return 0;                                                                                        \
    }

ssize_t write(int fd, const void* buf, size_t n)
{
    REAL(write);
    FAULT(-1, fd, n)
    return real_write(fd, buf, n);
}

ssize_t read(int fd, void* buf, size_t n)
{
    REAL(read);
    FAULT(fd, -1, n)
    return real_read(fd, buf, n);
}

ssize_t copy_file_range(int in, off64_t* inOff, int out, off64_t* outOff, size_t n, unsigned flags)
{
    REAL(copy_file_range);
    FAULT(in, out, n)
    return real_copy_file_range(in, inOff, out, outOff, n, flags);
}

ssize_t sendfile(int out, int in, off_t* offset, size_t n)
{
    REAL(sendfile);
    FAULT(in, out, n)
    return real_sendfile(out, in, offset, n);
}
