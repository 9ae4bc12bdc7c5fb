// SPDX-License-Identifier: MIT
#ifndef VL_DATA_DIRECTORY_H
#define VL_DATA_DIRECTORY_H

#include <string>
#include <vector>

#include <veltrane/platform/Platform.h>

namespace vl {

const char* const DATA_ENV = "VELTRANE_DATA";  ///< names a data directory for one run

/// Where a game's data is, wherever the program was started from: the same lookup serves every game.
/// The first of three places that holds a game's data, told by one file or folder every copy of the
/// data has (the marker): $VELTRANE_DATA when set, else \<prefix>/share/\<name>/ when the program is
/// \<prefix>/\<dir>/\<program> (so a moved install still works), else the working directory.
class DataDirectory {
public:
    /// Looks in each place in order; program is the running program's path, tests may name another.
    [[nodiscard]] static DataDirectory find(const std::string& name, const std::string& marker,
                                            const std::string& program = platform::executablePath());

    /// Whether a place held the marker.
    bool isFound() const;
    /// The directory found, ending in '/'; "" for the working directory, so paths there stay as given.
    std::string getPath() const;
    std::string file(const std::string& relative) const;  ///< relative, inside the directory found
    const std::vector<std::string>& getPlaces() const;    ///< each place looked in, in order, described
    std::string describePlaces() const;                   ///< the places as one line: "a; b; c"

private:
    DataDirectory() = default;
    [[nodiscard]] bool tryPlace(const std::string& directory, const std::string& marker,
                                const std::string& why);

    bool m_found = false;
    std::string m_path;
    std::vector<std::string> m_places;
};

}  // namespace vl

#endif
