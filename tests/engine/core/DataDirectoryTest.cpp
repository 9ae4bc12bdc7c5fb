// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include <veltrane/core/DataDirectory.h>

namespace fs = std::filesystem;

namespace {

// Each run builds <root>/{env,usr/bin,usr/share/demo,here}; only the folders named get the marker.
struct DataCase {
    const char* env;       // VELTRANE_DATA below root, or nullptr for unset
    bool installed, here;  // usr/share/demo and here hold the marker
    const char* expected;  // the path found below root ("" for the working directory), nullptr: none
    size_t places;
};

const DataCase DATA_CASES[] = {
    {"env", true, true, "env/", 1},
    {"nowhere", true, true, "usr/share/demo/", 2},
    {nullptr, false, true, "", 2},
    {"nowhere", false, false, nullptr, 3},
};

}  // namespace

TEST(DataDirectoryLookup, EnvironmentThenInstallThenWorkingDirectory) {
    const fs::path root = fs::temp_directory_path() / ("vl-data-" + std::to_string(::getpid()));
    const fs::path start = fs::current_path();
    for (const DataCase& c : DATA_CASES) {
        fs::remove_all(root);
        fs::create_directories(root / "env/sprites");
        fs::create_directories(root / (c.installed ? "usr/share/demo/sprites" : "usr/share/demo"));
        fs::create_directories(root / (c.here ? "here/sprites" : "here"));
        c.env != nullptr ? setenv(vl::DATA_ENV, (root / c.env).c_str(), 1) : unsetenv(vl::DATA_ENV);
        fs::current_path(root / "here");
        const vl::DataDirectory data =
            vl::DataDirectory::find("demo", "sprites", (root / "usr/bin/demo").string());
        fs::current_path(start);
        const std::string prefix = c.expected != nullptr && *c.expected != '\0' ? root.string() + "/" : "";
        EXPECT_EQ(data.isFound(), c.expected != nullptr) << data.describePlaces();
        EXPECT_EQ(data.file("x"), prefix + (c.expected != nullptr ? c.expected : "") + "x");
        EXPECT_EQ(data.getPlaces().size(), c.places) << data.describePlaces();
    }
    unsetenv(vl::DATA_ENV);
    fs::remove_all(root);
}
