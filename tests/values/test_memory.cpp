// Static pool, conventional blocks, DEF SEG/PEEK/POKE, GOSUB stack, handle lists.
#include "fixture.h"

using Memory = Store;

TEST_F(Memory, StaticPoolIsExactAndNeverMoves) {
    auto* a = static_cast<uint8_t*>(allocate_static(4));
    auto* b = static_cast<uint8_t*>(allocate_static(4));
    EXPECT_EQ(b, a + 4);
    // A request larger than the rest starts a block of request + 2 x 1 MiB.
    auto* big = static_cast<uint8_t*>(allocate_static(STATIC_POOL_FIRST_BLOCK));
    auto* after = static_cast<uint8_t*>(allocate_static(8));
    EXPECT_EQ(after, big + STATIC_POOL_FIRST_BLOCK);
    big[STATIC_POOL_FIRST_BLOCK - 1 + 2 * STATIC_POOL_FIRST_BLOCK] = 1;  // the block's last byte
    a[0] = 42;
    EXPECT_EQ(a[0], 42);
    release_static_to(after);
    EXPECT_EQ(allocate_static(8), after);
    release_static_to(a);  // outside the current block: back to its start
    EXPECT_EQ(allocate_static(1), big);
}

TEST_F(Memory, StaticRequestEndingExactlyAtTheEndTakesANewBlock) {
    auto* first = static_cast<uint8_t*>(allocate_static(16));
    auto* next = static_cast<uint8_t*>(allocate_static(STATIC_POOL_FIRST_BLOCK - 16));
    EXPECT_NE(next, first + 16);
}

TEST_F(Memory, ConventionalBlocksFromTheTop) {
    uint8_t* top = ConventionalMemory + CONVENTIONAL_BLOCKS_TOP;
    uint8_t* first = allocate_conventional_block(1);
    uint8_t* second = allocate_conventional_block(1);
    EXPECT_EQ(first, top - 16);
    EXPECT_EQ(second, top - 32);
    free_conventional_block(first);
    EXPECT_EQ(allocate_conventional_block(16), first);
    EXPECT_EQ(allocate_conventional_block(0), top);
    free_conventional_block(top);        // ignored
    free_conventional_block(nullptr);    // ignored
    free_conventional_block(first + 1);  // starts no block: ignored
    EXPECT_EQ(allocate_conventional_block(17), top - 64);
}

TEST_F(Memory, ConventionalGapIsFilledFirstFit) {
    uint8_t* a = allocate_conventional_block(16);
    uint8_t* b = allocate_conventional_block(64);
    allocate_conventional_block(16);
    free_conventional_block(b);
    EXPECT_EQ(allocate_conventional_block(32), b + 32);  // just below a
    EXPECT_EQ(allocate_conventional_block(32), b);
    (void)a;
}

TEST_F(Memory, ConventionalRegionFillsUpWithError506) {
    // 589,568 bytes hold nine blocks of 65,536 less room; the next fails.
    for (int i = 0; i < 8; ++i) ASSERT_NE(allocate_conventional_block(65536), nullptr);
    EXPECT_NE(allocate_conventional_block(65536 - 512 * 16), nullptr);
    EXPECT_CRITICAL(allocate_conventional_block(65536), "Critical Error #6");
}

TEST_F(Memory, ConventionalBlockAbove64KIsCritical) {
    EXPECT_CRITICAL(allocate_conventional_block(65537), "Critical Error #5");
}

TEST_F(Memory, DefSegPeekPoke) {
    def_seg(0xB800, 1);
    poke(0, 65);
    EXPECT_EQ(ConventionalMemory[0xB8000], 65);
    EXPECT_EQ(peek(0), 65);
    poke(-1, 0x1FF);  // -1 is offset 65,535; only the low byte is stored
    EXPECT_EQ(ConventionalMemory[0xB8000 + 0xFFFF], 0xFF);
    def_seg(0, 0);
    ConventionalMemory[0x500] = 9;
    EXPECT_EQ(peek(0), 9);
    def_seg(-1, 1);  // segment 0xFFFF: the top of the address space
    poke(0xFFFF, 7);
    EXPECT_EQ(ConventionalMemory[0x10FFEF], 7);
    def_seg(-65536, 1);  // the low 16 bits: segment 0
    EXPECT_EQ(segment_base, 0u);
}

