// The translation stays in step with feastmoor.bas: every line number it
// passes names a statement line there, and the texts it prints stand on
// that line.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> read_lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool is_statement_line(const std::string& line) {
    static const std::regex blank_comment_or_label(R"(^\s*('.*)?$|^[A-Za-z_][A-Za-z0-9_]*:\s*$)");
    return !std::regex_match(line, blank_comment_or_label);
}

std::string escaped_for_bas(const std::string& cpp_literal) {
    std::string out;
    for (size_t i = 0; i < cpp_literal.size(); ++i) {
        if (cpp_literal[i] == '\\' && i + 1 < cpp_literal.size()) ++i;
        out += cpp_literal[i];
    }
    return out;
}

TEST(Translation, EveryLineNamesAStatementOfTheBasicSource) {
    const auto bas = read_lines(FEASTMOOR_SOURCE_DIR "/game/feastmoor.bas");
    ASSERT_GT(bas.size(), 300u);
    std::ifstream in(FEASTMOOR_SOURCE_DIR "/game/feastmoor.cpp");
    std::stringstream source;
    source << in.rdbuf();
    const std::string cpp = source.str();

    static const std::regex call(
        R"(\b(statement|condition|print_line|print_item|print_spaces|print_empty|cls|color|wait_for_key|)"
        R"(drain_keys|key_wait|gosub|basic_return|end_statement|print_countdown|any_of|move_command)\((\d+))");
    static const std::regex move_row(R"(\{(\d+), \d+, \d+\})");
    int checked = 0;
    for (const auto* pattern : {&call, &move_row}) {
        for (std::sregex_iterator it(cpp.begin(), cpp.end(), *pattern), end; it != end; ++it) {
            size_t line = std::stoul((*it)[pattern == &call ? 2 : 1]);
            ASSERT_GE(line, 1u);
            ASSERT_LE(line, bas.size());
            EXPECT_TRUE(is_statement_line(bas[line - 1])) << "line " << line << ": " << bas[line - 1];
            ++checked;
        }
    }
    EXPECT_GT(checked, 250);

    static const std::regex printed(R"(print_(?:line|item)\((\d+), \"((?:[^\"\\]|\\.)*)\"\))");
    for (std::sregex_iterator it(cpp.begin(), cpp.end(), printed), end; it != end; ++it) {
        size_t line = std::stoul((*it)[1]);
        std::string text = escaped_for_bas((*it)[2]);
        EXPECT_NE(bas[line - 1].find("PRINT \"" + text + "\""), std::string::npos)
            << "line " << line << " does not print \"" << text << "\": " << bas[line - 1];
    }
}

}  // namespace
