/* A pass-through FUSE file system over a folder that keeps only the first megabyte of each
 * file: writes past it are acknowledged and dropped, and the size reported is the size written,
 * as fake-capacity memory sticks and some network shares do. What was written stays in the
 * page cache (writeback cache, keep_cache): only a read past it shows what was lost.
 *
 *   kt_lying_fs BACKING MOUNTPOINT [FUSE options]     (unmount with fusermount3 -u)
 */
#define _GNU_SOURCE
#define FUSE_USE_VERSION 31
#include <errno.h>
#include <fcntl.h>
#include <fuse.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#define KEPT (1 << 20)

static char g_backing[PATH_MAX];

/* The size each file claims: what was written to it, kept or not. */
static struct
{
    char path[PATH_MAX];
    off_t size;
} g_claims[64];

static void backed(char* out, const char* path)
{
    snprintf(out, PATH_MAX, "%s%s", g_backing, path);
}

static off_t* claim(const char* path, int make)
{
    for (int i = 0; i < 64; ++i)
        if (strcmp(g_claims[i].path, path) == 0)
            return &g_claims[i].size;
    for (int i = 0; make && i < 64; ++i)
        if (!g_claims[i].path[0]) {
            snprintf(g_claims[i].path, PATH_MAX, "%s", path);
            g_claims[i].size = 0;
            return &g_claims[i].size;
        }
    return NULL;
}

static int fs_getattr(const char* path, struct stat* st, struct fuse_file_info* fi)
{
    (void)fi;
    char p[PATH_MAX];
    backed(p, path);
    if (lstat(p, st) != 0)
        return -errno;
    off_t* size = claim(path, 0);
    if (size && *size > st->st_size)
        st->st_size = *size;
    return 0;
}

static int fs_open(const char* path, struct fuse_file_info* fi)
{
    char p[PATH_MAX];
    backed(p, path);
    int fd = open(p, fi->flags & ~O_DIRECT);
    if (fd < 0)
        return -errno;
    fi->fh = (uint64_t)fd;
    fi->keep_cache = 1; /* what was written stays readable from the page cache */
    return 0;
}

static int fs_create(const char* path, mode_t mode, struct fuse_file_info* fi)
{
    char p[PATH_MAX];
    backed(p, path);
    int fd = open(p, (fi->flags & ~O_DIRECT) | O_CREAT, mode);
    if (fd < 0)
        return -errno;
    fi->fh = (uint64_t)fd;
    fi->keep_cache = 1;
    off_t* size = claim(path, 1);
    if (size)
        *size = 0;
    return 0;
}

static int fs_read(const char* path, char* buf, size_t n, off_t off, struct fuse_file_info* fi)
{
    (void)path;
    ssize_t r = pread((int)fi->fh, buf, n, off);
    return r < 0 ? -errno : (int)r;
}

static int fs_write(const char* path, const char* buf, size_t n, off_t off, struct fuse_file_info* fi)
{
    size_t kept = off >= KEPT ? 0 : (size_t)(KEPT - off) < n ? (size_t)(KEPT - off) : n;
    if (kept > 0 && pwrite((int)fi->fh, buf, kept, off) != (ssize_t)kept)
        return -errno;
    off_t* size = claim(path, 1);
    if (size && off + (off_t)n > *size)
        *size = off + (off_t)n;
    return (int)n; /* all of it, as far as anyone can tell */
}

static int fs_release(const char* path, struct fuse_file_info* fi)
{
    (void)path;
    close((int)fi->fh);
    return 0;
}

static int fs_fsync(const char* path, int data, struct fuse_file_info* fi)
{
    (void)path, (void)data;
    return fsync((int)fi->fh) == 0 ? 0 : -errno;
}

static int fs_utimens(const char* path, const struct timespec tv[2], struct fuse_file_info* fi)
{
    char p[PATH_MAX];
    backed(p, path);
    return (fi ? futimens((int)fi->fh, tv) : utimensat(AT_FDCWD, p, tv, AT_SYMLINK_NOFOLLOW)) == 0 ? 0
                                                                                                   : -errno;
}

static int fs_statfs(const char* path, struct statvfs* st)
{
    (void)path;
    return statvfs(g_backing, st) == 0 ? 0 : -errno;
}

// Writes stay in the page cache as on a disk file system (written back at fsync), and stay
// there when the backing file's times change.
static void* fs_init(struct fuse_conn_info* conn, struct fuse_config* cfg)
{
    (void)cfg;
    conn->want &= ~FUSE_CAP_AUTO_INVAL_DATA;
    if (conn->capable & FUSE_CAP_WRITEBACK_CACHE)
        conn->want |= FUSE_CAP_WRITEBACK_CACHE;
    return NULL;
}

static const struct fuse_operations g_ops = {
    .init = fs_init,
    .getattr = fs_getattr,
    .open = fs_open,
    .read = fs_read,
    .write = fs_write,
    .statfs = fs_statfs,
    .release = fs_release,
    .fsync = fs_fsync,
    .create = fs_create,
    .utimens = fs_utimens,
};

int main(int argc, char* argv[])
{
    if (argc < 3 || !realpath(argv[1], g_backing)) {
        fprintf(stderr, "usage: kt_lying_fs BACKING MOUNTPOINT [FUSE options]\n");
        return 2;
    }
    argv[1] = argv[0]; /* FUSE sees: program MOUNTPOINT options */
    return fuse_main(argc - 1, argv + 1, &g_ops, NULL);
}
