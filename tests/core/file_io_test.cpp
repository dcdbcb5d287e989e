// The readers on files that are not regular files: a stream is read only as far as its header
// declares (so an endless one neither hangs nor floods memory), a FIFO without a writer is never
// waited for, and what a stream yields equals what the same bytes yield in memory.
#include "core/file_io.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "codec_support.h"
#include "core/errors.h"
#include "core/fits.h"
#include "core/ppm.h"

namespace {

using codec_test::captureStdout;
using codec_test::u8;

// What a reader made of its input: the sizes and samples, or "refused".
struct Outcome {
    bool refused = true;
    int width = 0, height = 0;
    std::vector<int32_t> samples;
    bool operator==(const Outcome&) const = default;
};

template <typename Read>
Outcome outcome(Read&& read) {
    Outcome o;
    try {
        captureStdout([&] { read(o); });
        o.refused = false;
    } catch (const HvError&) {
        o = Outcome{};
    }
    return o;
}

Outcome fitsOutcome(const std::string* bytes, const char* path) {
    return outcome([&](Outcome& o) {
        int cards = 0, bzero = 0;
        IntPlane plane;
        if (bytes)
            DecodeFits(u8(*bytes), bytes->size(), nullptr, o.width, o.height, cards, bzero, plane);
        else
            ReadFits(path, nullptr, o.width, o.height, cards, bzero, plane);
        o.samples = codec_test::samplesOf(plane, o.width, o.height);
    });
}

Outcome ppmOutcome(const std::string* bytes, const char* path) {
    return outcome([&](Outcome& o) {
        IntPlane r, g, b;
        if (bytes)
            DecodePpm(u8(*bytes), bytes->size(), o.width, o.height, r, g, b);
        else
            ReadPpm(path, o.width, o.height, r, g, b);
        for (const IntPlane* p : {&r, &g, &b}) {
            const std::vector<int32_t> s = codec_test::samplesOf(*p, o.width, o.height);
            o.samples.insert(o.samples.end(), s.begin(), s.end());
        }
    });
}

std::string sizeCard(const char* keyword, int value) {
    char text[81];
    std::snprintf(text, sizeof text, "%-8s= %20d", keyword, value);  // the value ends in column 30
    return std::string(text).append(80 - std::strlen(text), ' ');
}

// Size cards, END as card number endCard, blank cards to the block's end, then the samples.
std::string fitsBytes(std::vector<std::string> cards, int endCard, int samples) {
    std::string out;
    for (const std::string& c : cards) out += c;
    out.resize(static_cast<size_t>(endCard) * 80, ' ');
    out += "END";
    out.resize((out.size() + 2879) / 2880 * 2880, ' ');
    for (int i = 0; i < samples * 2; ++i) out.push_back(static_cast<char>(i * 7 + 3));
    return out;
}

std::string fitsBytes(int width, int height, int endCard) {
    return fitsBytes({sizeCard("NAXIS1", width), sizeCard("NAXIS2", height)}, endCard, width * height);
}

// Feeds bytes into a pipe, then (when endless) junk until the reader closes it.
class PipeWriter {
  public:
    PipeWriter(std::string bytes, bool endless) {
        int fds[2];
        EXPECT_EQ(pipe(fds), 0);
        m_read = fds[0];
        m_thread = std::thread([bytes = std::move(bytes), endless, fd = fds[1]] {
            bool ok = WriteAll(fd, u8(bytes), bytes.size());
            const std::vector<uint8_t> junk(65536, 'P');
            while (ok && endless) ok = WriteAll(fd, junk.data(), junk.size());
            close(fd);
        });
    }
    ~PipeWriter() {
        close(m_read);  // ends an endless writer
        m_thread.join();
    }
    std::string path() const { return "/proc/self/fd/" + std::to_string(m_read); }

  private:
    int m_read = -1;
    std::thread m_thread;
};

TEST(InputStreams, ReadOnlyAsFarAsTheHeaderDeclares) {
    struct sigaction ignore {
    }, old{};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, &old);  // the endless writers end on EPIPE
    codec_test::TempFile fifo("no-writer.fifo");
    ASSERT_EQ(mkfifo(fifo.path(), 0600), 0);

    const std::string ppm = "P6\n# made by hand\n3 2\n255\n" + std::string(18, '\x07');
    const std::string longWord = "P6 " + std::string(100000, '9') + " 4 255\n";
    enum Kind { kFits, kPpm };
    const struct {
        const char* name;
        Kind kind;
        std::string bytes;
        bool endless;                // junk follows the file for as long as it is read
        const char* path = nullptr;  // instead of a pipe
    } cases[] = {
        {"FITS, one block", kFits, fitsBytes(5, 3, 10), true},
        {"FITS, two blocks", kFits, fitsBytes(4, 6, 40), true},
        {"FITS, cut short", kFits, fitsBytes(300, 200, 10).substr(0, 50000), false},
        {"FITS over 16000 is refused after its header", kFits,
         fitsBytes({sizeCard("NAXIS1", 9000), sizeCard("NAXIS1", 9000)}, 2, 0), true},
        {"FITS without END", kFits, std::string(6000, 'x'), true},
        {"PPM with a comment", kPpm, ppm, true},
        {"PPM, cut short", kPpm, ppm.substr(0, ppm.size() - 5), false},
        {"PPM sizes longer than a header", kPpm, longWord, true},
        {"FITS from an endless stream of zeros", kFits, "", false, "/dev/zero"},
        {"PPM from an endless stream of zeros", kPpm, "", false, "/dev/zero"},
        {"FITS from a FIFO without a writer", kFits, "", false, fifo.path()},
        {"PPM from a FIFO without a writer", kPpm, "", false, fifo.path()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto read = c.kind == kFits ? fitsOutcome : ppmOutcome;
        if (c.path) {
            EXPECT_TRUE(read(nullptr, c.path).refused);
            continue;
        }
        PipeWriter writer(c.bytes, c.endless);
        const Outcome fromStream = read(nullptr, writer.path().c_str());
        EXPECT_EQ(fromStream, read(&c.bytes, nullptr));
    }
    sigaction(SIGPIPE, &old, nullptr);
}

}  // namespace
