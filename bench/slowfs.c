// A passthrough file system that answers like a slow network share: it
// mirrors a source directory at a mount point and waits a set time before
// every call a share would answer over the wire (lookup and getattr,
// readdir, opendir, open, read). Everything else passes straight through,
// writes included, so a program that writes while it works runs unchanged.
//
//   slowfs SOURCE MOUNTPOINT [--delay=MICROSECONDS] [--counts=FILE]
//          [--timeout=SECONDS] [FUSE options, e.g. -f]
//
// Each kind of call is counted. The counts are written to FILE (or to
// standard error) when the file system is unmounted, and the hidden file
// MOUNTPOINT/.slowfs-counts reads the current counts at any time, so a
// script reads it before and after a command to see what the command cost.
// That file is not listed and reading it is not counted.
//
// --timeout is how long the kernel may keep names and attributes before
// asking again; 1 second is what a CIFS mount keeps them by default, 0 makes
// every path lookup reach the share.

#define FUSE_USE_VERSION 31
#define _GNU_SOURCE

#include <fuse.h>

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdatomic.h>
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <time.h>
#include <unistd.h>

enum Kind {
    K_GETATTR,
    K_READDIR,
    K_OPENDIR,
    K_OPEN,
    K_READ,
    // Passed through without delay, counted only.
    K_CREATE,
    K_WRITE,
    K_MKDIR,
    K_UNLINK,
    K_RMDIR,
    K_RENAME,
    K_OTHER,
    K_COUNT
};

static const char* const kind_names[K_COUNT] = {"getattr", "readdir", "opendir", "open",  "read",   "create",
                                                "write",   "mkdir",   "unlink",  "rmdir", "rename", "other"};

static const char counts_name[] = ".slowfs-counts";

struct options {
    const char* source;
    unsigned delay_us;
    const char* counts_file;
    double timeout;
};

static struct options opts = {NULL, 0, NULL, 1.0};
static int source_fd = -1;
static atomic_ulong counts[K_COUNT];

// Counts a call and, for the kinds a share answers over the wire, waits.
static void call(enum Kind kind) {
    atomic_fetch_add_explicit(&counts[kind], 1, memory_order_relaxed);
    if (kind > K_READ || opts.delay_us == 0)
        return;
    struct timespec wait = {opts.delay_us / 1000000, (long)(opts.delay_us % 1000000) * 1000};
    while (nanosleep(&wait, &wait) == -1 && errno == EINTR) {
    }
}

static int format_counts(char* buffer, size_t size) {
    int used = 0;
    for (int k = 0; k < K_COUNT && (size_t)used < size; ++k)
        used += snprintf(buffer + used, size - (size_t)used, "%s %lu\n", kind_names[k],
                         atomic_load_explicit(&counts[k], memory_order_relaxed));
    return (size_t)used < size ? used : (int)size - 1;
}

// Paths from the kernel start with "/"; the *at() calls take them relative
// to the source directory, whose descriptor survives the daemon's chdir.
static const char* rel(const char* path) {
    while (*path == '/')
        ++path;
    return *path ? path : ".";
}

static int is_counts(const char* path) {
    return strcmp(rel(path), counts_name) == 0;
}

static void* sf_init(struct fuse_conn_info* conn, struct fuse_config* cfg) {
    (void)conn;
    cfg->use_ino = 1;
    cfg->entry_timeout = opts.timeout;
    cfg->attr_timeout = opts.timeout;
    cfg->negative_timeout = opts.timeout;
    return NULL;
}

static void sf_destroy(void* data) {
    (void)data;
    char text[1024];
    format_counts(text, sizeof text);
    FILE* out = opts.counts_file ? fopen(opts.counts_file, "w") : NULL;
    fputs(text, out ? out : stderr);
    if (out)
        fclose(out);
}

static int sf_getattr(const char* path, struct stat* st, struct fuse_file_info* fi) {
    (void)fi;
    if (is_counts(path)) {
        memset(st, 0, sizeof *st);
        st->st_mode = S_IFREG | 0444;
        st->st_nlink = 1;
        st->st_size = 0; // read with direct I/O, so the size does not matter
        return 0;
    }
    call(K_GETATTR);
    return fstatat(source_fd, rel(path), st, AT_SYMLINK_NOFOLLOW) == -1 ? -errno : 0;
}

static int sf_access(const char* path, int mask) {
    call(K_OTHER);
    return faccessat(source_fd, rel(path), mask, 0) == -1 ? -errno : 0;
}

static int sf_readlink(const char* path, char* buf, size_t size) {
    call(K_OTHER);
    const ssize_t n = readlinkat(source_fd, rel(path), buf, size - 1);
    if (n == -1)
        return -errno;
    buf[n] = '\0';
    return 0;
}

