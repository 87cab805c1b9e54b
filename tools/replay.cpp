// quillterm-replay: shows what a byte stream from a server does to the
// terminal, without a window. The output format is relied on by tests and users.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>

#include "log_to_asciicast.h"
#include "replay_session.h"
#include "screen_cells.h"
#include "transcript.h"

namespace {

struct Options {
    bool wrap = false;
    bool showCodes = false;
    bool extended = false;
    bool bbs = false;
    bool history = false;
    bool transcript = false;
    bool cells = false;
    int chunk = quill::kReceiveChunk;
    std::optional<quill::ScreenGeometry> size;
    std::optional<std::string> asciicast;  // the recording to write instead
    std::string file = "-";
};

// The user's text in an error line, kept to one line.
std::string Printable(std::string text) {
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    }
    return text;
}

[[noreturn]] void Fail(const std::string& message) {
    std::cerr << "quillterm-replay: " << message << "\n";
    std::exit(2);
}

// A number of at most `most` digits and nothing else, or 0.
int Digits(const std::string& text, std::size_t most) {
    const bool valid = !text.empty() && text.size() <= most &&
                       text.find_first_not_of("0123456789") == std::string::npos;
    return valid ? std::stoi(text) : 0;
}

int ParseChunk(const std::string& text) {
    const int value = Digits(text, 3);
    if (value < 1 || value > quill::kReceiveChunk) Fail("--chunk takes a number from 1 to 100");
    return value;
}

// COLSxROWS, within the smallest grid the window makes and a generous largest.
quill::ScreenGeometry ParseSize(const std::string& text) {
    constexpr int kMaxColumns = 1000, kMaxRows = 1000;
    const std::size_t x = text.find('x');
    const int columns = x == std::string::npos ? 0 : Digits(text.substr(0, x), 4);
    const int rows = x == std::string::npos ? 0 : Digits(text.substr(x + 1), 4);
    if (columns < quill::Terminal::kMinColumns || columns > kMaxColumns ||
        rows < quill::Terminal::kMinRows || rows > kMaxRows) {
        Fail("--size takes COLSxROWS, 20 to 1000 columns and 5 to 1000 rows");
    }
    quill::ScreenGeometry geometry;
    geometry.columns = columns;
    geometry.screenRows = rows;
    return geometry;
}

Options ParseArguments(int argc, char** argv) {
    Options options;
    bool haveFile = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--wrap") {
            options.wrap = true;
        } else if (arg == "--show-codes") {
            options.showCodes = true;
        } else if (arg == "--extended") {
            options.extended = true;
        } else if (arg == "--bbs") {
            options.bbs = true;
        } else if (arg == "--history") {
            options.history = true;
        } else if (arg == "--transcript") {
            options.transcript = true;
        } else if (arg == "--cells") {
            options.cells = true;
        } else if (arg == "--size") {
            if (i + 1 >= argc) Fail("--size needs COLSxROWS");
            options.size = ParseSize(argv[++i]);
        } else if (arg == "--asciicast") {
            if (i + 1 >= argc) Fail("--asciicast needs OUT");
            options.asciicast = argv[++i];
        } else if (arg == "--chunk") {
            if (i + 1 >= argc) Fail("--chunk needs a number");
            options.chunk = ParseChunk(argv[++i]);
        } else if (arg.size() > 1 && arg[0] == '-') {
            Fail("unknown option '" + Printable(arg) + "'");
        } else if (haveFile) {
            Fail("only one FILE may be given");
        } else {
            options.file = arg;
            haveFile = true;
        }
    }
    if (options.cells && options.transcript) Fail("--cells and --transcript exclude each other");
    if (options.size && !options.extended) Fail("--size works with --extended only");
    if (options.asciicast && options.file == "-") Fail("--asciicast needs a log FILE");
    if (options.bbs && options.extended) Fail("--bbs and --extended exclude each other");
    return options;
}

std::string ReadStream(std::FILE* in) {
    std::string bytes;
    char block[65536];
    for (std::size_t n; (n = std::fread(block, 1, sizeof block, in)) > 0;) bytes.append(block, n);
    return bytes;
}

std::string ReadInput(const std::string& file) {
    if (file == "-") {
        std::string bytes = ReadStream(stdin);
        if (std::ferror(stdin)) Fail("cannot read standard input");
        return bytes;
    }
    std::FILE* in = std::fopen(file.c_str(), "rb");
    if (in == nullptr) Fail("cannot read '" + Printable(file) + "'");
    std::string bytes = ReadStream(in);
    const bool failed = std::ferror(in) != 0;
    std::fclose(in);
    if (failed) Fail("cannot read '" + Printable(file) + "'");
    return bytes;
}

// The log and FILE.timing as an asciicast v2 recording in `out`.
int WriteAsciicast(const Options& options) {
    std::ofstream out(*options.asciicast, std::ios::binary);
    if (!out) Fail("cannot write '" + Printable(*options.asciicast) + "'");
    std::string error;
    const quill::CastSetup setup{options.extended, options.size.value_or(quill::ScreenGeometry{})};
    if (!quill::LogToAsciicast(options.file, setup, out, error)) Fail(Printable(error));
    out.close();
    if (!out) Fail("cannot write '" + Printable(*options.asciicast) + "'");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = ParseArguments(argc, argv);
    if (options.asciicast) return WriteAsciicast(options);
    const std::string input = ReadInput(options.file);
    quill::ReplaySession session(options.wrap, options.showCodes, nullptr,
                                 options.size.value_or(quill::ScreenGeometry{}));
    quill::Transcript transcript;
    if (options.transcript) session.terminal().SetScrollOffObserver(&transcript);
    session.Options().SetExtended(options.extended);
    if (options.bbs) session.Options().SetDialect(quill::DialectId::kBbs);
    session.Feed(input, options.chunk);
    // A character still open at the end of the input counts as malformed.
    session.terminal().EndInput();
    const quill::ScreenModel& screen = session.Screen();
    const std::string out = options.transcript ? transcript.Text(screen)
                            : options.cells    ? quill::ScreenCells(screen)
                                               : session.Render(options.history);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 2;
}
