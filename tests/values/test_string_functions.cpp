// Comparisons, INSTR, case, substrings, trimming, builders and LSET/RSET.
#include "fixture.h"
#include "runtime/values/string_functions.h"

using StringFunctions = Store;

struct Comparison {
    const char *a, *b;
    int32_t less, greater, less_equal, greater_equal, equal;
};

TEST_F(StringFunctions, ComparisonsFollowByteOrderAndPrefixes) {
    const Comparison cases[] = {
        {"ab", "abc", -1, 0, -1, 0, 0},
        {"abc", "ab", 0, -1, 0, -1, 0},
        {"", "a", -1, 0, -1, 0, 0},
        {"", "", 0, 0, -1, -1, -1},
        {"B", "a", -1, 0, -1, 0, 0},
        {"abc", "abd", -1, 0, -1, 0, 0},
        {"abd", "abc", 0, -1, 0, -1, 0},
        {"b", "abc", 0, -1, 0, -1, 0},
        {"\x80", "\x7f", 0, -1, 0, -1, 0},  // bytes compare unsigned
        {"same", "same", 0, 0, -1, -1, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
        BasicString *a = literal(c.a), *b = literal(c.b);
        EXPECT_EQ(string_less(a, b), c.less);
        EXPECT_EQ(string_greater(a, b), c.greater);
        EXPECT_EQ(string_less_equal(a, b), c.less_equal);
        EXPECT_EQ(string_greater_equal(a, b), c.greater_equal);
        EXPECT_EQ(string_equal(a, b), c.equal);
        EXPECT_EQ(string_not_equal(a, b), ~c.equal);
    }
    // Comparisons leave their temporaries for the cleanup.
    EXPECT_EQ(string_mark(), mark + 20);
}

TEST_F(StringFunctions, Instr) {
    struct Case {
        int32_t start, given;
        const char *haystack, *needle;
        int32_t expected;
    } cases[] = {
        {0, 0, "NORTH", "", 1},
        {0, 0, "", "", 0},
        {4, 1, "NORTH", "", 4},
        {6, 1, "NORTH", "", 0},
        {0, 1, "NORTH", "O", 2},
        {0, 1, "NORTH", "", 0},
        {-5, 1, "NORTH", "H", 5},
        {0, 0, "NORTH OR WEST", "WEST", 10},
        {0, 0, "EAST OR SOUTH", "NORTH", 0},
        {0, 0, "NORTH", "NORTH OR WEST", 0},
        {3, 1, "ABAB", "AB", 3},
        {0, 0, "AAAB", "AAB", 2},
        {0, 0, "ABC", "C", 3},
        {0, 0, "ABCA", "CAB", 0},
        {2147483647, 1, "ABC", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.haystack) + " / " + c.needle);
        EXPECT_EQ(string_instr(c.start, literal(c.haystack), literal(c.needle), c.given), c.expected);
    }
}

TEST_F(StringFunctions, CaseConversionOwnership) {
    BasicString* v = variable("NORTH 1");
    EXPECT_EQ(string_ucase(v), v);  // nothing to change: the very variable

    BasicString* t = string_concat(variable("no"), variable("rth"));
    EXPECT_EQ(string_ucase(t), t);  // a temporary converts in place
    EXPECT_EQ(text_of(t), "NORTH");

    static const char n[] = "n";
    BasicString* lit = string_literal(n, 1);
    BasicString* up = string_ucase(lit);
    EXPECT_NE(up, lit);
    EXPECT_EQ(text_of(up), "N");
    EXPECT_EQ(n[0], 'n');

    BasicString* mixed = variable("Ab\x82z");
    BasicString* low = string_lcase(mixed);
    EXPECT_EQ(text_of(low), "ab\x82z");
    EXPECT_EQ(text_of(mixed), "Ab\x82z");  // a variable is never changed
}

struct Cut {
    const char* what;
    BasicString* (*op)(BasicString*);
    const char *input, *expected;
};

