#include "platform/linux/errno_error.h"

#include <cerrno>

namespace platform {

DWORD errorFromErrno(int error) {
    switch (error) {
    case 0:
        return ERROR_SUCCESS;
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
    case ELOOP:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
        return ERROR_ACCESS_DENIED;
    case EBADF:
        return ERROR_INVALID_HANDLE;
    case ENOMEM:
    case EAGAIN: // out of processes or threads
        return ERROR_NOT_ENOUGH_MEMORY;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    case ENOEXEC:
        return ERROR_BAD_EXE_FORMAT;
    case ENAMETOOLONG:
    case E2BIG:
        return ERROR_FILENAME_EXCED_RANGE;
    case ETXTBSY:
    case EBUSY:
        return ERROR_SHARING_VIOLATION;
    case ENXIO:
    case ENODEV:
        return ERROR_DEV_NOT_EXIST;
    case EPIPE:
        return ERROR_BROKEN_PIPE;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    case ENOSYS:
    case ENOTTY:
    case EOPNOTSUPP:
        return ERROR_NOT_SUPPORTED;
    default:
        return ERROR_GEN_FAILURE;
    }
}

} // namespace platform
