// Random statements over both pools, checked against a plain model and the
// pool invariants after every statement. Small pools and lists make
// compaction, pool growth, list tidying and temporary-list growth common.
#include <map>
#include <random>
#include <vector>

#include "fixture.h"
#include "runtime/values/string_functions.h"

namespace {

struct Variable {
    BasicString* s;
    std::string expected;
    std::vector<uint8_t>* fixed_storage;  // fixed-length variables only
};

class Model {
public:
    explicit Model(uint32_t seed) : random_(seed) {}

    void run(int statements) {
        make_variables();
        for (int i = 0; i < statements; ++i) {
            int32_t mark = string_mark();
            statement();
            string_cleanup(mark, 0);
            check();
            if (::testing::Test::HasFailure()) return;
        }
    }

private:
    std::mt19937 random_;
    std::vector<Variable> vars_;
    std::vector<std::vector<uint8_t>> storage_ = std::vector<std::vector<uint8_t>>(4);

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    std::string random_text(int big = 1500) {
        int length = pick(10) == 0 ? 200 + pick(big) : pick(40);
        std::string t(length, '\0');
        for (auto& c : t) c = static_cast<char>(pick(256));
        return t;
    }

    BasicString* new_variable(int kind) {
        return kind == 0 ? string_new(0, 0) : string_new_conventional(0, 0);
    }

    void make_variables() {
        for (int i = 0; i < 12; ++i) vars_.push_back({new_variable(i % 2), "", nullptr});
        for (int i = 0; i < 4; ++i) {
            storage_[i].assign(3 + 5 * i, ' ');
            BasicString* f = string_new_fixed(storage_[i].data(), static_cast<int32_t>(storage_[i].size()), 0);
            vars_.push_back({f, std::string(storage_[i].size(), ' '), &storage_[i]});
        }
    }

    // An expression: a string and the text it must hold.
    std::pair<BasicString*, std::string> expression(int depth) {
        switch (pick(depth > 2 ? 4 : 9)) {
            case 0: {
                const Variable& v = vars_[pick(static_cast<int>(vars_.size()))];
                return {v.s, v.expected};
            }
            case 1: {
                static const char* texts[] = {"", "x", "NORTH", "a somewhat longer literal text"};
                const char* t = texts[pick(4)];
                return {string_literal_z(t), t};
            }
            case 2: {
                std::string t = random_text();
                return {string_from_bytes(t.data(), static_cast<int32_t>(t.size())), t};
            }
            case 3: {
                std::string t = random_text(2500) + random_text();
                BasicString* c = string_new_conventional(static_cast<int32_t>(t.size()), 1);
                std::copy(t.begin(), t.end(), c->chars);
                return {c, t};
            }
            case 4:
            case 5: {
                auto a = expression(depth + 1);
                auto b = expression(depth + 1);
                BasicString* r = string_concat(a.first, b.first);
                return {r, a.second + b.second};
            }
            case 6: {  // a FUNCTION's result: permanent, then made temporary
                auto a = expression(depth + 1);
                BasicString* f = string_new(0, 0);
                string_assign(f, a.first);
                return {string_make_temporary(f), a.second};
            }
            case 7: {
                auto a = expression(depth + 1);
                int n = pick(50) - 5;
                int kept = std::max(0, std::min<int>(n, static_cast<int>(a.second.size())));
                return {string_left(a.first, n), a.second.substr(0, kept)};
            }
            default: {
                auto a = expression(depth + 1);
                std::string t = a.second;
                for (auto& c : t)
                    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
                return {string_ucase(a.first), t};
            }
        }
    }

    void statement() {
        int what = pick(20);
        Variable& v = vars_[pick(static_cast<int>(vars_.size()))];
        if (what == 0 && !v.fixed_storage) {  // leave scope: free and recreate
            int kind = v.s->in_conventional;
            string_free(v.s);
            v.s = new_variable(kind);
            v.expected.clear();
            return;
        }
        if (what == 1) {  // many temporaries in one statement, one freed out of order
            std::vector<BasicString*> temps;
            for (int i = 0; i < 80; ++i) temps.push_back(string_literal_z("t"));
            string_free(temps[pick(80)]);
            return;
        }
        auto [value, text] = expression(0);
        ASSERT_EQ(text_of(value), text);
        // Conventional memory never grows: keep its variables modest.
        if (v.s->in_conventional && text.size() > 2000) {
            value = string_left(value, 2000);
            text.resize(2000);
        }
        string_assign(v.s, value);
        if (v.fixed_storage) {
            text.resize(v.fixed_storage->size(), ' ');
        }
        v.expected = text;
    }

    void check_pool(const StringPool& pool, size_t limit, bool conventional) {
        const uint8_t* previous_end = pool.data + (conventional ? 256 : 0);
        for (int32_t i = 0; i < pool.list_count; ++i) {
            const BasicString* s = pool.list[i];
            if (s == STRING_HOLE) continue;
            ASSERT_EQ(s->pool_slot, i);
            ASSERT_EQ(s->in_conventional, conventional);
            ASSERT_GE(s->chars, previous_end) << "pool order or overlap at " << i;
            previous_end = s->chars + s->length;
            ASSERT_LE(previous_end, pool.data + pool.used);
        }
        ASSERT_LE(pool.used, limit);
    }

    void check() {
        check_pool(main_string_pool, main_string_pool.size, false);
        check_pool(conventional_string_pool, conventional_descriptor_stack, true);
        ASSERT_EQ(string_mark(), 1 + 0);  // every statement cleaned up
        std::map<const BasicString*, int> seen;
        for (const auto& v : vars_) {
            ASSERT_EQ(text_of(v.s), v.expected);
            ASSERT_FALSE(v.s->is_temporary);
            ASSERT_EQ(++seen[v.s], 1) << "two variables share a descriptor";
            if (v.fixed_storage) {
                ASSERT_EQ(v.s->chars, v.fixed_storage->data());
                continue;
            }
            const StringPool& pool = v.s->in_conventional ? conventional_string_pool : main_string_pool;
            ASSERT_LT(v.s->pool_slot, pool.list_count);
            ASSERT_EQ(pool.list[v.s->pool_slot], v.s);
            if (const uint8_t* d = v.s->conventional_descriptor) {
                ASSERT_EQ(d[0] | d[1] << 8, v.s->length);
                ASSERT_EQ(conventional_data_area() + (d[2] | d[3] << 8), v.s->chars);
            }
        }
        // Only the variables (and the start-up strings) are left in the pools.
        auto live = [](const StringPool& p) {
            int n = 0;
            for (int32_t i = 0; i < p.list_count; ++i) n += p.list[i] != STRING_HOLE;
            return n;
        };
        ASSERT_EQ(live(main_string_pool), 6 + 1);
        ASSERT_EQ(live(conventional_string_pool), 6 + 3);
    }
};

}  // namespace

TEST(StringProperty, RandomStatementsMatchThePlainModel) {
    std::mt19937 seeds(20261211);
    for (int sequence = 0; sequence < 400; ++sequence) {
        uint32_t seed = seeds();
        SCOPED_TRACE("seed " + std::to_string(seed));
        string_store_reset(4096 + 4096 * (sequence % 4), 15);
        strings_startup();
        // As if a procedure held many conventional locals: less room.
        if (sequence % 2) conventional_descriptor_stack = 30000;
        Model(seed).run(300);
        if (::testing::Test::HasFailure()) return;
    }
}
