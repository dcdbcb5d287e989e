// The timed run without windows: scratch files, stage order, failures, the computed result.
#include <gtest/gtest.h>

#include <array>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "benchmark/workload.h"
#include "core/errors.h"
#include "core/fits.h"
#include "tests/support/scratch_dir.h"

namespace fs = std::filesystem;

namespace {

using hvtest::ScratchDir;

void WriteText(const fs::path& path, const std::string& text) {
    std::ofstream(path) << text;
}
std::string ReadText(const fs::path& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A tick counter that advances one millisecond per reading, so every figure is the number of
// readings inside its intervals.
WorkloadClock CountingClock(uint32_t start = 0) {
    auto counter = std::make_shared<uint32_t>(start);
    return WorkloadClock{[counter] { return (*counter)++; }};
}

struct Sink {
    std::vector<std::string> captions;
    std::vector<IntPlane> files;  // the scratch file of each image, read while it exists
    bool readFiles = false;
    std::function<void(ShownImage&)> callback() {
        return [this](ShownImage& shown) {
            captions.push_back(shown.caption);
            EXPECT_EQ(shown.grey.width(), 1000);
            EXPECT_EQ(shown.raw.height(), 1000);
            if (readFiles) {
                IntPlane plane;
                int w = 0, h = 0, cards = 0, bzero = 0;
                std::vector<char> header(kFitsHeaderBufferBytes);
                ReadFits(shown.scratchPath.c_str(), header.data(), w, h, cards, bzero, plane);
                files.push_back(std::move(plane));
            }
        };
    }
};

TEST(BenchScratch, PrivateDirectoryHoldsOnlyWhatTheRunWrote) {
    ScratchDir parent("bench-test");
    WriteText(parent.dir() / "0.fit", "user data");
    std::string directory;
    {
        ScratchFiles scratch(
            {(parent.dir() / "missing" / "deeper").string(), "/proc", parent.dir().string()});
        directory = scratch.directory();
        EXPECT_EQ(fs::path(directory).parent_path(), parent.dir());
        EXPECT_EQ(scratch.path(3), directory + "/3.fit");
        WriteText(scratch.path(0), "scratch");
        WriteText(scratch.path(15), "scratch");
        scratch.noteWritten(0);
        scratch.noteWritten(15);
        EXPECT_TRUE(fs::exists(scratch.path(15)));
    }
    EXPECT_FALSE(fs::exists(directory));
    EXPECT_EQ(parent.entries(), std::vector<std::string>{"0.fit"});
    EXPECT_EQ(ReadText(parent.dir() / "0.fit"), "user data");
}

TEST(BenchScratch, NoUsableParentIsAFileError) {
    EXPECT_THROW(ScratchFiles({"/proc", "/nonexistent-hv-dir/x"}), FileError);
}

TEST(BenchScratch, MovingKeepsTheFilesUnderTheirNames) {
    ScratchDir parent("bench-test"), target("bench-test");
    WriteText(target.dir() / "2.fit", "older");
    std::string directory;
    {
        ScratchFiles scratch({parent.dir().string()});
        directory = scratch.directory();
        for (int i : {1, 2}) {
            WriteText(scratch.path(i), "image " + std::to_string(i));
            scratch.noteWritten(i);
        }
        scratch.moveInto((target.dir() / "kept").string());
    }
    EXPECT_FALSE(fs::exists(directory));
    EXPECT_EQ(ReadText(target.dir() / "kept" / "1.fit"), "image 1");
    EXPECT_EQ(ReadText(target.dir() / "kept" / "2.fit"), "image 2");
    EXPECT_EQ(ReadText(target.dir() / "2.fit"), "older");
    EXPECT_TRUE(parent.entries().empty());
}

TEST(BenchRun, ComputesTheShiftedSumOfTheSixteenImagesAndLeavesNothingBehind) {
    ScratchDir parent("bench-test");
    WriteText(parent.dir() / "0.fit", "user data");
    Sink sink;
    sink.readFiles = true;
    BenchRandom random(1);
    WorkloadOptions options;
    options.scratchParents = {parent.dir().string()};
    const WorkloadFigures f = RunWorkload(random, CountingClock(0xFFFFFFF0u), sink.callback(), options);

    ASSERT_EQ(sink.captions.size(), 16u);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(sink.captions[i], std::to_string(i) + ".fit");
    EXPECT_EQ(parent.entries(), std::vector<std::string>{"0.fit"});
    EXPECT_EQ(ReadText(parent.dir() / "0.fit"), "user data");

    // Images follow each other in the generator's sequence; the sum of what was written, shifted
    // by one sample in x and y, is what the checksum covers.
    BenchRandom expectedState(1);
    expectedState.skip(16ull * kBenchRandomPerImage);
    EXPECT_EQ(random.state(), expectedState.state());
    BenchRandom regen(1);
    IntPlane image = MakePlane(1000, 1000);
    IntPlane sum = MakePlane(1000, 1000);
    for (int i = 0; i < 16; ++i) {
        GenerateImage(image, regen);
        for (int x = 0; x < 1000; ++x)
            for (int y = 0; y < 1000; ++y) {
                ASSERT_EQ(sink.files[i][x][y], image[x][y]) << "image " << i;
                sum[x][y] += image[x][y];
            }
    }
    IntPlane shifted = MakePlane(1000, 1000);
    for (int x = 1; x < 1000; ++x)
        for (int y = 1; y < 1000; ++y) shifted[x][y] = sum[x - 1][y - 1];
    EXPECT_EQ(f.checksum, PlaneChecksum(shifted, 1000, 1000));

    // With one millisecond per reading: each interval spans one reading, the tick counter wraps
    // during the run, and the total covers every reading from the start to the cleanup.
    const std::array<int32_t, kStageCount> ms{32, 16, 1, 16, 1, 2 * (1 + 16 + 16 + 32 + 1) + 1};
    EXPECT_EQ(f.ms, ms);
    EXPECT_EQ(f.score, ScoreFromSeconds(MillisecondsToSeconds(f.msOf(Stage::Total))));
    EXPECT_GT(f.usOf(Stage::Total), 0);
    int64_t stagesUs = 0;
    for (int k = 0; k < kStageCount - 1; ++k) stagesUs += f.us[k];
    EXPECT_GE(f.usOf(Stage::Total), stagesUs);
}

TEST(BenchRun, KeptImagesAreTheFilesTheRunWrote) {
    ScratchDir parent("bench-test"), target("bench-test");
    BenchRandom random(99);
    Sink sink;
    WorkloadOptions options;
    options.scratchParents = {parent.dir().string()};
    options.keepImagesDir = target.dir().string();
    RunWorkload(random, CountingClock(), sink.callback(), options);
    EXPECT_TRUE(parent.entries().empty());
    EXPECT_EQ(target.entries().size(), 16u);
    BenchRandom regen(99);
    IntPlane image = MakePlane(1000, 1000);
    for (int i = 0; i < 16; ++i) {
        GenerateImage(image, regen);
        const std::vector<uint8_t> expected = EncodeFits(1000, 1000, image);
        std::ifstream in(target.dir() / (std::to_string(i) + ".fit"), std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
        EXPECT_TRUE(bytes == expected) << i;
    }
}

TEST(BenchRun, ScratchFailuresStopTheRunAndRemoveEverything) {
    struct Case {
        const char* name;
        int brokenFile;     // written to a location that cannot be created
        int removedOnShow;  // deleted behind the run's back when this image is shown
    };
    const Case cases[] = {
        {"write of the first file", 0, -1},
        {"write of a later file", 5, -1},
        {"read in the display stage", -1, 7},
    };
    for (const Case& c : cases) {
        ScratchDir parent("bench-test");
        Sink sink;
        int shown = 0;
        auto show = [&](ShownImage& image) {
            ++shown;
            if (image.caption == "0.fit" && c.removedOnShow >= 0) {
                const std::string victim =
                    fs::path(image.scratchPath).parent_path() / (std::to_string(c.removedOnShow) + ".fit");
                fs::remove(victim);
            }
        };
        BenchRandom random(1);
        WorkloadOptions options;
        options.scratchParents = {parent.dir().string()};
        std::string directory;
        options.scratchPathOverride = [&](int i) {
            if (i == c.brokenFile) return std::string("/nonexistent-hv-dir/") + std::to_string(i) + ".fit";
            return (parent.dir() / "run" / (std::to_string(i) + ".fit")).string();
        };
        fs::create_directory(parent.dir() / "run");
        try {
            RunWorkload(random, CountingClock(), show, options);
            ADD_FAILURE() << c.name << ": no failure";
        } catch (const FileError& e) {
            EXPECT_NE(std::string(e.what()).find("計測を中止しました"), std::string::npos) << c.name;
        }
        // Only the private directory we made for the test remains, and it is empty.
        EXPECT_EQ(parent.entries(), std::vector<std::string>{"run"}) << c.name;
        EXPECT_TRUE(fs::is_empty(parent.dir() / "run")) << c.name;
        EXPECT_EQ(shown, c.removedOnShow >= 0 ? c.removedOnShow : 0) << c.name;
    }
}

TEST(BenchRun, UnusableScratchLocationStopsBeforeAnyWork) {
    BenchRandom random(1);
    int shown = 0;
    WorkloadOptions options;
    options.scratchParents = {"/proc", "/nonexistent-hv-dir"};
    EXPECT_THROW(RunWorkload(
                     random, CountingClock(), [&](ShownImage&) { ++shown; }, options),
                 FileError);
    EXPECT_EQ(shown, 0);
    EXPECT_EQ(random.state(), 1u);
}

}  // namespace
