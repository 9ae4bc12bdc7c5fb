// SPDX-License-Identifier: MIT
#include <veltrane/core/DataDirectory.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace vl {

namespace {

std::string withSlash(std::string directory) {
    if (!directory.empty() && directory.back() != '/') {
        directory += '/';
    }
    return directory;
}

// <prefix>/share/<name>/ for a program in <prefix>/<dir>/, or "" when the program is unknown.
std::string installedBeside(const std::string& program, const std::string& name) {
    if (program.empty()) {
        return "";
    }
    const std::filesystem::path prefix = std::filesystem::path(program).parent_path().parent_path();
    return withSlash((prefix / "share" / name).string());
}

std::string workingDirectory() {
    std::error_code error;
    const std::filesystem::path here = std::filesystem::current_path(error);
    return error ? "." : withSlash(here.string());
}

}  // namespace

DataDirectory DataDirectory::find(const std::string& name, const std::string& marker,
                                  const std::string& program) {
    DataDirectory data;
    const char* p_env = std::getenv(DATA_ENV);
    if (p_env != nullptr && *p_env != '\0' &&
        data.tryPlace(withSlash(p_env), marker, std::string("(") + DATA_ENV + ")")) {
        return data;
    }
    const std::string installed = installedBeside(program, name);
    if (!installed.empty() && data.tryPlace(installed, marker, "(installed beside the program)")) {
        return data;
    }
    if (data.tryPlace(workingDirectory(), marker, "(the working directory)")) {
        data.m_path = "";
    }
    return data;
}

bool DataDirectory::tryPlace(const std::string& directory, const std::string& marker,
                             const std::string& why) {
    m_places.push_back(directory + " " + why);
    std::error_code error;
    m_found = std::filesystem::exists(directory + marker, error);
    if (m_found) {
        m_path = directory;
    }
    return m_found;
}

bool DataDirectory::isFound() const {
    return m_found;
}

std::string DataDirectory::getPath() const {
    return m_path;
}

std::string DataDirectory::file(const std::string& relative) const {
    return m_path + relative;
}

const std::vector<std::string>& DataDirectory::getPlaces() const {
    return m_places;
}

std::string DataDirectory::describePlaces() const {
    std::string text;
    for (const std::string& place : m_places) {
        text += (text.empty() ? "" : "; ") + place;
    }
    return text;
}

}  // namespace vl
