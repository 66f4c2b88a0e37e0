#include "platform/linux/command_line.h"

namespace platform {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

std::vector<std::string> splitCommandLine(std::string_view line) {
    std::vector<std::string> arguments;
    std::size_t at = 0;
    const std::size_t end = line.size();

    std::string program;
    bool quoted = false;
    for (; at < end && (quoted || !isBlank(line[at])); ++at) {
        if (line[at] == '"')
            quoted = !quoted;
        else
            program += line[at];
    }
    arguments.push_back(std::move(program));

    for (;;) {
        while (at < end && isBlank(line[at]))
            ++at;
        if (at == end)
            break;
        std::string argument;
        quoted = false;
        while (at < end && (quoted || !isBlank(line[at]))) {
            std::size_t slashes = 0;
            while (at < end && line[at] == '\\') {
                ++slashes;
                ++at;
            }
            if (at < end && line[at] == '"') {
                argument.append(slashes / 2, '\\');
                if (slashes % 2 == 1) {
                    argument += '"';
                } else if (quoted && at + 1 < end && line[at + 1] == '"') {
                    argument += '"';
                    ++at;
                } else {
                    quoted = !quoted;
                }
                ++at;
            } else {
                argument.append(slashes, '\\');
                if (at < end && (quoted || !isBlank(line[at])))
                    argument += line[at++];
            }
        }
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

} // namespace platform
