#pragma once
// The temporary folder every test suite uses: made fresh and empty under the system's
// temporary folder, removed with everything in it when the object goes.

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

namespace rvtest {

class TempFolder {
public:
    explicit TempFolder(const std::string& prefix = "rv_test") {
        std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "_XXXXXX")).string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed for " + pattern);
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

}  // namespace rvtest
