// A test's own fresh folder under the system's temporary folder, removed with all it holds when the
// object goes. Qt-free.
#pragma once

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace hvtest {

class ScratchDir {
  public:
    explicit ScratchDir(const std::string& tag) {
        std::string pattern = (std::filesystem::temp_directory_path() / ("hv-" + tag + "-XXXXXX")).string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot make the folder " + pattern);
        m_dir = pattern;
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& dir() const { return m_dir; }
    std::string path(const std::string& name) const { return (m_dir / name).string(); }
    // The names in the folder, sorted.
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(m_dir))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

  private:
    std::filesystem::path m_dir;
};

}  // namespace hvtest
