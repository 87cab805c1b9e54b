// asciicast recordings for the demo host: what is played from v1 and v2
// files, and the one line that says where a malformed file goes wrong.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "cast_file.h"
#include "playback_session.h"

namespace quill::demo {
namespace {

using namespace std::chrono_literals;

// The text as a file of its own, removed afterwards.
class CastFile {
  public:
    explicit CastFile(const std::string& text)
        : path_(std::filesystem::temp_directory_path() /
                ("quill-cast-" + std::to_string(getpid()) + ".cast")) {
        std::ofstream(path_, std::ios::binary) << text;
    }
    ~CastFile() { std::filesystem::remove(path_); }
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

const std::string kHeader2 = "{\"version\": 2, \"width\": 80, \"height\": 24}\n";

TEST(CastFile, OutputEventsBecomeBytesAndSteps) {
    struct Case {
        std::string text;
        std::string bytes;
        std::vector<double> seconds;
    };
    const Case cases[] = {
        {kHeader2 + "[0.5, \"o\", \"a\\u001b[1m\"]\n\n[0.75, \"i\", \"typed\"]\n"
                    "[1.0, \"m\", \"\"]\n[1.25, \"o\", \"\\u00e9\\r\\n\"]\n",
         "a\x1b[1m\xc3\xa9\r\n",
         {0.5, 1.25}},
        {"{\n  \"version\": 1, \"width\": 80, \"height\": 24, \"duration\": 2,\n"
         "  \"stdout\": [[0.5, \"one \"],\n    [1.5, \"two\"]]\n}\n",
         "one two",
         {0.5, 2.0}},
        {kHeader2, "", {}},
    };
    for (const Case& c : cases) {
        const CastFile file(c.text);
        std::string error;
        const std::optional<CastOutput> cast = LoadCast(file.Path(), error);
        ASSERT_TRUE(cast) << error;
        EXPECT_EQ(cast->bytes, c.bytes);
        ASSERT_EQ(cast->steps.size(), c.seconds.size());
        for (std::size_t i = 0; i < c.seconds.size(); ++i) {
            EXPECT_DOUBLE_EQ(cast->steps[i].seconds, c.seconds[i]) << c.text;
        }
        if (!cast->steps.empty()) {
            EXPECT_EQ(cast->steps.back().end, c.bytes.size());
        }
    }
}

TEST(CastFile, MalformedFilesSayWhereAndWhat) {
    const std::pair<std::string, std::string> cases[] = {
        {kHeader2 + "[0.5, \"o\", \"a\"]\n[0.4, \"o\", \"b\"]\n", "line 3: the time goes back"},
        {kHeader2 + "[0.5, \"o\", \"a\"]\n\n[1, \"o\", \"b\"\n", "line 4: not JSON"},
        {kHeader2 + "[-1, \"o\", \"a\"]\n", "line 2: the time is not a number of seconds"},
        {kHeader2 + "[1, \"o\"]\n", "line 2: an event is an array of three"},
        {kHeader2 + "[1, \"o\", 5]\n", "line 2: the event data is not a string"},
        {kHeader2 + "[1, \"o\", \"\\ud800\"]\n", "line 2: not JSON"},
        {"{\"version\": 2, \"width\": 80}\n", "line 1: the header needs \"height\""},
        {"{\"version\": 3, \"width\": 80, \"height\": 24}\n", "line 1: \"version\" is neither"},
        {"{\"width\": 80, \"height\": 24}\n[1, \"o\", \"a\"]\n", "line 1: \"version\" is neither"},
        {"{\n \"version\": 1, \"width\": 80, \"height\": 24,\n \"stdout\": [[0.5, \"a\"] [1]]}\n",
         "line 3: not JSON"},
        {"{\"version\": 1, \"width\": 80, \"height\": 24, \"stdout\": [[0.5, \"a\"], [1, 2]]}",
         "frame 2 of \"stdout\": the data is not a string"},
        {"{\"version\": 1, \"width\": 80, \"height\": 24}", "line 1: \"stdout\" is not an array"},
        {"", "line 1: not JSON"},
    };
    for (const auto& [text, message] : cases) {
        const CastFile file(text);
        std::string error;
        EXPECT_FALSE(LoadCast(file.Path(), error)) << text;
        EXPECT_EQ(error.rfind(file.Path() + ": " + message, 0), 0u) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
}

TEST(CastFile, PlaysEachOutputEventWhenDue) {
    const CastFile file(kHeader2 + "[0.5, \"o\", \"ab\"]\n[0.5, \"o\", \"c\"]\n[2, \"o\", \"d\"]\n");
    std::string error;
    std::optional<CastOutput> cast = LoadCast(file.Path(), error);
    ASSERT_TRUE(cast) << error;
    const Recording recording = Recording::InMemory(cast->bytes, cast->steps);
    PlaybackSession session(recording, 2);
    const auto start = PlaybackSession::Clock::now();
    EXPECT_EQ(session.Start(start), "");
    EXPECT_EQ(session.NextTick(), start + 250ms);
    EXPECT_EQ(session.Tick(start + 250ms), "abc");
    EXPECT_EQ(session.NextTick(), start + 1s);
    EXPECT_EQ(session.Tick(start + 1s), "d");
    EXPECT_EQ(session.NextTick(), std::nullopt);
}

}  // namespace
}  // namespace quill::demo
