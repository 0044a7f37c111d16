/* ReadFault: a library preloaded into sorvel by check_file_safety.py so that reading one file
 * fails partway, as a failing disk or a network file system can make it fail: reads of the file
 * whose path ends in $SORVEL_FAULT_READ_FILE deliver its first $SORVEL_FAULT_READ_AFTER bytes,
 * then fail with EIO. Every other read goes through unchanged. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

typedef ssize_t (*ReadFunction)(int, void*, size_t);

static long long readSoFar;

/* Names: the descriptor is open on a file whose path ends in suffix. */
static int Names(int fd, const char* suffix) {
    char link[64];
    char target[4096];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t length = readlink(link, target, sizeof target - 1);
    if (length < 0) {
        return 0;
    }
    target[length] = '\0';
    const size_t wanted = strlen(suffix);
    return (size_t)length >= wanted && strcmp(target + length - wanted, suffix) == 0;
}

ssize_t read(int fd, void* buffer, size_t count) {
    static ReadFunction next;
    if (next == NULL) {
        next = (ReadFunction)dlsym(RTLD_NEXT, "read");
    }
    const char* file = getenv("SORVEL_FAULT_READ_FILE");
    if (file == NULL || !Names(fd, file)) {
        return next(fd, buffer, count);
    }
    const char* after = getenv("SORVEL_FAULT_READ_AFTER");
    const long long limit = after == NULL ? 0 : atoll(after);
    if (readSoFar >= limit) {
        errno = EIO;
        return -1;
    }
    if ((long long)count > limit - readSoFar) {
        count = (size_t)(limit - readSoFar);
    }
    const ssize_t got = next(fd, buffer, count);
    if (got > 0) {
        readSoFar += got;
    }
    return got;
}
