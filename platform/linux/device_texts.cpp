#include "platform/linux/device_texts.h"

#include <cctype>
#include <cstdio>
#include <strings.h>

namespace platform::devices {

std::string formatSize(uint64_t bytes) {
    static const char* const units[] = {"KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
    char text[32];
    if (bytes < 1024) {
        snprintf(text, sizeof text, "%llu B", static_cast<unsigned long long>(bytes));
        return text;
    }
    double value = static_cast<double>(bytes) / 1024;
    std::size_t unit = 0;
    // Moves up before one decimal would print as "1024.0".
    while (value >= 1023.95 && unit + 1 < sizeof units / sizeof units[0]) {
        value /= 1024;
        ++unit;
    }
    snprintf(text, sizeof text, "%.1f %s", value, units[unit]);
    return text;
}

std::string decodeUdevText(const std::string& text) {
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' &&
            isxdigit(static_cast<unsigned char>(text[i + 2])) &&
            isxdigit(static_cast<unsigned char>(text[i + 3]))) {
            decoded += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

std::string trimmed(const std::string& text) {
    std::size_t first = 0, last = text.size();
    while (first < last && isspace(static_cast<unsigned char>(text[first])))
        ++first;
    while (last > first && isspace(static_cast<unsigned char>(text[last - 1])))
        --last;
    return text.substr(first, last - first);
}

std::string joinVendorModel(const std::string& vendor, const std::string& model) {
    if (vendor.empty())
        return model;
    if (model.empty())
        return vendor;
    if (model.size() >= vendor.size() &&
        strncasecmp(model.c_str(), vendor.c_str(), vendor.size()) == 0)
        return model;
    return vendor + " " + model;
}

std::string diskFriendlyName(const std::string& node, uint64_t bytes) {
    return node + ", " + formatSize(bytes);
}

std::string volumeDescription(const std::string& node, const std::string& fsType, uint64_t bytes) {
    return node + (fsType.empty() ? "" : " " + fsType) + ", " + formatSize(bytes);
}

std::optional<std::string> volumeFriendlyName(const std::string& label,
                                              const std::optional<std::string>& mountPoint) {
    if (!label.empty() && mountPoint)
        return label + " on " + *mountPoint;
    if (!label.empty())
        return label;
    if (mountPoint)
        return "mounted on " + *mountPoint;
    return std::nullopt;
}

std::string volumeName(uint64_t diskSeq, unsigned partitionNumber) {
    char text[64];
    snprintf(text, sizeof text, "\\\\?\\Volume{%08x-%04x-%04x-%04x-000000000000}\\",
             static_cast<unsigned>(diskSeq & 0xffffffffu),
             static_cast<unsigned>((diskSeq >> 32) & 0xffffu),
             static_cast<unsigned>((diskSeq >> 48) & 0xffffu), partitionNumber & 0xffffu);
    return text;
}

} // namespace platform::devices