static int sf_opendir(const char* path, struct fuse_file_info* fi) {
    call(K_OPENDIR);
    const int fd = openat(source_fd, rel(path), O_RDONLY | O_DIRECTORY);
    if (fd == -1)
        return -errno;
    DIR* dir = fdopendir(fd);
    if (!dir) {
        const int error = errno;
        close(fd);
        return -error;
    }
    fi->fh = (uint64_t)(uintptr_t)dir;
    return 0;
}

// The whole directory in one pass: the kernel asks again from the start if
// its buffer fills, which is rare for the folder sizes this is for.
static int sf_readdir(const char* path, void* buf, fuse_fill_dir_t filler, off_t offset, struct fuse_file_info* fi,
                      enum fuse_readdir_flags flags) {
    (void)path;
    (void)offset;
    (void)flags;
    call(K_READDIR);
    DIR* dir = (DIR*)(uintptr_t)fi->fh;
    rewinddir(dir);
    struct dirent* entry;
    while ((entry = readdir(dir)) != NULL) {
        struct stat st;
        memset(&st, 0, sizeof st);
        st.st_ino = entry->d_ino;
        st.st_mode = (mode_t)DTTOIF(entry->d_type);
        if (filler(buf, entry->d_name, &st, 0, 0))
            break;
    }
    return 0;
}

static int sf_releasedir(const char* path, struct fuse_file_info* fi) {
    (void)path;
    closedir((DIR*)(uintptr_t)fi->fh);
    return 0;
}

static int sf_open(const char* path, struct fuse_file_info* fi) {
    if (is_counts(path)) {
        if ((fi->flags & O_ACCMODE) != O_RDONLY)
            return -EACCES;
        fi->direct_io = 1;
        fi->fh = (uint64_t)-1;
        return 0;
    }
    call(K_OPEN);
    const int fd = openat(source_fd, rel(path), fi->flags);
    if (fd == -1)
        return -errno;
    fi->fh = (uint64_t)fd;
    return 0;
}

static int sf_create(const char* path, mode_t mode, struct fuse_file_info* fi) {
    call(K_CREATE);
    const int fd = openat(source_fd, rel(path), fi->flags | O_CREAT, mode);
    if (fd == -1)
        return -errno;
    fi->fh = (uint64_t)fd;
    return 0;
}

static int sf_read(const char* path, char* buf, size_t size, off_t offset, struct fuse_file_info* fi) {
    if (fi->fh == (uint64_t)-1 && is_counts(path)) {
        char text[1024];
        const int length = format_counts(text, sizeof text);
        if (offset >= length)
            return 0;
        const size_t n = (size_t)(length - offset) < size ? (size_t)(length - offset) : size;
        memcpy(buf, text + offset, n);
        return (int)n;
    }
    call(K_READ);
    const ssize_t n = pread((int)fi->fh, buf, size, offset);
    return n == -1 ? -errno : (int)n;
}

static int sf_write(const char* path, const char* buf, size_t size, off_t offset, struct fuse_file_info* fi) {
    (void)path;
    call(K_WRITE);
    const ssize_t n = pwrite((int)fi->fh, buf, size, offset);
    return n == -1 ? -errno : (int)n;
}

static int sf_flush(const char* path, struct fuse_file_info* fi) {
    (void)path;
    if (fi->fh == (uint64_t)-1)
        return 0;
    // Closing a duplicate reports the errors a close of the file would.
    const int fd = dup((int)fi->fh);
    if (fd == -1)
        return -errno;
    return close(fd) == -1 ? -errno : 0;
}

static int sf_release(const char* path, struct fuse_file_info* fi) {
    (void)path;
    if (fi->fh != (uint64_t)-1)
        close((int)fi->fh);
    return 0;
}

static int sf_fsync(const char* path, int datasync, struct fuse_file_info* fi) {
    (void)path;
    call(K_OTHER);
    const int fd = (int)fi->fh;
    return (datasync ? fdatasync(fd) : fsync(fd)) == -1 ? -errno : 0;
}

static int sf_mkdir(const char* path, mode_t mode) {
    call(K_MKDIR);
    return mkdirat(source_fd, rel(path), mode) == -1 ? -errno : 0;
}

static int sf_unlink(const char* path) {
    call(K_UNLINK);
    return unlinkat(source_fd, rel(path), 0) == -1 ? -errno : 0;
}

static int sf_rmdir(const char* path) {
    call(K_RMDIR);
    return unlinkat(source_fd, rel(path), AT_REMOVEDIR) == -1 ? -errno : 0;
}

static int sf_symlink(const char* target, const char* path) {
    call(K_OTHER);
    return symlinkat(target, source_fd, rel(path)) == -1 ? -errno : 0;
}

static int sf_link(const char* from, const char* to) {
    call(K_OTHER);
    return linkat(source_fd, rel(from), source_fd, rel(to), 0) == -1 ? -errno : 0;
}

