// SPDX-License-Identifier: MIT
#include <veltrane/core/Utility.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <sstream>
#include <utility>
#include <vector>

#include <veltrane/core/LogManager.h>

namespace vl {

const char* getTimeString() {
    static char buffer[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (now == static_cast<std::time_t>(-1) || localtime_r(&now, &local) == nullptr) {
        std::snprintf(buffer, sizeof(buffer), "(time error)");
        return buffer;
    }
    std::snprintf(buffer, sizeof(buffer), "%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
    return buffer;
}

int checkStream(const std::string& name, const std::ios& stream) {
    if (stream.good()) {
        return 0;
    }
    const LogManager& log = LogManager::getInstance();
    const std::ios::iostate state = stream.rdstate();
    if (state & std::ios::eofbit) {
        log.writeLog("%s: Error! Stream eof.", name.c_str());
    } else if (state & std::ios::failbit) {
        log.writeLog("%s: Error! Stream fail.", name.c_str());
    } else if (state & std::ios::badbit) {
        log.writeLog("%s: Error! Stream bad.", name.c_str());
    } else {
        log.writeLog("%s: Error! Stream error.", name.c_str());
    }
    return -1;
}

std::string toString(int value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

std::string toString(float value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

std::string toBinaryString(int value) {
    const auto bits = static_cast<unsigned int>(value);
    std::string text(32, '0');
    for (int i = 0; i < 32; i++) {
        if ((bits >> (31 - i)) & 1u) {
            text[static_cast<size_t>(i)] = '1';
        }
    }
    return text;
}

bool valueInRange(float value, float min, float max) {
    return min <= value && value <= max;
}

int leadingInteger(const std::string& text) {
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

bool isSpecialFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error) && !std::filesystem::is_regular_file(path, error);
}

size_t editDistance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); j++) {
        row[j] = j;
    }
    for (size_t i = 1; i <= a.size(); i++) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); j++) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

int randomInt(int low, int high) {
    if (high < low) {
        std::swap(low, high);
    }
    // In 64 bits, so that the full int range neither overflows nor loses its top.
    const int64_t span = static_cast<int64_t>(high) - low + 1;
    const int64_t draw = (static_cast<int64_t>(std::rand()) << 31 | std::rand()) % span;
    return static_cast<int>(low + draw);
}

float randomFloat(float low, float high) {
    if (high < low) {
        std::swap(low, high);
    }
    const double unit = std::rand() / (static_cast<double>(RAND_MAX) + 1.0);
    const float value = low + static_cast<float>((static_cast<double>(high) - low) * unit);
    // Rounding to float may reach high itself.
    return value < high ? value : std::nextafter(high, low);
}

}  // namespace vl
