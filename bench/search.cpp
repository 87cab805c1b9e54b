// How fast the scroll-back search is over a full extended history: 100,000
// rows of 80 columns of router-like output, searched for a word on every
// line, a word on the oldest line only, and a regular expression.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "core/engine/headless_terminal.h"
#include "core/engine/screen_search_rows.h"
#include "core/search/scrollback_search.h"

namespace {

using Clock = std::chrono::steady_clock;

// The processor time this thread has used, in milliseconds: what the search
// costs whatever else the machine runs, next to the wall clock.
double ThreadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

constexpr int kHistory = 100'000;

std::string RouterOutput(int lines) {
    std::string text = "the oldest line names Serial9/9/9\r\n";
    char line[96];
    for (int i = 1; i < lines; ++i) {
        std::snprintf(line, sizeof line,
                      "GigabitEthernet%d/%d/%d is up, line protocol is up, %7d packets input\r\n",
                      i % 4, i % 48, i % 16, i * 37 % 9'999'991);
        text += line;
    }
    return text;
}

struct Figures {
    double firstMs = 0;
    double allMs = 0;
    double firstCpuMs = 0;
    double allCpuMs = 0;
    std::size_t count = 0;
};

Figures Measure(const quill::SearchedRows& rows, const char* pattern, bool regex) {
    const auto start = Clock::now();
    const double cpuStart = ThreadCpuMs();
    const quill::SearchPattern compiled(pattern, {.matchCase = false, .regularExpression = regex});
    quill::ScrollbackSearch search(rows, compiled);
    // Slices as the window takes them, between which it stays responsive.
    Figures figures;
    bool first = false;
    while (!search.Step(2'000)) {
        if (!first && !search.Matches().empty()) {
            first = true;
            figures.firstMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            figures.firstCpuMs = ThreadCpuMs() - cpuStart;
        }
    }
    figures.allMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    figures.allCpuMs = ThreadCpuMs() - cpuStart;
    if (!first) {
        figures.firstMs = figures.allMs;
        figures.firstCpuMs = figures.allCpuMs;
    }
    figures.count = search.Matches().size();
    return figures;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    quill::HeadlessTerminal session;
    session.Options().SetExtended(true);
    session.Options().SetScrollback(kHistory);
    session.Feed(RouterOutput(kHistory + 23), 4096);
    const quill::ScreenView& screen = session.terminal().View();
    const quill::ScreenSearchRows rows(screen);
    std::printf("history %d rows of %d columns, median of %d runs\n", screen.HistoryDepth(),
                screen.Geometry().columns, runs);
    const struct {
        const char* pattern;
        bool regex;
    } cases[] = {{"line protocol", false}, {"serial9/9/9", false}, {"ethernet[0-3]/4[0-7]/", true}};
    for (const auto& c : cases) {
        std::vector<Figures> all;
        for (int run = 0; run < runs; ++run) all.push_back(Measure(rows, c.pattern, c.regex));
        auto median = [&](auto field) {
            std::vector<double> values;
            for (const Figures& f : all) values.push_back(f.*field);
            std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
            return values[values.size() / 2];
        };
        std::printf("%-24s %s  first %7.2f ms (cpu %7.2f)  all %7.2f ms (cpu %7.2f)  %zu matches\n",
                    c.pattern, c.regex ? "regex  " : "literal", median(&Figures::firstMs),
                    median(&Figures::firstCpuMs), median(&Figures::allMs),
                    median(&Figures::allCpuMs), all.front().count);
    }
    return 0;
}
