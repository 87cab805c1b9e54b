#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/startup/command_line.h"

namespace quill {
namespace {

struct Outcome {
    CommandLineResult result;
    std::string host;
    int port;
    int dialogCalls;
};

// Runs ParseCommandLine on the arguments after the program name; the dialog
// answers dialogResult and, on OK, fills in a target of its own.
Outcome Parse(const std::vector<std::string>& arguments, bool dialogOk = true) {
    std::vector<const char*> argv{"quillterm"};
    for (const std::string& argument : arguments) argv.push_back(argument.c_str());
    ConnectionTarget target{"untouched", -5};
    int dialogCalls = 0;
    const CommandLineResult result = ParseCommandLine(static_cast<int>(argv.size()), argv.data(),
                                                      target, [&](ConnectionTarget& t) {
                                                          ++dialogCalls;
                                                          if (dialogOk) t = {"fromdialog", 2323};
                                                          return dialogOk;
                                                      });
    return {result, target.HostName, target.PortNumber, dialogCalls};
}

void ExpectTarget(const std::vector<std::string>& arguments, const std::string& host, int port) {
    const Outcome outcome = Parse(arguments);
    EXPECT_EQ(outcome.result, CommandLineResult::TargetKnown) << arguments[0];
    EXPECT_EQ(outcome.host, host) << arguments[0];
    EXPECT_EQ(outcome.port, port) << arguments[0];
    EXPECT_EQ(outcome.dialogCalls, 0);
}

void ExpectError(const std::vector<std::string>& arguments) {
    const Outcome outcome = Parse(arguments);
    EXPECT_EQ(outcome.result, CommandLineResult::Error) << (arguments.empty() ? "" : arguments[0]);
    EXPECT_EQ(outcome.host, "untouched");
    EXPECT_EQ(outcome.port, -5);
    EXPECT_EQ(outcome.dialogCalls, 0);
}

TEST(ParseCommandLine, NoArgumentsAsksTheConnectDialog) {
    const Outcome ok = Parse({}, true);
    EXPECT_EQ(ok.result, CommandLineResult::TargetKnown);
    EXPECT_EQ(ok.host, "fromdialog");
    EXPECT_EQ(ok.port, 2323);
    EXPECT_EQ(ok.dialogCalls, 1);

    const Outcome cancelled = Parse({}, false);
    EXPECT_EQ(cancelled.result, CommandLineResult::DialogCancelled);
    EXPECT_EQ(cancelled.host, "untouched");
    EXPECT_EQ(cancelled.dialogCalls, 1);
}

TEST(ParseCommandLine, OneArgumentIsAHostWithAnOptionalPort) {
    ExpectTarget({"myhost"}, "myhost", 23);
    ExpectTarget({"myhost:"}, "myhost", 23);
    ExpectTarget({"myhost:2323"}, "myhost", 2323);
    ExpectTarget({"myhost:99:5"}, "myhost", 99);
    ExpectTarget({":23"}, "23", 23);
    ExpectTarget({"::myhost::7"}, "myhost", 0);  // the port text is ":7"
    ExpectTarget({"myhost:abc"}, "myhost", 0);
    ExpectTarget({"myhost: 42x"}, "myhost", 42);
    ExpectTarget({"myhost:-1"}, "myhost", -1);
    ExpectTarget({"myhost:99999999999"}, "myhost", 2147483647);
    ExpectTarget({"10.0.0.1:8023"}, "10.0.0.1", 8023);
}

TEST(ParseCommandLine, TwoArgumentsTakeTheFirstWhole) {
    ExpectTarget({"myhost:23", "24"}, "myhost:23", 24);
    ExpectTarget({"myhost", "2323"}, "myhost", 2323);
    ExpectTarget({"::1", "23"}, "::1", 23);
    ExpectTarget({"myhost", "abc"}, "myhost", 0);
    ExpectTarget({"myhost", ""}, "myhost", 0);
}

TEST(ParseCommandLine, RefusesWhatCannotBeATarget) {
    ExpectError({"a", "b", "c"});
    ExpectError({"a", "b", "c", "d"});
    ExpectError({":"});
    ExpectError({":::"});
    ExpectError({std::string(100, 'h')});
    ExpectError({std::string(100, 'h') + ":23"});
    ExpectError({std::string(100, 'h'), "23"});
}

TEST(ParseCommandLine, HostOfNinetyNineCharactersIsAccepted) {
    const std::string host(99, 'h');
    ExpectTarget({host}, host, 23);
    ExpectTarget({host + ":24"}, host, 24);
    ExpectTarget({":" + host + ":" + std::string(200, '9')}, host, 2147483647);
    ExpectTarget({host, "25"}, host, 25);
}

}  // namespace
}  // namespace quill
