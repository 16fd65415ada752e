// Descriptors, pools, temporaries, assignment and concatenation.
#include <cstring>

#include "fixture.h"

using Strings = Store;

TEST_F(Strings, TakeOverMovesNoBytesAndRecyclesTheTemporary) {
    BasicString* v = variable("");
    BasicString* t = temporary("HELLO");
    uint8_t* bytes = t->chars;
    int32_t slot = t->temporary_slot;
    string_assign(v, t);
    EXPECT_EQ(v->chars, bytes);
    EXPECT_EQ(text_of(v), "HELLO");
    EXPECT_EQ(string_temporary_list[slot], STRING_HOLE);
    EXPECT_EQ(string_temporary_top, mark);
    EXPECT_EQ(main_string_pool.list[v->pool_slot], v);
    // The recycled descriptor comes back zero-filled.
    BasicString* next = string_new(3, 1);
    EXPECT_EQ(next, t);
    EXPECT_EQ(next->temporary_slot, mark);
}

TEST_F(Strings, LiteralIsCopiedNotTakenOver) {
    static const char text[] = "NORTH";
    BasicString* v = string_new(0, 0);
    string_assign(v, string_literal(text, 5));
    EXPECT_NE(v->chars, reinterpret_cast<const uint8_t*>(text));
    EXPECT_EQ(text_of(v), "NORTH");
    EXPECT_EQ(string_temporary_top, mark);
}

TEST_F(Strings, FixedLengthTruncatesAndPads) {
    char storage[4];
    BasicString* f = string_new_fixed(storage, 4, 0);
    string_assign(f, literal("ABCDEFGH"));
    EXPECT_EQ(std::string(storage, 4), "ABCD");
    string_assign(f, literal("AB"));
    EXPECT_EQ(std::string(storage, 4), "AB  ");
    EXPECT_EQ(f->length, 4);
    EXPECT_EQ(f->chars, reinterpret_cast<uint8_t*>(storage));
}

TEST_F(Strings, LastStringGrowsInPlaceWithoutSlack) {
    BasicString* v = variable("AB");
    uint8_t* start = v->chars;
    ASSERT_EQ(main_string_pool.list[main_string_pool.list_count - 1], v);
    string_assign(v, literal("ABCDEFGHIJ"));
    EXPECT_EQ(v->chars, start);
    EXPECT_EQ(main_string_pool.used, static_cast<size_t>(start - main_string_pool.data) + 10);
}

TEST_F(Strings, ConcatWithEmptyReturnsTheOtherOperand) {
    BasicString* v = variable("X");
    EXPECT_EQ(string_concat(literal(""), v), v);
    EXPECT_EQ(string_concat(v, empty_string), v);
    BasicString* r = string_concat(v, literal("YZ"));
    EXPECT_EQ(text_of(r), "XYZ");
    EXPECT_TRUE(r->is_temporary);
}

TEST_F(Strings, FreeingTemporariesInReverseGivesSpaceBack) {
    BasicString* v = variable("KEEP");
    for (int i = 0; i < 5; ++i) temporary(std::string(10 + i, 'x'));
    string_cleanup(mark, 0);
    EXPECT_EQ(main_string_pool.used,
              static_cast<size_t>(v->chars - main_string_pool.data) + 4 + STRING_SLACK);
    string_free(v);
    string_free(command_line_string);
    EXPECT_EQ(main_string_pool.used, 0u);
}

TEST_F(Strings, CleanupAtTheTopIsANoOpAndPassesThrough) {
    temporary("A");
    int32_t top = string_mark();
    EXPECT_EQ(string_cleanup(top, -1), -1);
    EXPECT_EQ(string_mark(), top);
    EXPECT_EQ(string_cleanup(mark, 7), 7);
    EXPECT_EQ(string_mark(), mark);
}

TEST_F(Strings, HoleBelowTheTopIsPassedOnceTheTopFalls) {
    BasicString* a = temporary("A");
    BasicString* b = temporary("B");
    string_free(a);
    EXPECT_EQ(string_mark(), mark + 2);
    string_free(b);
    EXPECT_EQ(string_mark(), mark);
}

