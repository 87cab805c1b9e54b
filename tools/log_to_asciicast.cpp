#include "log_to_asciicast.h"

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <optional>

#include "cast_text.h"
#include "recording.h"
#include "replay_session.h"

namespace quill {

namespace {

using demo::Recording;
using demo::Step;
using demo::StepReader;

// The seconds from the first read to the last; the timing was checked whole.
double Duration(const Recording& recording) {
    StepReader steps(*recording.Timing());
    std::string error;
    double seconds = 0;
    while (const std::optional<Step> step = steps.Next(error)) seconds = step->seconds;
    return seconds;
}

// When the log was last written, in seconds since the epoch.
std::optional<double> ModifiedAt(const std::string& path) {
    struct stat status{};
    if (stat(path.c_str(), &status) != 0) return std::nullopt;
    return static_cast<double>(status.st_mtim.tv_sec) + status.st_mtim.tv_nsec * 1e-9;
}

// The plain terminal is always 80 x 24, and the setup has that size then.
std::string Header(const CastSetup& setup, ReplaySession& session, long long timestamp) {
    const std::string term =
        setup.extended ? std::string(session.Options().TerminalType()) : "vt100";
    nlohmann::ordered_json header = {{"version", 2},
                                     {"width", setup.size.columns},
                                     {"height", setup.size.screenRows},
                                     {"timestamp", timestamp}};
    header["env"] = {{"TERM", term}};
    return header.dump() + "\n";
}

}  // namespace

std::string AsciicastEvent(double seconds, const std::string& text) {
    char time[32];
    std::snprintf(time, sizeof time, "[%.6f, \"o\", ", seconds);
    return time + nlohmann::json(text).dump() + "]\n";
}

bool LogToAsciicast(const std::string& log, const CastSetup& setup, std::ostream& out,
                    std::string& error) {
    const std::optional<Recording> recording = Recording::Load(log, log + ".timing", error);
    if (!recording) return false;
    const std::optional<double> modified = ModifiedAt(log);
    if (!modified) {
        error = "cannot read the time of " + log;
        return false;
    }
    ReplaySession session(false, false, nullptr, setup.size);
    session.Options().SetExtended(setup.extended);
    CastText text(setup.extended);
    session.terminal().SetDataObserver(&text);
    out << Header(setup, session, std::llround(*modified - Duration(*recording)));
    StepReader steps(*recording->Timing());
    std::size_t fed = 0;
    double seconds = 0;
    while (const std::optional<Step> step = steps.Next(error)) {
        session.Feed(recording->Log().Read(fed, step->end - fed), kReceiveChunk);
        fed = step->end;
        seconds = step->seconds;
        out << AsciicastEvent(seconds, text.Take());
    }
    text.EndInput();
    if (const std::string rest = text.Take(); !rest.empty()) out << AsciicastEvent(seconds, rest);
    return static_cast<bool>(out);
}

}  // namespace quill
