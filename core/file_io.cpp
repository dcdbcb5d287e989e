#include "core/file_io.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "core/errors.h"

namespace {

std::string withPath(const char* message, const char* path) {
    return std::string(message) + ": " + path;
}

std::string withReason(const char* message, const char* path, int error) {
    return withPath(message, path) + " (" + std::strerror(error) + ")";
}

class Descriptor {
  public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    // Hands the descriptor over; it is no longer closed here.
    int release() { return std::exchange(m_fd, -1); }
    // Closes now; false when close reports an error (a delayed write error, say).
    bool close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

  private:
    int m_fd;
};

// A regular file, mapped whole; the part the decoder needs is read in ahead in one go.
bool mapRegular(int fd, size_t fileSize, const NeededBytes& needed, const uint8_t*& map, size_t& size) {
    void* p = mmap(nullptr, fileSize, PROT_READ, MAP_PRIVATE, fd, 0);
    if (p == MAP_FAILED) return false;
    map = static_cast<const uint8_t*>(p);
    size = fileSize;
    const size_t ahead = std::min(fileSize, needed(map, fileSize).value_or(fileSize));
#ifdef MADV_POPULATE_READ
    if (ahead > 0 && madvise(p, ahead, MADV_POPULATE_READ) != 0) madvise(p, ahead, MADV_WILLNEED);
#else
    if (ahead > 0) madvise(p, ahead, MADV_WILLNEED);
#endif
    return true;
}

// A stream: read in pieces until the header tells the size and that much has arrived, the stream
// ends, or a header too long to be one has been read.
bool readStream(int fd, const NeededBytes& needed, std::vector<uint8_t>& bytes) {
    constexpr size_t kPiece = 65536;
    std::optional<size_t> want;
    for (;;) {
        if (!want) {
            want = needed(bytes.data(), bytes.size());
            if (!want && bytes.size() >= kMaxStreamHeaderBytes) want = bytes.size();
        }
        if (want && bytes.size() >= *want) break;
        const size_t room = want ? std::min(kPiece, *want - bytes.size()) : kPiece;
        const size_t at = bytes.size();
        bytes.resize(at + room);
        const ssize_t n = ::read(fd, bytes.data() + at, room);
        bytes.resize(at + static_cast<size_t>(std::max<ssize_t>(n, 0)));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
    }
    if (want && bytes.size() > *want) bytes.resize(*want);
    return true;
}

}  // namespace

InputBytes::InputBytes(InputBytes&& other) noexcept
    : m_map(std::exchange(other.m_map, nullptr)),
      m_mapSize(std::exchange(other.m_mapSize, 0)),
      m_copy(std::move(other.m_copy)),
      m_size(std::exchange(other.m_size, 0)) {}

InputBytes::~InputBytes() {
    if (m_map != nullptr) munmap(const_cast<uint8_t*>(m_map), m_mapSize);
}

InputFile::InputFile(std::string path, int fd, bool regular, size_t size)
    : m_path(std::move(path)), m_fd(fd), m_regular(regular), m_size(size) {}

InputFile::InputFile(InputFile&& other) noexcept
    : m_path(std::move(other.m_path)),
      m_fd(std::exchange(other.m_fd, -1)),
      m_regular(other.m_regular),
      m_size(other.m_size),
      m_readError(other.m_readError) {}

InputFile::~InputFile() {
    if (m_fd >= 0) ::close(m_fd);
}

InputFile OpenInputFile(const char* path, const char* openTrace) {
    // Without O_NONBLOCK, opening a FIFO that has no writer would wait for one forever.
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (openTrace != nullptr) std::printf(openTrace, path);
        throw FileError(withPath("ファイルを開けません", path));
    }
    Descriptor file(fd);
    struct stat st {};
    if (fstat(fd, &st) != 0) throw FileError(withReason("ファイルを読めません", path, errno));
    const bool regular = S_ISREG(st.st_mode);
    if (!regular && !S_ISFIFO(st.st_mode) && !S_ISCHR(st.st_mode) && !S_ISSOCK(st.st_mode))
        throw FileError(withPath("通常のファイルでも読み出せるストリームでもありません", path));
    // From here on a stream with a writer is waited for like any file being read.
    const int flags = fcntl(fd, F_GETFL);
    if (flags != -1) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return InputFile(path, file.release(), regular, regular ? static_cast<size_t>(st.st_size) : 0);
}

