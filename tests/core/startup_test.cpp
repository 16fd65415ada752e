#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/core/program.h"

namespace {

struct CommandLineCase {
    std::vector<std::string> args;  // args[0] is the program
    std::string expected;
};

TEST(CommandLine, ArgumentsFromTheSecondOnJoinedByBlanks) {
    const CommandLineCase cases[] = {
        {{}, ""},
        {{"feastmoor"}, ""},
        {{"feastmoor", "a", "b c"}, "a b c"},
        {{"feastmoor", ""}, ""},
        {{"feastmoor", "x", "", "y"}, "x  y"},
    };
    for (const auto& c : cases) {
        std::vector<char*> argv;
        for (const auto& a : c.args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        EXPECT_EQ(command_line_of(int(c.args.size()), argv.data()), c.expected);
    }
}

TEST(ProgramFolder, CutAtTheLastSeparator) {
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\GAMES\\FEAST.EXE", "C:\\GAMES"},
        {"C:FEAST.EXE", "C:"},                  // a bare drive keeps its colon
        {"C:\\FEAST.EXE", "C:"},
        {"/usr/local/bin/feastmoor", "/usr/local/bin"},
        {"games/feastmoor", "games"},
        {"feastmoor", ""},                      // no separator: left unchanged
        {"", ""},
        {"D:\\a:b/c", "D:\\a:b"},              // scanned backwards: the slash comes first
    };
    for (const auto& [path, folder] : cases) EXPECT_EQ(program_folder_of(path), folder) << path;
}

}  // namespace
