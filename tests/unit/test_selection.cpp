// The text in rows as data (data/selection/*.test): which rows continue the
// one above, and what a selection marks and copies as the screen moves on.
//
//   test NAME
//   options wrap extended            (optional)
//   in "bytes" [*N]                  fed; then, as the window does once a
//                                    frame, marks whose cells changed go
//   press ROW COLUMN [rectangle] [word|line]
//   extend ROW COLUMN                Shift+click
//   drag ROW COLUMN
//   release
//   copy "text"                      the copied text, LF line ends
//   marks ROW FIRST END              the columns marked on a row (FIRST END
//                                    equal: none)
//   wrapped ROW...                   exactly these rows of the history in
//                                    use and the screen continue the row above
//
// Rows are screen rows at the time of the step, negative ones history rows
// above the screen.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "core/view/selection.h"
#include "replay_session.h"
#include "terminal_script.h"

namespace quill::test {
namespace {

struct SelectionCase {
    std::string where;
    std::string name;
    bool wrap = false;
    bool extended = false;
    std::vector<std::pair<std::string, std::string>> steps;  // where, step
};

void PrintTo(const SelectionCase& c, std::ostream* os) {
    *os << c.where << " " << c.name;
}

std::vector<SelectionCase> LoadCases() {
    const std::string file = "selection/selection.test";
    std::ifstream in(std::string(QUILL_TEST_DATA) + "/" + file);
    std::vector<SelectionCase> cases;
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        const std::string where = file + ":" + std::to_string(++number);
        std::istringstream words(line);
        std::string word;
        if (!(words >> word) || word[0] == '#') continue;
        if (word == "test") {
            std::getline(words >> std::ws, line);
            cases.push_back({where, line, false, false, {}});
        } else if (cases.empty()) {
            throw std::runtime_error(where + ": a step before any test");
        } else if (word == "options") {
            for (std::string option; words >> option;) {
                cases.back().wrap = cases.back().wrap || option == "wrap";
                cases.back().extended = cases.back().extended || option == "extended";
            }
        } else {
            cases.back().steps.emplace_back(where, line);
        }
    }
    if (cases.empty()) throw std::runtime_error(file + ": no cases");
    return cases;
}

// Runs the steps of one case; what differed, or nothing.
class SelectionRun {
  public:
    explicit SelectionRun(const SelectionCase& c) : session_(c.wrap, false) {
        session_.Options().SetExtended(c.extended);
    }

    std::string Step(const std::string& where, const std::string& step) {
        std::istringstream in(step);
        std::string word;
        in >> word;
        if (word == "in") {
            std::string text;
            std::getline(in >> std::ws, text);
            session_.Feed(InputText(text, where), kReceiveChunk);
            selection_.ForgetChanged(Screen());
            session_.terminal().ClearDamage();
        } else if (word == "press") {
            const TextPoint at = PointFrom(in);
            SelectionShape shape = SelectionShape::kStream;
            SelectionUnit unit = SelectionUnit::kCell;
            for (std::string option; in >> option;) {
                if (option == "rectangle") shape = SelectionShape::kRectangle;
                if (option == "word") unit = SelectionUnit::kWord;
                if (option == "line") unit = SelectionUnit::kLine;
            }
            selection_.SelectionPress(Screen(), at, shape, unit);
        } else if (word == "extend") {
            selection_.SelectionExtend(Screen(), PointFrom(in));
        } else if (word == "drag") {
            selection_.SelectionDrag(Screen(), PointFrom(in));
        } else if (word == "release") {
            selection_.SelectionRelease();
        } else {
            return Expectation(where, word, in);
        }
        return "";
    }

  private:
    const ScreenView& Screen() const { return session_.terminal().View(); }
    std::int64_t LineOf(int row) const {
        return Screen().LinesScrolled() + Screen().FirstScreenRow() + row;
    }
    TextPoint PointFrom(std::istringstream& in) const {
        int row = 0;
        int column = 0;
        in >> row >> column;
        return {LineOf(row), column};
    }

    std::string Expectation(const std::string& where, const std::string& word,
                            std::istringstream& in) const {
        std::string wanted;
        std::string actual;
        if (word == "copy") {
            std::getline(in >> std::ws, wanted);
            wanted = Unescape(wanted, where);
            actual = selection_.CopyText(Screen(), "\n");
        } else if (word == "marks") {
            int row = 0;
            int first = 0;
            int end = 0;
            in >> row >> first >> end;
            const MarkedColumns marked =
                selection_.ColumnsOn(LineOf(row), Screen().Geometry().columns);
            wanted = first == end ? "none" : std::to_string(first) + " " + std::to_string(end);
            actual = marked.Empty() ? "none"
                                    : std::to_string(marked.first) + " " + std::to_string(marked.end);
        } else if (word == "wrapped") {
            std::getline(in >> std::ws, wanted);
            for (int r = -Screen().HistoryDepth(); r < Screen().Geometry().screenRows; ++r) {
                if (!Screen().RowContinues(Screen().FirstScreenRow() + r)) continue;
                actual += (actual.empty() ? "" : " ") + std::to_string(r);
            }
        } else {
            throw std::runtime_error(where + ": unknown step " + word);
        }
        if (actual == wanted) return "";
        return where + ": " + word + "\n  wanted: " + wanted + "\n  actual: " + actual + "\n";
    }

    ReplaySession session_;
    Selection selection_;
};

struct SelectionScript : ::testing::TestWithParam<SelectionCase> {};

TEST_P(SelectionScript, MarksAndCopiesAsStated) {
    SelectionRun run(GetParam());
    std::string failures;
    for (const auto& [where, step] : GetParam().steps) failures += run.Step(where, step);
    EXPECT_EQ(failures, "");
}

std::string CaseName(const ::testing::TestParamInfo<SelectionCase>& info) {
    return "line" + info.param.where.substr(info.param.where.rfind(':') + 1);
}

INSTANTIATE_TEST_SUITE_P(Selection, SelectionScript, ::testing::ValuesIn(LoadCases()), CaseName);

}  // namespace
}  // namespace quill::test
