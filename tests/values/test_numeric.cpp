// Rounding, arrays, lock records, FIX, EXP, LOG, RND and RANDOMIZE.
#include <cmath>

#include "fixture.h"
#include "platform/fpu.h"
#include "runtime/values/arrays.h"
#include "runtime/values/numeric.h"

class Numeric : public Store {
protected:
    void SetUp() override {
        Store::SetUp();
        lock_store_reset();
        rnd_seed = RND_INITIAL_SEED;
        platform_fpu_set_extended_precision();
    }
};

TEST_F(Numeric, RoundingTiesToEven) {
    struct Case {
        double value;
        int32_t expected;
    } cases[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {2.4999, 2}, {-0.5, 0}, {1.5, 2}, {-1.5, -2}, {0.49999999, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(round_double_to_int32(c.value), c.expected) << c.value;
        EXPECT_EQ(round_single_to_int32(static_cast<float>(c.value)), c.expected) << c.value;
        EXPECT_EQ(round_extended_to_int64(c.value), c.expected) << c.value;
    }
    EXPECT_EQ(round_extended_to_int64(4503599627370497.5L), 4503599627370498LL);
    // Out of range and NaN: the most negative value, no error.
    EXPECT_EQ(round_double_to_int32(3e9), INT32_MIN);
    EXPECT_EQ(round_single_to_int32(NAN), INT32_MIN);
    EXPECT_EQ(round_extended_to_int64(1e30L), INT64_MIN);
    EXPECT_EQ(pending_error, 0);
}

TEST_F(Numeric, StringArrayBoundsAndElements) {
    ArrayDescriptor* rooms = string_array_new(1, 12);
    EXPECT_EQ(rooms->count, 12);
    EXPECT_EQ(rooms->lower_bound, 1);
    EXPECT_EQ(rooms->multiplier, 1);
    EXPECT_EQ(rooms->flags, 3);
    EXPECT_EQ(rooms->lock->type, LOCK_ARRAY);
    EXPECT_EQ(rooms->lock->id, 0x40000000u);
    auto** slots = static_cast<BasicString**>(rooms->data);
    for (int32_t i = 1; i <= 12; ++i) {
        BasicString* e = string_array_element(rooms, i);
        EXPECT_EQ(e, slots[i - 1]);
        EXPECT_EQ(e->length, 0);
        EXPECT_FALSE(e->is_temporary);
    }
    EXPECT_EQ(pending_error, 0);
    for (int64_t bad : {0LL, 13LL, -1LL, 1LL + (1LL << 32)}) {
        pending_error = 0;
        EXPECT_EQ(string_array_element(rooms, bad), slots[0]) << bad;
        EXPECT_EQ(pending_error, 9);
    }
    pending_error = 0;
    // A room number held in a single: 2.5 selects 2, 3.5 selects 4.
    EXPECT_EQ(string_array_element(rooms, round_extended_to_int64(2.5f)), slots[1]);
    EXPECT_EQ(string_array_element(rooms, round_extended_to_int64(3.5f)), slots[3]);
}

TEST_F(Numeric, CheckIndexComparesUnsigned) {
    EXPECT_EQ(check_index(11, 12), 11);
    EXPECT_EQ(check_index(-1, 12), 0);
    EXPECT_EQ(pending_error, 9);
    pending_error = 0;
    EXPECT_EQ(check_index(0, 0), 0);
    EXPECT_EQ(pending_error, 9);
}

TEST_F(Numeric, LockRecordIds) {
    uint64_t id = 0;
    LockRecord* first = new_lock_record(&id);
    EXPECT_EQ(id, 1073741824u);
    EXPECT_EQ(current_lock_record, first);
    release_lock_record(first);
    EXPECT_EQ(first->id, 0u);
    LockRecord* again = new_lock_record();
    EXPECT_EQ(again, first);
    EXPECT_EQ(again->id, 1073741825u);
    for (int i = 0; i < 25000; ++i) new_lock_record();  // across blocks
    EXPECT_EQ(new_lock_record()->id, 1073741825u + 25001);
}

TEST_F(Numeric, LockRecordOwningStorageFreesIt) {
    LockRecord* r = new_lock_record();
    r->type = LOCK_OWNS_STORAGE;
    r->storage = std::malloc(64);
    release_lock_record(r);
    EXPECT_EQ(r->storage, nullptr);
}

TEST_F(Numeric, FixExpLog) {
    EXPECT_EQ(basic_fix(-2.7), -2);
    EXPECT_EQ(basic_fix(2.7), 2);
    EXPECT_EQ(basic_fix_extended(-0.5L), 0);
    EXPECT_FLOAT_EQ(basic_exp_single(1), std::exp(1.0f));
    EXPECT_EQ(pending_error, 0);

    struct Case {
        const char* what;
        double (*run)();
        int32_t error;
    } errors[] = {
        {"EXP(89) single", [] { return double(basic_exp_single(89)); }, 6},
        {"EXP(710) double", [] { return basic_exp(710); }, 6},
        {"EXP(710) extended", [] { return double(basic_exp_extended(710)); }, 6},
        {"LOG(0)", [] { return basic_log(0); }, 5},
        {"LOG(-1)", [] { return basic_log(-1); }, 5},
    };
    for (const auto& c : errors) {
        SCOPED_TRACE(c.what);
        pending_error = 0;
        EXPECT_EQ(c.run(), 0);
        EXPECT_EQ(pending_error, c.error);
    }
    pending_error = 0;
    EXPECT_GT(basic_exp_single(88.02f), 1e38f);
    EXPECT_GT(basic_exp(709.78), 1e308);
    EXPECT_DOUBLE_EQ(basic_log(std::exp(2.0)), 2.0);
    EXPECT_EQ(pending_error, 0);
}

TEST_F(Numeric, RndSequence) {
    EXPECT_EQ(basic_rnd(0, 1), 0.01953125f);  // before any other RND
    EXPECT_NEAR(basic_rnd(0, 0), 0.7055475f, 1e-7);
    EXPECT_NEAR(basic_rnd(1, 1), 0.533424f, 1e-7);
    float third = basic_rnd(0, 0);
    EXPECT_NEAR(third, 0.5795186f, 1e-7);
    EXPECT_EQ(basic_rnd(0, 1), third);
    // A negative argument reseeds: the same value, the same number.
    float a = basic_rnd(-3, 1);
    basic_rnd(0, 0);
    EXPECT_EQ(basic_rnd(-3, 1), a);
    pending_error = 5;
    EXPECT_EQ(basic_rnd(1, 1), 0);
}

TEST_F(Numeric, RandomizeForms) {
    basic_rnd(0, 0);  // leaves low bits in the seed
    uint32_t low = rnd_seed & 0xFF;
    basic_randomize(1.0, RandomizeForm::with_value);  // upper word 0x3FF00000
    EXPECT_EQ(rnd_seed, ((0x3FF00000u ^ 0x3FF0u) & 0xFFFF) * 256 + low);
    basic_randomize(1.0, RandomizeForm::resetting);
    uint32_t reset = rnd_seed;
    EXPECT_EQ(reset & 0xFF, 0u);
    float first = basic_rnd(1, 1);
    basic_randomize(1.0, RandomizeForm::resetting);
    EXPECT_EQ(basic_rnd(1, 1), first);

    static const char* asked = nullptr;
    randomize_input_hook = [](const char* prompt) {
        asked = prompt;
        return -1;
    };
    basic_randomize(0, RandomizeForm::prompt);
    randomize_input_hook = nullptr;
    EXPECT_STREQ(asked, "Random-number seed (-32768 to 32767)? ");
    EXPECT_EQ(rnd_seed >> 8, 0xFFFFu);
    pending_error = 5;
    basic_randomize(2.0, RandomizeForm::with_value);
    EXPECT_EQ(rnd_seed >> 8, 0xFFFFu);
}
