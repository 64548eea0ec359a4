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
 * Other values of KT_FAULT_OP:
 *   "open"   the faulty opens of the path (the name as passed to open) fail with KT_FAULT_ERRNO
 *   "lie"    storage that did not keep what it acknowledged: once the path was flushed (fsync),
 *            reads of it (read, pread) return zeros for the bytes at and past KT_FAULT_SHORT
 *   "alloc"  no memory: the faulty allocations of at least KT_FAULT_SHORT bytes (malloc,
 *            aligned_alloc, posix_memalign) fail, counted among such allocations
 *   "space"  every volume asked for its space (statvfs) has exactly KT_FAULT_SHORT bytes
 *            free and available, whoever asks: a free-space check without a mount
 *
 * A hook runs a shell command once, at an exact moment, for changing files under a running
 * pack (it runs to its end before the call goes on, without the shim in its environment):
 *   KT_HOOK_CMD   the command (sh -c)
 *   KT_HOOK_PATH  the path watched (for "open", the name as passed to open)
 *   KT_HOOK_OP    "write", "read", "open", "create" (an open with O_CREAT), "rename" (of the
 *                 path to elsewhere) or "close": which calls on the path are counted
 *   KT_HOOK_AT    the hook runs before the call with this number, counted from 1
 *   KT_HOOK_EVERY when 1, also before every later call
 * and "close" is also a fault: KT_FAULT_OP=close makes the faulty closes of the path report
 * KT_FAULT_ERRNO after the descriptor was really closed (as NFS reports late write errors).
 *
 *   KT_TRACE_FILE  appends "fsync PATH", "syncfs PATH" and "rename FROM" lines, in the order
 *                  of the calls, so a test can tell what was made durable before what moved
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/sendfile.h>
#include <sys/statvfs.h>
#include <sys/types.h>
#include <sys/wait.h>
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

static int fd_path(int fd, char* target, size_t size)
{
    char link[64];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    ssize_t n = fd < 0 ? -1 : readlink(link, target, size - 1);
    if (n < 0)
        return 0;
    target[n] = '\0';
    return 1;
}

static int on_path(int fd)
{
    const char* path = getenv("KT_FAULT_PATH");
    if (!path || !*path || fd < 0)
        return 0;
    char target[PATH_MAX];
    return fd_path(fd, target, sizeof target) && strcmp(target, path) == 0;
}