TEST_F(Memory, OutOfRangeOffsetsRaiseOverflow) {
    struct Case {
        const char* what;
        void (*run)();
    } cases[] = {
        {"PEEK(65536)", [] { EXPECT_EQ(peek(65536), 0); }},
        {"PEEK(-65537)", [] { EXPECT_EQ(peek(-65537), 0); }},
        {"POKE 65536", [] { poke(65536, 1); }},
        {"DEF SEG 65536", [] { def_seg(65536, 1); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        def_seg(0, 0);
        pending_error = 0;
        c.run();
        EXPECT_EQ(pending_error, 6);
        EXPECT_EQ(segment_base, CONVENTIONAL_DATA_AREA);
    }
    // While an error is pending, POKE and DEF SEG do nothing.
    poke(0, 99);
    EXPECT_NE(ConventionalMemory[0x500], 99);
    def_seg(0xB800, 1);
    EXPECT_EQ(segment_base, CONVENTIONAL_DATA_AREA);
}

TEST_F(Memory, GosubStackAlwaysHasRoomForTheNextPush) {
    int32_t capacity = return_stack_capacity;
    for (int32_t i = 0; i < capacity; ++i) gosub_push(i);
    EXPECT_GT(return_stack_capacity, return_stack_count + 1);
    for (int32_t i = capacity; i-- > 0;) ASSERT_EQ(gosub_pop(), i);
    EXPECT_EQ(pending_error, 0);
    EXPECT_EQ(gosub_pop(), -1);
    EXPECT_EQ(pending_error, 3);
}

TEST_F(Memory, HandlesAreReusedLastFreedFirst) {
    HandleList* list = handle_list_new(12);
    int32_t one = handle_list_acquire(list);
    int32_t two = handle_list_acquire(list);
    EXPECT_EQ(one, 1);
    EXPECT_EQ(two, 2);
    auto* record = static_cast<uint8_t*>(handle_list_get(list, 1));
    record[0] = 0xAA;
    EXPECT_EQ(handle_list_handle_of(list, record), 1);
    EXPECT_EQ(handle_list_release(list, 1), -1);
    EXPECT_EQ(handle_list_release(list, 1), 0);  // already free
    EXPECT_EQ(handle_list_get(list, 1), nullptr);
    EXPECT_EQ(handle_list_release(list, 2), -1);
    EXPECT_EQ(handle_list_acquire(list), 2);
    EXPECT_EQ(handle_list_acquire(list), 1);
    EXPECT_EQ(handle_list_get(list, 1), record);  // records never move
    EXPECT_EQ(record[0], 0);                       // and come back zeroed
    for (int32_t bad : {0, -1, 3, INT32_MAX}) {
        EXPECT_EQ(handle_list_release(list, bad), 0);
        EXPECT_EQ(handle_list_get(list, bad), nullptr);
    }
}

TEST_F(Memory, HandleRecordsStayPutAcrossManyBlocks) {
    HandleList* list = handle_list_new(sizeof(SpecialHandle));
    std::vector<void*> records;
    for (int32_t h = 1; h <= 5000; ++h) {
        ASSERT_EQ(handle_list_acquire(list), h);
        records.push_back(handle_list_get(list, h));
        static_cast<SpecialHandle*>(records.back())->kind = h;
    }
    for (int32_t h = 1; h <= 5000; ++h) {
        ASSERT_EQ(handle_list_get(list, h), records[h - 1]);
        ASSERT_EQ(static_cast<SpecialHandle*>(records[h - 1])->kind, h);
    }
}

TEST_F(Memory, ReleaseHookFreesWhatARecordOwns) {
    static int released = 0;
    HandleList* list = handle_list_new(8);
    list->on_release = [](void*) { ++released; };
    int32_t h = handle_list_acquire(list);
    handle_list_release(list, h);
    handle_list_release(list, h);
    EXPECT_EQ(released, 1);
}

TEST_F(Memory, StartupListsAndBiosArea) {
    handle_lists_startup();
    ASSERT_NE(special_handles, nullptr);
    EXPECT_EQ(handle_list_acquire(special_handles), 1);
    EXPECT_NE(network_blocks, nullptr);
    EXPECT_NE(network_connections, nullptr);
    // The reserved top of the conventional data area stays zero.
    for (uint32_t i = 65528; i < 65536; ++i) EXPECT_EQ(conventional_data_area()[i], 0);
}
