// A program that the executable checks must reject: a console program with an application
// manifest, no dialog or icon, and an import beyond the system DLLs that the program uses.

#include <windows.h>
#include <shlwapi.h>

int main(int argc, char** argv) {
    return argc > 1 && PathFileExistsA(argv[1]) ? 0 : 1;
}