static void run_hook(void)
{
    const char* cmd = getenv("KT_HOOK_CMD");
    if (!cmd || !*cmd)
        return;
    pid_t pid = fork();
    if (pid == 0) {
        unsetenv("LD_PRELOAD"); /* a second packer started by the hook runs unfaulted */
        execl("/bin/sh", "sh", "-c", cmd, (char*)NULL);
        _exit(127);
    }
    int status;
    while (pid > 0 && waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

static long g_hookCalls = 0;

/* Counts a call of kind `op` on `path` and runs the hook before the chosen one. */
static void hook_point(const char* op, const char* path)
{
    const char* want = getenv("KT_HOOK_OP");
    const char* watched = getenv("KT_HOOK_PATH");
    if (!want || strcmp(want, op) != 0 || !watched || !path || strcmp(watched, path) != 0)
        return;
    int saved = errno;
    long at = env_long("KT_HOOK_AT", 1);
    if (++g_hookCalls == at || (g_hookCalls > at && env_long("KT_HOOK_EVERY", 0) == 1))
        run_hook();
    errno = saved;
}

static void hook_fd(const char* op, int fd)
{
    char target[PATH_MAX];
    if (getenv("KT_HOOK_CMD") && fd_path(fd, target, sizeof target))
        hook_point(op, target);
}

static void trace(const char* what, const char* path)
{
    const char* file = getenv("KT_TRACE_FILE");
    if (!file || !*file || !path)
        return;
    int saved = errno;
    FILE* f = fopen(file, "ae");
    if (f) {
        fprintf(f, "%s %s\n", what, path);
        fclose(f);
    }
    errno = saved;
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
    case 1:
        return 1;
    case 2:
        return *n == 0 ? 2 : 0;
    default:
        return 0;
    }
}

#define REAL(name)                                                                                           \
    static __typeof__(&name) real_##name;                                                                    \
    if (!real_##name)                                                                                        \
    real_##name = (__typeof__(&name))dlsym(RTLD_NEXT, #name)
#define FAULT(in, out, n)                                                                                    \
    switch (faulted(in, out, &n)) {                                                                          \
    case 1:                                                                                                  \
        return -1;                                                                                           \
    case 2:                                                                                                  \
        return 0;                                                                                            \
    }

static int g_flushed = 0; /* the lie's path was flushed */

/* Storage that kept nothing past KT_FAULT_SHORT: the bytes read there become zeros. */
static void lie(int fd, void* buf, ssize_t got, off64_t at)
{
    if (got <= 0 || !g_flushed || !op_is("lie") || !on_path(fd))
        return;
    long keep = env_long("KT_FAULT_SHORT", 0);
    for (ssize_t i = 0; i < got; ++i)
        if (at + i >= keep)
            ((char*)buf)[i] = 0;
}

ssize_t write(int fd, const void* buf, size_t n)
{
    REAL(write);
    hook_fd("write", fd);
    FAULT(-1, fd, n)
    return real_write(fd, buf, n);
}

ssize_t read(int fd, void* buf, size_t n)
{
    REAL(read);
    hook_fd("read", fd);
    FAULT(fd, -1, n)
    off64_t at = g_flushed ? lseek64(fd, 0, SEEK_CUR) : 0;
    ssize_t got = real_read(fd, buf, n);
    lie(fd, buf, got, at);
    return got;
}

ssize_t pread64(int fd, void* buf, size_t n, off64_t at)
{
    REAL(pread64);
    ssize_t got = real_pread64(fd, buf, n, at);
    lie(fd, buf, got, at);
    return got;
}

ssize_t pread(int fd, void* buf, size_t n, off_t at)
{
    return pread64(fd, buf, n, at);
}

ssize_t copy_file_range(int in, off64_t* inOff, int out, off64_t* outOff, size_t n, unsigned flags)
{
    REAL(copy_file_range);
    hook_fd("read", in);
    hook_fd("write", out);
    FAULT(in, out, n)
    return real_copy_file_range(in, inOff, out, outOff, n, flags);
}

ssize_t sendfile(int out, int in, off_t* offset, size_t n)
{
    REAL(sendfile);
    hook_fd("read", in);
    hook_fd("write", out);
    FAULT(in, out, n)
    return real_sendfile(out, in, offset, n);
}

/* Opens: the hook may change the file just before it is opened. */
static int open_mode(int flags, va_list ap)
{
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? va_arg(ap, int) : 0;
}

/* Runs the hooks of an open and says whether it must fail (errno set). */
static int opening(const char* path, int flags)
{
    hook_point("open", path);
    if (flags & O_CREAT)
        hook_point("create", path);
    const char* faulty = getenv("KT_FAULT_PATH");
    size_t none = 1;
    return op_is("open") && faulty && path && strcmp(faulty, path) == 0 && decide(&none) == 1;
}

int open(const char* path, int flags, ...)
{
    REAL(open);
    va_list ap;
    va_start(ap, flags);
    int mode = open_mode(flags, ap);
    va_end(ap);
    return opening(path, flags) ? -1 : real_open(path, flags, mode);
}

int open64(const char* path, int flags, ...)
{
    REAL(open64);
    va_list ap;
    va_start(ap, flags);
    int mode = open_mode(flags, ap);
    va_end(ap);
    return opening(path, flags) ? -1 : real_open64(path, flags, mode);
}

int close(int fd)
{
    REAL(close);
    hook_fd("close", fd);
    int failing = op_is("close") && on_path(fd);
    int r = real_close(fd);
    if (r == 0 && failing) {
        size_t none = 1;
        if (decide(&none) == 1)
            return -1;
    }
    return r;
}

int fsync(int fd)
{
    REAL(fsync);
    char target[PATH_MAX];
    if (getenv("KT_TRACE_FILE") && fd_path(fd, target, sizeof target))
        trace("fsync", target);
    if (op_is("lie") && on_path(fd))
        g_flushed = 1;
    return real_fsync(fd);
}

int syncfs(int fd)
{
    REAL(syncfs);
    char target[PATH_MAX];
    if (getenv("KT_TRACE_FILE") && fd_path(fd, target, sizeof target))
        trace("syncfs", target);
    return real_syncfs(fd);
}

int rename(const char* from, const char* to)
{
    REAL(rename);
    hook_point("rename", from);
    trace("rename", from);
    return real_rename(from, to);
}

/* Allocations: glibc's own entry points underneath, so nothing here allocates. */
extern void* __libc_malloc(size_t);
extern void* __libc_memalign(size_t, size_t);
static long g_allocs = 0;

static int out_of_memory(size_t n)
{
    if (!op_is("alloc") || (long)n < env_long("KT_FAULT_SHORT", 1L << 40))
        return 0;
    long call = ++g_allocs, at = env_long("KT_FAULT_AT", 1), count = env_long("KT_FAULT_COUNT", 0);
    return call >= at && (count == 0 || call < at + count);
}

void* malloc(size_t n)
{
    if (out_of_memory(n)) {
        errno = ENOMEM;
        return NULL;
    }
    return __libc_malloc(n);
}

void* aligned_alloc(size_t alignment, size_t n)
{
    if (out_of_memory(n)) {
        errno = ENOMEM;
        return NULL;
    }
    return __libc_memalign(alignment, n);
}

int posix_memalign(void** p, size_t alignment, size_t n)
{
    if (out_of_memory(n))
        return ENOMEM;
    *p = __libc_memalign(alignment, n);
    return *p ? 0 : ENOMEM;
}

int statvfs64(const char* path, struct statvfs64* buf)
{
    REAL(statvfs64);
    int r = real_statvfs64(path, buf);
    if (r == 0 && op_is("space")) {
        buf->f_bsize = buf->f_frsize = 1;
        buf->f_blocks = buf->f_bfree = buf->f_bavail = (fsblkcnt64_t)env_long("KT_FAULT_SHORT", 0);
    }
    return r;
}
