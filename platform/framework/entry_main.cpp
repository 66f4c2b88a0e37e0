// The program's entry point on hosts with a plain main.

#include "platform/framework/application.h"

int main() {
    return framework::runApplication();
}
