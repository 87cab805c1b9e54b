#include "cast_file.h"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>
#include <string_view>

#include "plain_file.h"

namespace quill::demo {
namespace {

using Json = nlohmann::json;

// A problem with the file, where it is.
struct CastError {
    std::string where;
    std::string what;
};

// The number of the line that holds byte `offset`, from 1.
int LineAt(std::string_view text, std::size_t offset) {
    const std::size_t end = std::min(offset, text.size());
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + end, '\n'));
}

std::string LineName(int line) {
    return "line " + std::to_string(line);
}

// The parse error of `text`, which starts on line `firstLine`, or none.
std::optional<CastError> ParseJson(std::string_view text, int firstLine, Json& value) {
    try {
        value = Json::parse(text);
        return std::nullopt;
    } catch (const Json::parse_error& e) {
        const int line = firstLine - 1 + LineAt(text, e.byte == 0 ? 0 : e.byte - 1);
        std::string what = e.what();
        if (const std::size_t colon = what.find(": "); colon != std::string::npos) {
            what.erase(0, colon + 2);  // nlohmann's own prefix
        }
        return CastError{LineName(line), "not JSON (" + what + ")"};
    }
}

// A required header field: a whole number greater than 0.
std::optional<std::string> CheckSize(const Json& header, const char* name) {
    const auto field = header.find(name);
    if (field == header.end() || !field->is_number_integer() || field->get<long long>() <= 0) {
        return std::string("the header needs \"") + name + "\" as a whole number above 0";
    }
    return std::nullopt;
}

// The version a header says, 0 when it says none.
int VersionOf(const Json& header) {
    if (!header.is_object()) return 0;
    const Json version = header.value("version", Json());
    return version.is_number_integer() ? version.get<int>() : 0;
}

std::optional<std::string> CheckHeader(const Json& header) {
    if (!header.is_object()) return "the header is not a JSON object";
    const int version = VersionOf(header);
    if (version != 1 && version != 2) return "\"version\" is neither 1 nor 2";
    if (auto problem = CheckSize(header, "width")) return problem;
    return CheckSize(header, "height");
}

// A time in seconds: a number, not negative.
bool IsTime(const Json& value) {
    return value.is_number() && std::isfinite(value.get<double>()) && value.get<double>() >= 0;
}

// One event of a v2 file: [time, code, data].
std::optional<std::string> TakeEvent(const Json& event, double& last, CastOutput& out) {
    if (!event.is_array() || event.size() != 3) return "an event is an array of three";
    if (!IsTime(event[0])) return "the time is not a number of seconds";
    if (!event[1].is_string()) return "the event code is not a string";
    if (!event[2].is_string()) return "the event data is not a string";
    const double seconds = event[0].get<double>();
    if (seconds < last) return "the time goes back";
    last = seconds;
    if (event[1] != "o") return std::nullopt;
    out.bytes += event[2].get<std::string>();
    out.steps.push_back({seconds, out.bytes.size()});
    return std::nullopt;
}

std::optional<CastError> ReadVersion2(std::string_view text, CastOutput& out) {
    double last = 0;
    int line = 1;
    for (std::size_t at = text.find('\n'); at != std::string_view::npos && at + 1 < text.size();) {
        ++line;
        const std::size_t start = at + 1;
        at = text.find('\n', start);
        const std::string_view event = text.substr(start, at == text.npos ? at : at - start);
        if (event.find_first_not_of(" \t\r") == std::string_view::npos) continue;
        Json value;
        if (auto problem = ParseJson(event, line, value)) return problem;
        if (auto problem = TakeEvent(value, last, out)) return CastError{LineName(line), *problem};
    }
    return std::nullopt;
}

// The frames of a v1 file: [delay, data], each delay since the frame before.
std::optional<CastError> ReadVersion1(const Json& document, CastOutput& out) {
    const auto frames = document.find("stdout");
    if (frames == document.end() || !frames->is_array()) {
        return CastError{LineName(1), "\"stdout\" is not an array of frames"};
    }
    double seconds = 0;
    for (std::size_t i = 0; i < frames->size(); ++i) {
        const Json& frame = (*frames)[i];
        const std::string where = "frame " + std::to_string(i + 1) + " of \"stdout\"";
        if (!frame.is_array() || frame.size() != 2) return CastError{where, "not [delay, data]"};
        if (!IsTime(frame[0])) return CastError{where, "the delay is not a number of seconds"};
        if (!frame[1].is_string()) return CastError{where, "the data is not a string"};
        seconds += frame[0].get<double>();
        out.bytes += frame[1].get<std::string>();
        out.steps.push_back({seconds, out.bytes.size()});
    }
    return std::nullopt;
}

// A v2 file's first line is its header; a v1 file is one JSON document,
// usually over many lines.
std::optional<CastError> ReadCast(std::string_view text, CastOutput& out) {
    const std::size_t firstEnd = text.find('\n');
    const bool oneLine = firstEnd == std::string_view::npos ||
                         text.find_first_not_of(" \t\r\n", firstEnd) == std::string_view::npos;
    Json header;
    if (!ParseJson(text.substr(0, firstEnd), 1, header) && (VersionOf(header) == 2 || !oneLine)) {
        if (auto problem = CheckHeader(header)) return CastError{LineName(1), *problem};
        if (VersionOf(header) != 2) return CastError{LineName(1), "lines follow a v1 document"};
        return ReadVersion2(text, out);
    }
    if (auto problem = ParseJson(text, 1, header)) return problem;
    if (auto problem = CheckHeader(header)) return CastError{LineName(1), *problem};
    if (VersionOf(header) != 1) return CastError{LineName(1), "\"version\" is not 1"};
    return ReadVersion1(header, out);
}

}  // namespace

std::optional<CastOutput> LoadCast(const std::string& path, std::string& error) {
    const std::unique_ptr<PlainFile> file = PlainFile::Open(path, error);
    if (!file) return std::nullopt;
    const std::string text = file->Read(0, file->Size());
    CastOutput out;
    if (const std::optional<CastError> problem = ReadCast(text, out)) {
        error = path + ": " + problem->where + ": " + problem->what;
        return std::nullopt;
    }
    return out;
}

}  // namespace quill::demo
