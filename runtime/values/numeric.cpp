// Rounding conversions, FIX, EXP, LOG, RND and RANDOMIZE.
#include "runtime/values/numeric.h"

#include <climits>
#include <cmath>
#include <cstring>

#include "runtime/core/errors.h"
#include "runtime/core/state.h"

// The current rounding mode is never changed, so rint-style conversions
// round to nearest with ties to even. Values outside the target range
// (and NaN) give the most negative value, as the x87 unit does.
int32_t round_double_to_int32(double value) {
    double r = std::nearbyint(value);
    if (!(r >= INT32_MIN && r <= INT32_MAX)) return INT32_MIN;
    return static_cast<int32_t>(r);
}

int32_t round_single_to_int32(float value) { return round_double_to_int32(value); }

int64_t round_extended_to_int64(long double value) {
    long double r = std::nearbyint(value);
    // 2^63 is exact in long double; anything at or beyond it is out of range.
    if (!(r >= -9223372036854775808.0L && r < 9223372036854775808.0L)) return INT64_MIN;
    return static_cast<int64_t>(r);
}

double basic_fix(double value) { return std::trunc(value); }
long double basic_fix_extended(long double value) { return std::trunc(value); }

namespace {
constexpr double EXP_SINGLE_LIMIT = 88.02969;
constexpr double EXP_DOUBLE_LIMIT = 709.782712893;

double checked_exp(double value, double limit) {
    if (value > limit) {
        raise_error(6);
        return 0;
    }
    return std::exp(value);
}
}  // namespace

float basic_exp_single(float value) { return static_cast<float>(checked_exp(value, EXP_SINGLE_LIMIT)); }
double basic_exp(double value) { return checked_exp(value, EXP_DOUBLE_LIMIT); }
long double basic_exp_extended(long double value) {
    return checked_exp(static_cast<double>(value), EXP_DOUBLE_LIMIT);
}

double basic_log(double value) {
    if (value <= 0) {
        raise_error(5);
        return 0;
    }
    return std::log(value);
}

// ------------------------------------------------------------------- RND

uint32_t rnd_seed = RND_INITIAL_SEED;
int32_t (*randomize_input_hook)(const char* prompt) = nullptr;

namespace {
constexpr uint32_t SEED_MASK = 0xFFFFFF;
constexpr float SEED_SCALE = 16777216.0f;
bool error_pending() { return pending_error.load(std::memory_order_relaxed) != 0; }
}  // namespace

float basic_rnd(float value, int32_t value_given) {
    if (error_pending()) return 0;
    if (!value_given) value = 1;
    if (value == 0) return static_cast<float>(rnd_seed) / SEED_SCALE;
    if (value < 0) {
        uint32_t bits;
        std::memcpy(&bits, &value, 4);
        rnd_seed = (bits & SEED_MASK) + (bits >> 24);
    }
    rnd_seed = static_cast<uint32_t>((static_cast<uint64_t>(rnd_seed) * 16598013u + 12820163u) & SEED_MASK);
    return static_cast<float>(rnd_seed) / SEED_SCALE;
}

void basic_randomize(double value, RandomizeForm form) {
    if (error_pending()) return;
    uint32_t m;
    if (form == RandomizeForm::prompt) {
        int32_t answer = randomize_input_hook ? randomize_input_hook(RANDOMIZE_PROMPT) : 0;
        if (error_pending()) return;
        m = static_cast<uint32_t>(answer) & 0xFFFF;
    } else {
        uint64_t bits;
        std::memcpy(&bits, &value, 8);
        auto h = static_cast<uint32_t>(bits >> 32);
        m = (h ^ (h >> 16)) & 0xFFFF;
    }
    uint32_t low = form == RandomizeForm::resetting ? (RND_INITIAL_SEED & 0xFF) : (rnd_seed & 0xFF);
    rnd_seed = m * 256 + low;
}
