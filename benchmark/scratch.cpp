#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "benchmark/workload.h"
#include "core/errors.h"

ScratchFiles::ScratchFiles(const std::vector<std::string>& parents) : m_written(kBenchImageCount, false) {
    for (const std::string& parent : parents) {
        std::string pattern = (parent.empty() ? std::string(".") : parent) + "/.halvane2-bench-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (mkdtemp(buffer.data()) != nullptr) {
            m_directory = buffer.data();
            return;
        }
    }
    throw FileError("作業用ディレクトリを作成できません");
}

ScratchFiles::~ScratchFiles() {
    removeAll();
}

std::vector<std::string> ScratchFiles::defaultParents() {
    std::vector<std::string> parents;
    std::error_code error;
    const std::filesystem::path cwd = std::filesystem::current_path(error);
    if (!error) parents.push_back(cwd.string());
    const std::filesystem::path temp = std::filesystem::temp_directory_path(error);
    if (!error)
        parents.push_back(temp.string());
    else
        parents.push_back("/tmp");
    return parents;
}

std::string ScratchFiles::path(int index) const {
    if (pathOverride) return pathOverride(index);
    return m_directory + "/" + std::to_string(index) + ".fit";
}

void ScratchFiles::noteWritten(int index) {
    m_written.at(index) = true;
}

void ScratchFiles::removeAll() {
    for (int i = 0; i < static_cast<int>(m_written.size()); ++i) {
        if (!m_written[i]) continue;
        std::remove(path(i).c_str());
        m_written[i] = false;
    }
    if (!m_directory.empty()) {
        rmdir(m_directory.c_str());
        m_directory.clear();
    }
}

void ScratchFiles::moveInto(const std::string& target) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::create_directories(target, error);
    if (error) throw FileError("ディレクトリを作成できません: " + target);
    for (int i = 0; i < static_cast<int>(m_written.size()); ++i) {
        if (!m_written[i]) continue;
        const fs::path from = path(i);
        const fs::path to = fs::path(target) / (std::to_string(i) + ".fit");
        fs::rename(from, to, error);
        if (error) {
            // Another file system: copy, then remove the scratch copy.
            error.clear();
            fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
            if (error) throw FileError("ファイルを移動できません: " + to.string());
            fs::remove(from, error);
        }
        m_written[i] = false;
    }
    removeAll();
}
