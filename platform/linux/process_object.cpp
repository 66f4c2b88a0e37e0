#include "platform/linux/process_object.h"

#include <sys/wait.h>

#include <cerrno>
#include <csignal>
#include <list>

namespace platform {

namespace {

enum class tReap { running, reaped, lost };

// One non-blocking look at the child behind `pidfd`; reaps it when it has ended.
tReap reapIfEnded(int pidfd, DWORD& status) {
    for (;;) {
        siginfo_t info{};
        if (waitid(static_cast<idtype_t>(P_PIDFD), static_cast<id_t>(pidfd), &info,
                   WEXITED | WNOHANG) == 0) {
            if (info.si_pid == 0)
                return tReap::running;
            // A child ended by a signal reports 128 plus the signal's number, as shells do,
            // so that it never reads as success.
            status = info.si_code == CLD_EXITED ? static_cast<DWORD>(info.si_status & 0xff)
                                                : 128 + static_cast<DWORD>(info.si_status);
            return tReap::reaped;
        }
        if (errno == EINTR)
            continue;
        // ECHILD: someone else has reaped it (a waitpid(-1) elsewhere, or SIGCHLD ignored).
        return tReap::lost;
    }
}

struct tAbandoned {
    std::mutex mutex;
    std::list<tUniqueFd> children;
};

tAbandoned& abandoned() {
    static tAbandoned* instance = new tAbandoned; // used from destructors of any lifetime
    return *instance;
}

} // namespace

tProcessObject::tProcessObject(pid_t pid, tUniqueFd pidfd)
    : id(pid), descriptor(std::move(pidfd)) {}

tProcessObject::~tProcessObject() {
    if (!ended()) {
        tAbandoned& a = abandoned();
        std::lock_guard<std::mutex> lock(a.mutex);
        a.children.push_back(std::move(descriptor));
    }
    reapAbandonedChildren();
}

bool tProcessObject::ended() {
    std::lock_guard<std::mutex> lock(mutex);
    if (!reaped) {
        switch (reapIfEnded(descriptor.get(), status)) {
        case tReap::running:
            return false;
        case tReap::reaped:
            statusKnown = true;
            break;
        case tReap::lost:
            break;
        }
        reaped = true;
    }
    return true;
}

bool tProcessObject::exitCode(DWORD& code) {
    std::lock_guard<std::mutex> lock(mutex);
    if (statusKnown)
        code = status;
    return statusKnown;
}

std::shared_ptr<tProcessObject> waitableProcess(HANDLE handle) {
    std::shared_ptr<tKernelObject> object = lookupHandle(handle);
    if (auto process = std::dynamic_pointer_cast<tProcessObject>(object))
        return process;
    if (auto thread = std::dynamic_pointer_cast<tThreadObject>(object))
        return thread->process;
    return nullptr;
}

void reapAbandonedChildren() {
    tAbandoned& a = abandoned();
    std::lock_guard<std::mutex> lock(a.mutex);
    for (auto child = a.children.begin(); child != a.children.end();) {
        DWORD ignored;
        if (reapIfEnded(child->get(), ignored) == tReap::running)
            ++child;
        else
            child = a.children.erase(child);
    }
}

} // namespace platform