TEST_F(StringFunctions, SubstringsAndTrims) {
    const Cut cases[] = {
        {"LEFT$(s,-1)", [](BasicString* s) { return string_left(s, -1); }, "ABC", ""},
        {"LEFT$(s,2)", [](BasicString* s) { return string_left(s, 2); }, "ABC", "AB"},
        {"LEFT$(s,9)", [](BasicString* s) { return string_left(s, 9); }, "ABC", "ABC"},
        {"RIGHT$(s,2)", [](BasicString* s) { return string_right(s, 2); }, "ABC", "BC"},
        {"RIGHT$(s,-2)", [](BasicString* s) { return string_right(s, -2); }, "ABC", ""},
        {"MID$(s,5)", [](BasicString* s) { return string_mid(s, 5, 0, 0); }, "ABC", ""},
        {"MID$(s,0,3)", [](BasicString* s) { return string_mid(s, 0, 3, 1); }, "ABCDE", "AB"},
        {"MID$(s,2)", [](BasicString* s) { return string_mid(s, 2, 0, 0); }, "ABCDE", "BCDE"},
        {"MID$(s,2,2)", [](BasicString* s) { return string_mid(s, 2, 2, 1); }, "ABCDE", "BC"},
        {"MID$(s,4,99)", [](BasicString* s) { return string_mid(s, 4, 99, 1); }, "ABCDE", "DE"},
        {"MID$(s,-2147483647,5)", [](BasicString* s) { return string_mid(s, -2147483647, 5, 1); }, "ABCDE", ""},
        {"MID$(s,2,2147483647)", [](BasicString* s) { return string_mid(s, 2, 2147483647, 1); }, "ABCDE", "BCDE"},
        {"LTRIM$", string_ltrim, "   ", ""},
        {"LTRIM$", string_ltrim, "\t A", "\t A"},
        {"LTRIM$", string_ltrim, "  A ", "A "},
        {"RTRIM$", string_rtrim, "A  ", "A"},
        {"RTRIM$", string_rtrim, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        BasicString* v = variable(c.input);
        EXPECT_EQ(text_of(c.op(v)), c.expected);           // copy of a variable
        EXPECT_EQ(text_of(v), c.input);                     // ... which stays
        BasicString* t = temporary(c.input);
        BasicString* r = c.op(t);
        EXPECT_EQ(text_of(r), c.expected);                  // a temporary in place
        if (r->length) {
            EXPECT_EQ(r, t);
        }
    }
}

TEST_F(StringFunctions, MidStatement) {
    struct Case {
        int32_t start, n, given;
        const char *source, *expected;
    } cases[] = {
        {0, 3, 1, "EAST", "ASRTH"},
        {2, 0, 0, "XY", "NXYTH"},
        {4, 0, 0, "XYZ", "NORXY"},
        {1, 2, 1, "XYZ", "XYRTH"},
        {6, 0, 0, "XY", "NORTH"},
        {-10, 20, 1, "XY", "NORTH"},
        {2, -1, 1, "XY", "NORTH"},
        {2147483647, 5, 1, "XY", "NORTH"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        BasicString* a = variable("NORTH");
        string_mid_assign(a, c.start, c.n, literal(c.source), c.given);
        EXPECT_EQ(text_of(a), c.expected);
    }
    BasicString* same = variable("ABCDE");
    string_mid_assign(same, 2, 0, same, 0);  // overlapping: a safe move
    EXPECT_EQ(text_of(same), "AABCD");
    string_mid_assign(empty_string, 1, 1, literal("X"), 1);
    EXPECT_EQ(empty_string->length, 0);
}

TEST_F(StringFunctions, BuildersAndCodes) {
    EXPECT_EQ(text_of(string_space(3)), "   ");
    EXPECT_EQ(text_of(string_space(-3)), "");
    EXPECT_EQ(text_of(string_fill(2, 0x141)), "AA");
    EXPECT_EQ(text_of(string_chr(65)), "A");
    EXPECT_EQ(pending_error, 0);

    BasicString* c = string_chr(256);
    EXPECT_EQ(pending_error, 5);
    EXPECT_EQ(c->length, 0);
    pending_error = 0;
    string_chr(-1);
    EXPECT_EQ(pending_error, 5);
    pending_error = 0;

    EXPECT_EQ(string_asc(literal("\xff")), 255);
    EXPECT_EQ(string_asc_at(literal("ABC"), 3), 67);
    EXPECT_EQ(string_asc(literal("")), 0);
    EXPECT_EQ(pending_error, 5);
    pending_error = 0;
    EXPECT_EQ(string_asc_at(literal("ABC"), 4), 0);
    EXPECT_EQ(pending_error, 5);
    pending_error = 0;
    EXPECT_EQ(string_asc_at(literal("ABC"), 0), 0);
    EXPECT_EQ(pending_error, 5);
    EXPECT_EQ(string_length(literal("ABCD")), 4);
}

TEST_F(StringFunctions, LsetAndRsetKeepTheDestinationLength) {
    char field[5];
    BasicString* f = string_new_fixed(field, 5, 0);
    string_lset(f, literal("AB"));
    EXPECT_EQ(std::string(field, 5), "AB   ");
    string_rset(f, literal("AB"));
    EXPECT_EQ(std::string(field, 5), "   AB");
    string_rset(f, literal("ABCDEFG"));
    EXPECT_EQ(std::string(field, 5), "ABCDE");
    BasicString* v = variable("XYZ");
    string_lset(v, literal("Q"));
    EXPECT_EQ(text_of(v), "Q  ");
    pending_error = 6;
    string_lset(v, literal("R"));
    EXPECT_EQ(text_of(v), "Q  ");
}

TEST_F(StringFunctions, ExtremeArgumentsStayInsideTheirStrings) {
    constexpr int32_t lo = INT32_MIN, hi = INT32_MAX;
    for (int32_t n : {lo, lo + 1, -1, 0, 1, 5, 6, hi - 1, hi}) {
        SCOPED_TRACE(n);
        for (bool temp : {false, true}) {
            auto s = [&] { return temp ? temporary("HELLO") : variable("HELLO"); };
            EXPECT_LE(string_left(s(), n)->length, 5);
            EXPECT_LE(string_right(s(), n)->length, 5);
            EXPECT_LE(string_mid(s(), n, n, 1)->length, 5);
            EXPECT_LE(string_mid(s(), n, 0, 0)->length, 5);
            EXPECT_LE(string_mid(s(), 2, n, 1)->length, 4);
            EXPECT_GE(string_instr(n, s(), literal("L"), 1), 0);
            BasicString* d = variable("WORLD");
            string_mid_assign(d, n, n, s(), 1);
            string_mid_assign(d, n, 0, s(), 0);
            string_mid_assign(d, 3, n, s(), 1);
            EXPECT_EQ(d->length, 5);
            pending_error = 0;
            string_asc_at(s(), n);
            string_chr(n);
            pending_error = 0;
        }
        string_cleanup(mark, 0);
    }
    EXPECT_EQ(string_space(lo)->length, 0);
    EXPECT_EQ(string_fill(lo, hi)->length, 0);
}
