#include <gtest/gtest.h>

#include "terminal_script.h"

namespace quill::test {
namespace {

class TerminalScript : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(TerminalScript, ReplayShowsExpectedState) {
    EXPECT_EQ(RunScriptCase(GetParam()), "");
}

std::string CaseName(const ::testing::TestParamInfo<ScriptCase>& info) {
    std::string name = info.param.file.substr(0, info.param.file.find('.')) + "_" +
                       std::to_string(info.param.line);
    return name;
}

INSTANTIATE_TEST_SUITE_P(Scripts, TerminalScript,
                         ::testing::ValuesIn(LoadScriptCases(QUILL_TEST_DATA)), CaseName);

}  // namespace
}  // namespace quill::test
