#include "writer/formatter_run.h"

#include "app/bootdisk_dialog.h"
#include "writer/formatter_outcome.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

const char commandTemplate[] = "usbfiles\\makebootfat.exe -o %s -E 255 -1 fat12.bin -2 fat16.bin "
                               "-3 fat32lba.bin -m mbrfat.bin -c kernel.sys -c command.com image";

constexpr DWORD slice = 150;       // one progress step per slice the tool runs
constexpr DWORD pollInterval = 15; // the longest the pipe goes unread within a slice
constexpr DWORD captureSize = 1024;

// A handle the run owns until it closes it, in the order the run decides, or on the way out.
class tRunHandle {
public:
    tRunHandle() = default;
    ~tRunHandle() { close(); }
    tRunHandle(const tRunHandle&) = delete;
    tRunHandle& operator=(const tRunHandle&) = delete;

    HANDLE* receive() { return &handle; }
    HANDLE get() const { return handle; }
    void close() {
        if (handle) {
            CloseHandle(handle);
            handle = nullptr;
        }
    }
    // The handle is gone without this owner closing it (DUPLICATE_CLOSE_SOURCE).
    void forget() { handle = nullptr; }

private:
    HANDLE handle = nullptr;
};

// The first bytes the tool writes to its standard error; the rest is read and dropped, so the
// tool never waits on a full pipe.
class tCapture {
public:
    explicit tCapture(HANDLE pipe) : readEnd(pipe) {}

    // Whether the pipe may still deliver: false once it is empty and every write end is closed,
    // or a read failed.
    bool isOpen() const { return open; }

    // Reads what the pipe holds now, without waiting, as long as data keeps coming but no
    // longer than `budget` milliseconds from `start`. Returns the bytes read.
    DWORD drainAvailable(DWORD start, DWORD budget) {
        DWORD total = 0;
        while (open) {
            DWORD available = 0;
            if (!PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr)) {
                open = false;
                break;
            }
            if (available == 0)
                break;
            total += readSome(available);
            if (GetTickCount() - start >= budget)
                break;
        }
        return total;
    }

    // Reads until the pipe ends (or fails): the capture of a run whose wait went wrong.
    void drainToEnd() {
        while (open)
            readSome(sizeof scratch);
    }

    const char* text() {
        text_[captured] = '\0';
        return text_;
    }

private:
    DWORD readSome(DWORD wanted) {
        DWORD room = captureSize - 1 - captured;
        char* into = room ? text_ + captured : scratch;
        DWORD ask = room ? room : sizeof scratch;
        if (wanted < ask)
            ask = wanted;
        DWORD got = 0;
        if (!ReadFile(readEnd, into, ask, &got, nullptr) || got == 0) {
            open = false;
            return 0;
        }
        if (room)
            captured += got;
        return got;
    }

    HANDLE readEnd;
    bool open = true;
    DWORD captured = 0;
    char text_[captureSize];
    char scratch[4096];
};

// The window shows what the run changes although the run takes no input: paint messages only.
void repaintDialog() {
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
        DispatchMessageA(&message);
}

// Waits one slice for the tool to end, draining the pipe meanwhile. WAIT_TIMEOUT while the tool
// still runs; anything else ends the waiting. An anonymous pipe cannot be waited on, so it is
// looked at again soon after data came, and less often while it stays quiet.
DWORD waitOneSlice(HANDLE process, tCapture& capture) {
    DWORD start = GetTickCount();
    DWORD idle = 0;
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        DWORD wait = slice > elapsed ? slice - elapsed : 0;
        if (capture.isOpen()) {
            bool flowing = capture.drainAvailable(start, slice) > 0;
            idle = flowing ? 0 : idle == 0 ? 1 : std::min<DWORD>(idle * 2, pollInterval);
            elapsed = GetTickCount() - start;
            wait = std::min<DWORD>(slice > elapsed ? slice - elapsed : 0, flowing ? 0 : idle);
            if (!capture.isOpen())
                wait = slice > elapsed ? slice - elapsed : 0;
        }
        DWORD result = WaitForSingleObject(process, wait);
        if (result != WAIT_TIMEOUT || GetTickCount() - start >= slice)
            return result;
    }
}

// The directory of the program, from its full path: the last separator after the first
// character ends it.
void cutToDirectory(char* path, DWORD length) {
    for (DWORD i = length - 1; i >= 1; --i)
        if (path[i] == '\\' || path[i] == '/') {
            path[i] = '\0';
            return;
        }
}

} // namespace

tFormatResult runFormatter(tBootDiskDialog& dialog, CString targetPath) {
    char directory[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, directory, MAX_PATH);
    if (length == 0 || length == MAX_PATH)
        return formatRunFailed;
    cutToDirectory(directory, length);

    char workingDirectory[MAX_PATH];
    std::size_t used = strnlen(directory, MAX_PATH - 1);
    memcpy(workingDirectory, directory, used);
    const char usbfiles[] = "\\usbfiles";
    std::size_t appended = std::min(sizeof usbfiles - 1, MAX_PATH - 1 - used);
    memcpy(workingDirectory + used, usbfiles, appended);
    workingDirectory[used + appended] = '\0';

    char commandLine[1024];
    int composed =
        snprintf(commandLine, sizeof commandLine, commandTemplate, targetPath.GetString());
    if (composed < 0 || composed >= static_cast<int>(sizeof commandLine))
        return formatRunFailed;

    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);

    tRunHandle readEnd, writeEnd, inheritableWriteEnd;
    if (!CreatePipe(readEnd.receive(), writeEnd.receive(), nullptr, 0))
        return formatRunFailed;
    // The duplication closes the pipe's own write end, whether it succeeds or not.
    BOOL duplicated = DuplicateHandle(GetCurrentProcess(), writeEnd.get(), GetCurrentProcess(),
                                      inheritableWriteEnd.receive(), 0, TRUE,
                                      DUPLICATE_CLOSE_SOURCE | DUPLICATE_SAME_ACCESS);
    writeEnd.forget();
    if (!duplicated) {
        inheritableWriteEnd.forget();
        return formatRunFailed;
    }
    startup.hStdError = inheritableWriteEnd.get();

    PROCESS_INFORMATION tool;
    memset(&tool, 0, sizeof tool);
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                        workingDirectory, &startup, &tool))
        return formatRunFailed;
    tRunHandle process, thread;
    *process.receive() = tool.hProcess;
    *thread.receive() = tool.hThread;
    // From here on only the tool holds a write end, so the pipe ends when the tool does.
    thread.close();
    inheritableWriteEnd.close();

    dialog.statusText.SetWindowText("Formatting drive...");

    tCapture capture(readEnd.get());
    DWORD waited;
    for (;;) {
        repaintDialog();
        waited = waitOneSlice(process.get(), capture);
        if (waited != WAIT_TIMEOUT)
            break;
        dialog.progressBar.StepIt();
    }
    if (capture.isOpen()) {
        if (waited == WAIT_OBJECT_0)
            // The tool has ended and all it wrote is in the pipe; a descendant that inherited
            // the write end must not keep the run waiting.
            capture.drainAvailable(GetTickCount(), slice);
        else
            capture.drainToEnd();
    }
    readEnd.close();

    dialog.progressBar.SetPos(1000);
    dialog.statusText.SetWindowText("Format complete.");

    DWORD exitStatus = 0;
    BOOL statusRead = GetExitCodeProcess(process.get(), &exitStatus);
    return reportFormatterOutcome(statusRead != FALSE, exitStatus, capture.text(),
                                  dialog.statusText);
}