static int sf_rename(const char* from, const char* to, unsigned int flags) {
    call(K_RENAME);
    return renameat2(source_fd, rel(from), source_fd, rel(to), flags) == -1 ? -errno : 0;
}

static int sf_chmod(const char* path, mode_t mode, struct fuse_file_info* fi) {
    call(K_OTHER);
    if (fi)
        return fchmod((int)fi->fh, mode) == -1 ? -errno : 0;
    return fchmodat(source_fd, rel(path), mode, 0) == -1 ? -errno : 0;
}

static int sf_chown(const char* path, uid_t uid, gid_t gid, struct fuse_file_info* fi) {
    call(K_OTHER);
    if (fi)
        return fchown((int)fi->fh, uid, gid) == -1 ? -errno : 0;
    return fchownat(source_fd, rel(path), uid, gid, AT_SYMLINK_NOFOLLOW) == -1 ? -errno : 0;
}

static int sf_truncate(const char* path, off_t size, struct fuse_file_info* fi) {
    call(K_OTHER);
    if (fi)
        return ftruncate((int)fi->fh, size) == -1 ? -errno : 0;
    const int fd = openat(source_fd, rel(path), O_WRONLY);
    if (fd == -1)
        return -errno;
    const int result = ftruncate(fd, size) == -1 ? -errno : 0;
    close(fd);
    return result;
}

static int sf_utimens(const char* path, const struct timespec tv[2], struct fuse_file_info* fi) {
    call(K_OTHER);
    if (fi)
        return futimens((int)fi->fh, tv) == -1 ? -errno : 0;
    return utimensat(source_fd, rel(path), tv, AT_SYMLINK_NOFOLLOW) == -1 ? -errno : 0;
}

static int sf_statfs(const char* path, struct statvfs* st) {
    (void)path;
    call(K_OTHER);
    return fstatvfs(source_fd, st) == -1 ? -errno : 0;
}

static int sf_flock(const char* path, struct fuse_file_info* fi, int op) {
    (void)path;
    call(K_OTHER);
    return flock((int)fi->fh, op) == -1 ? -errno : 0;
}

static const struct fuse_operations operations = {
    .init = sf_init,
    .destroy = sf_destroy,
    .getattr = sf_getattr,
    .access = sf_access,
    .readlink = sf_readlink,
    .opendir = sf_opendir,
    .readdir = sf_readdir,
    .releasedir = sf_releasedir,
    .open = sf_open,
    .create = sf_create,
    .read = sf_read,
    .write = sf_write,
    .flush = sf_flush,
    .release = sf_release,
    .fsync = sf_fsync,
    .mkdir = sf_mkdir,
    .unlink = sf_unlink,
    .rmdir = sf_rmdir,
    .symlink = sf_symlink,
    .link = sf_link,
    .rename = sf_rename,
    .chmod = sf_chmod,
    .chown = sf_chown,
    .truncate = sf_truncate,
    .utimens = sf_utimens,
    .statfs = sf_statfs,
    .flock = sf_flock,
};

#define OPTION(text, field)                                                                                            \
    { text, offsetof(struct options, field), 1 }

static const struct fuse_opt option_spec[] = {
    OPTION("--delay=%u", delay_us),
    OPTION("--counts=%s", counts_file),
    OPTION("--timeout=%lf", timeout),
    FUSE_OPT_END,
};

// The first plain argument is the source; the mount point is left to FUSE.
static int take_source(void* data, const char* arg, int key, struct fuse_args* args) {
    (void)data;
    (void)args;
    if (key == FUSE_OPT_KEY_NONOPT && !opts.source) {
        opts.source = strdup(arg);
        return 0;
    }
    return 1;
}

int main(int argc, char* argv[]) {
    struct fuse_args args = FUSE_ARGS_INIT(argc, argv);
    if (fuse_opt_parse(&args, &opts, option_spec, take_source) == -1)
        return 1;
    if (!opts.source) {
        fprintf(stderr,
                "usage: %s SOURCE MOUNTPOINT [--delay=MICROSECONDS] [--counts=FILE] [--timeout=SECONDS] "
                "[FUSE options]\n",
                argv[0]);
        return 1;
    }
    // Absolute, so that a relative counts file still lands where it was
    // meant after the daemon has changed to "/".
    if (opts.counts_file && opts.counts_file[0] != '/') {
        char* absolute = realpath(".", NULL);
        if (absolute) {
            char* joined;
            if (asprintf(&joined, "%s/%s", absolute, opts.counts_file) != -1)
                opts.counts_file = joined;
            free(absolute);
        }
    }
    source_fd = open(opts.source, O_RDONLY | O_DIRECTORY);
    if (source_fd == -1) {
        perror(opts.source);
        return 1;
    }
    umask(0);
    const int result = fuse_main(args.argc, args.argv, &operations, NULL);
    fuse_opt_free_args(&args);
    close(source_fd);
    return result;
}
