// File access shared by the image codecs: reading what a decoder needs without blocking on or
// flooding memory from a file that is not a regular file, writing whole buffers, and replacing a
// file only once its new contents are complete.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// How many bytes from the start of a file a decoder reads, judged from a prefix of the file;
// nullopt while the prefix is too short to tell.
using NeededBytes = std::function<std::optional<size_t>(const uint8_t* bytes, size_t size)>;

// The longest prefix read from a stream whose header has not told its size yet.
inline constexpr size_t kMaxStreamHeaderBytes = size_t{1} << 20;

// The bytes of one input file, held while the object lives.
class InputBytes {
  public:
    InputBytes() = default;
    InputBytes(InputBytes&& other) noexcept;
    InputBytes& operator=(InputBytes&&) = delete;
    ~InputBytes();

    const uint8_t* data() const { return m_map != nullptr ? m_map : m_copy.data(); }
    size_t size() const { return m_size; }

  private:
    friend class InputFile;
    const uint8_t* m_map = nullptr;
    size_t m_mapSize = 0;
    std::vector<uint8_t> m_copy;
    size_t m_size = 0;
};

// An input file, opened as ReadInputFile opens it. A regular file can then be read in pieces at any
// offset, so that a decoder streams it through a small buffer that stays in cache; any input file
// can be turned into its bytes as ReadInputFile returns them.
class InputFile {
  public:
    InputFile(InputFile&& other) noexcept;
    InputFile& operator=(InputFile&&) = delete;
    ~InputFile();

    bool regular() const { return m_regular; }
    // A regular file's size when it was opened; 0 for a stream.
    size_t size() const { return m_size; }
    // Reads up to count bytes at offset of a regular file and returns how many it read: fewer only at
    // the file's end or after a read error, which checkRead then reports.
    size_t readAt(size_t offset, uint8_t* bytes, size_t count);
    // FileError naming the file and the reason once a readAt has failed.
    void checkRead() const;
    // The file's bytes as ReadInputFile returns them.
    InputBytes bytes(const NeededBytes& needed);

  private:
    friend InputFile OpenInputFile(const char*, const char*);
    InputFile(std::string path, int fd, bool regular, size_t size);
    std::string m_path;
    int m_fd;
    bool m_regular;
    size_t m_size;
    int m_readError = 0;
};

// Opens path as ReadInputFile does, with the same trace and errors, and reads nothing yet.
InputFile OpenInputFile(const char* path, const char* openTrace = nullptr);

// Opens path without blocking (a FIFO without a writer reads as empty) and returns its bytes. A
// regular file is mapped whole, and its first needed() bytes are read in ahead. A stream (pipe,
// FIFO, character device, socket) is read only up to needed() bytes, or to its end when that comes
// first, and no further than kMaxStreamHeaderBytes while needed() cannot tell. When the file
// cannot be opened, prints openTrace (a printf format taking the path) to standard output unless
// it is null, then throws FileError. FileError too for what is neither a regular file nor a
// stream, and for a read error.
InputBytes ReadInputFile(const char* path, const NeededBytes& needed, const char* openTrace = nullptr);

// Writes every byte, retrying interrupted and short writes; false (errno set) on an error.
bool WriteAll(int fd, const uint8_t* bytes, size_t count);

// Replaces the file at path with what write() puts into the descriptor it is given (false on an
// error, errno set). The bytes go to a temporary file in the target's directory, which is renamed
// over the target only after a complete write and keeps an existing file's permissions; a symbolic
// link is followed. On any failure the temporary file is removed, the old file stays exactly as it
// was, and FileError names the file and the reason. A target that exists and is not a regular file
// (a device, a FIFO) is written in place. createTrace, when not null, is printed (printf format
// taking the path) when the file cannot be created.
void ReplaceFile(const char* path, const std::function<bool(int fd)>& write,
                 const char* createTrace = nullptr);