size_t InputFile::readAt(size_t offset, uint8_t* bytes, size_t count) {
    size_t done = 0;
    while (m_readError == 0 && done < count) {
        const ssize_t n = ::pread(m_fd, bytes + done, std::min<size_t>(count - done, SSIZE_MAX),
                                  static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) m_readError = errno;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    return done;
}

void InputFile::checkRead() const {
    if (m_readError != 0) throw FileError(withReason("ファイルを読めません", m_path.c_str(), m_readError));
}

InputBytes InputFile::bytes(const NeededBytes& needed) {
    InputBytes input;
    if (m_size > 0 && mapRegular(m_fd, m_size, needed, input.m_map, input.m_size)) {
        input.m_mapSize = m_size;
        return input;
    }
    // Empty and unmappable regular files are read like streams (/proc files report size 0).
    if (!readStream(m_fd, needed, input.m_copy))
        throw FileError(withReason("ファイルを読めません", m_path.c_str(), errno));
    input.m_size = input.m_copy.size();
    return input;
}

InputBytes ReadInputFile(const char* path, const NeededBytes& needed, const char* openTrace) {
    return OpenInputFile(path, openTrace).bytes(needed);
}

bool WriteAll(int fd, const uint8_t* bytes, size_t count) {
    while (count > 0) {
        const ssize_t n = ::write(fd, bytes, std::min<size_t>(count, SSIZE_MAX));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) {
            errno = EIO;
            return false;
        }
        bytes += n;
        count -= static_cast<size_t>(n);
    }
    return true;
}

void ReplaceFile(const char* path, const std::function<bool(int fd)>& write, const char* createTrace) {
    const auto cannotCreate = [&](int error) {
        if (createTrace != nullptr) std::printf(createTrace, path);
        throw FileError(withReason("ファイルを作成できません", path, error));
    };
    const auto cannotWrite = [&](int error) {
        throw FileError(withReason("ファイルに書き込めません", path, error));
    };

    // The file the name stands for: a symbolic link is followed, so the link stays a link.
    std::string target = path;
    struct stat old {};
    const bool exists = stat(path, &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        // A device or FIFO cannot be replaced by renaming, and has no old contents to lose.
        const int fd = ::open(path, O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) cannotCreate(errno);
        Descriptor out(fd);
        const int flags = fcntl(fd, F_GETFL);
        if (flags != -1) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
        const bool ok = write(fd);
        const int error = errno;
        if (!out.close() || !ok) cannotWrite(ok ? EIO : error);
        return;
    }
    if (exists) {
        if (char* real = realpath(path, nullptr)) {
            target = real;
            std::free(real);
        }
    }

    const size_t slash = target.rfind('/');
    const std::string directory = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    // A new name beside the target, so that the rename stays within one file system. Created
    // with the usual mode (0666 less the umask); an existing file's mode is copied below.
    std::string temporary;
    int fd = -1;
    for (unsigned attempt = 0; fd < 0; ++attempt) {
        temporary = directory + "." + name + "." + std::to_string(getpid()) + "-" + std::to_string(attempt);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && (errno != EEXIST || attempt == 100)) cannotCreate(errno);
    }
    Descriptor out(fd);
    bool ok = (!exists || fchmod(fd, old.st_mode & 07777) == 0) && write(fd);
    int error = errno;
    if (!out.close() && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::rename(temporary.c_str(), target.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        cannotWrite(error);
    }
}
