#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "plain_file.h"

namespace quill::demo {

// The client had read up to byte `end` at `seconds` after the log began.
struct Step {
    double seconds = 0;
    std::size_t end = 0;
};

// The steps of a timing file, read a piece at a time: one line per read of
// the client, "SECONDS COUNT", SECONDS (e.g. 0.104512) the time since the
// previous read and COUNT the bytes read. Blank lines are skipped.
class StepReader {
  public:
    explicit StepReader(const PlainFile& timing) : timing_(timing) {}

    // The next step; none at the end, or with `error` set for a bad line.
    std::optional<Step> Next(std::string& error);

  private:
    // The next line, without its LF; false at the end of the file.
    bool NextLine(std::string_view& line, std::string& error);

    const PlainFile& timing_;
    std::size_t offset_ = 0;  // of `buffer_` in the file
    std::string buffer_;
    std::size_t used_ = 0;  // the lines before this in `buffer_` have been read
    int number_ = 0;        // of the last line read
    Step step_;
};

// A session log opened for playback: the exact bytes a Telnet server sent
// to its client and, if there is one, its timing file. Only the files are
// held, never their contents, so a log of any size costs little memory.
// A recording of another format is held in memory instead, bytes and steps.
class Recording {
  public:
    // Opens LOG and TIMING, reads TIMING through once and checks that its
    // counts add up to the size of LOG. nullopt when something is wrong,
    // with a one-line `error` (the file's bytes in it escaped).
    static std::optional<Recording> Load(const std::string& log,
                                         const std::optional<std::string>& timing,
                                         std::string& error);

    // The bytes to send and the steps in which they are due.
    static Recording InMemory(std::string bytes, std::vector<Step> steps);

    // Up to `length` bytes from `offset`: fewer only at the end.
    std::string Read(std::size_t offset, std::size_t length) const;
    std::size_t Size() const { return log_ ? log_->Size() : bytes_.size(); }
    // Of a session log: the log and its timing file, null without one: then
    // everything is due at 0 s, unless the steps are held in memory.
    const PlainFile& Log() const { return *log_; }
    const PlainFile* Timing() const { return timing_.get(); }
    // Of a recording in memory: its steps; null for a session log.
    const std::vector<Step>* Steps() const { return log_ ? nullptr : &steps_; }

  private:
    std::unique_ptr<PlainFile> log_;
    std::unique_ptr<PlainFile> timing_;
    std::string bytes_;
    std::vector<Step> steps_;
};

}  // namespace quill::demo