TEST_F(Strings, CompactionKeepsOrderAndNearStrings) {
    BasicString* a = variable("AAAA");
    BasicString* gap = variable(std::string(100, 'g'));
    BasicString* b = variable("BBBB");
    uint8_t* a_at = a->chars;
    string_free(gap);
    // Force a compaction by asking for more than is left.
    BasicString* big = string_new(static_cast<int32_t>(main_string_pool.size - main_string_pool.used), 1);
    EXPECT_EQ(a->chars, a_at);  // within 32 bytes of its packed place
    EXPECT_LT(a->chars, b->chars);
    EXPECT_EQ(text_of(a), "AAAA");
    EXPECT_EQ(text_of(b), "BBBB");
    EXPECT_LT(b->chars, big->chars);
}

TEST_F(Strings, ConventionalStringsKeepTheirDosDescriptors) {
    BasicString* c = string_new_conventional(0, 0);
    uint32_t at = c->conventional_descriptor_offset;
    EXPECT_EQ(c->conventional_descriptor, conventional_data_area() + at);
    string_assign(c, literal("HELLO"));
    const uint8_t* d = c->conventional_descriptor;
    EXPECT_EQ(d[0] | d[1] << 8, 5);
    EXPECT_EQ(conventional_data_area() + (d[2] | d[3] << 8), c->chars);
    EXPECT_EQ(text_of(c), "HELLO");
}

TEST_F(Strings, StartupStringsAndTheReservedTop) {
    EXPECT_EQ(text_of(empty_string), "");
    EXPECT_EQ(text_of(space_string), " ");
    EXPECT_EQ(text_of(opcode_message), "Unknown Opcode (  )");
    EXPECT_TRUE(empty_string->in_conventional);
    // Three 4-byte descriptors below the 8 reserved bytes.
    EXPECT_EQ(conventional_descriptor_stack, 65536u - 8 - 12);
}

TEST_F(Strings, NegativeLengthsBecomeEmpty) {
    EXPECT_EQ(string_new(-5, 1)->length, 0);
    EXPECT_EQ(string_new_conventional(-1, 1)->length, 0);
    EXPECT_EQ(string_literal(nullptr, 9)->length, 0);
    EXPECT_EQ(string_literal_z(nullptr)->length, 0);
}

TEST_F(Strings, ConventionalExhaustionIsCritical) {
    // Pool full even after compaction.
    EXPECT_CRITICAL(string_new_conventional(70000, 1), "Critical Error #13");
    // A 4-byte descriptor that would land on string bytes.
    int32_t room = static_cast<int32_t>(conventional_descriptor_stack - conventional_string_pool.used);
    string_new_conventional(room - 2, 1);
    EXPECT_CRITICAL(string_new_conventional(0, 0), "Critical Error #14");
    EXPECT_CRITICAL(string_new_fixed(conventional_data_area() + 300, 1, 0), "Critical Error #15");
}

TEST_F(Strings, ConventionalCompactionMovesTextAndDescriptors) {
    BasicString* keep = string_new_conventional(0, 0);
    BasicString* gone = string_new_conventional(0, 0);
    string_assign(gone, literal("GONE GONE GONE"));
    string_assign(keep, literal("KEEP"));
    string_free(gone);
    // Fill the rest; the next request compacts and packs "KEEP" lower.
    uint8_t* before = keep->chars;
    int32_t room = static_cast<int32_t>(conventional_descriptor_stack - conventional_string_pool.used);
    string_new_conventional(room, 1);
    string_cleanup(mark, 0);
    string_new_conventional(8, 1);
    EXPECT_LT(keep->chars, before);
    EXPECT_EQ(text_of(keep), "KEEP");
    const uint8_t* d = keep->conventional_descriptor;
    EXPECT_EQ(conventional_data_area() + (d[2] | d[3] << 8), keep->chars);
}
