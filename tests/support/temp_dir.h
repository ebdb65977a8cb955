// SPDX-License-Identifier: Apache-2.0
// A directory of a test's own under /tmp, removed with everything in it when the test ends.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

class TempDir {
  public:
    // `name` starts the directory's name, so that a directory left by a crash says whose it was.
    explicit TempDir(const std::string& name) {
        std::string pattern = "/tmp/" + name + ".XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Empty when the directory could not be made.
    const std::string& path() const {
        return path_;
    }

  private:
    std::string path_;
};
