#include "platform/linux/file_object.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

bool isPipeDescriptor(int fd) {
    struct stat info;
    return fstat(fd, &info) == 0 && (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode));
}

} // namespace

tFileObject::tFileObject(tUniqueFd fd) : descriptor(std::move(fd)) {
    pipe = isPipeDescriptor(descriptor.get());
}

tFileObject::tFileObject(int borrowedFd, bool) : borrowed(borrowedFd) {
    pipe = isPipeDescriptor(borrowedFd);
}

std::shared_ptr<tFileObject> tFileObject::borrow(int fd) {
    return std::shared_ptr<tFileObject>(new tFileObject(fd, true));
}

void tFileObject::keepPeeked(const char* bytes, std::size_t count) {
    std::lock_guard<std::mutex> lock(peekedMutex);
    peeked.append(bytes, count);
}

std::size_t tFileObject::peekedCount() {
    std::lock_guard<std::mutex> lock(peekedMutex);
    return peeked.size();
}

std::size_t tFileObject::copyPeeked(char* buffer, std::size_t count) {
    std::lock_guard<std::mutex> lock(peekedMutex);
    std::size_t n = std::min(count, peeked.size());
    if (n != 0)
        memcpy(buffer, peeked.data(), n);
    return n;
}

std::size_t tFileObject::takePeeked(char* buffer, std::size_t count) {
    std::lock_guard<std::mutex> lock(peekedMutex);
    std::size_t n = std::min(count, peeked.size());
    if (n != 0) {
        memcpy(buffer, peeked.data(), n);
        peeked.erase(0, n);
    }
    return n;
}

} // namespace platform
