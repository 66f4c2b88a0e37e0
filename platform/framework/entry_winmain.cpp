// The program's entry point on Windows.

#include "platform/framework/application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return framework::runApplication();
}
