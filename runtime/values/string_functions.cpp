// The string functions and comparisons. Text is compared and converted
// byte by byte: no locale, no folding beyond the ASCII letters.
#include "runtime/values/string_functions.h"

#include <cstring>

#include "runtime/core/errors.h"
#include "runtime/core/state.h"

void (*string_field_store_hook)(BasicString* s) = nullptr;

namespace {

bool error_pending() { return pending_error.load(std::memory_order_relaxed) != 0; }

void consume(BasicString* s) {
    if (s->is_temporary) string_free(s);
}

// A new temporary of n bytes from s at offset, consuming s.
BasicString* copy_part(BasicString* s, int32_t offset, int32_t n) {
    BasicString* r = string_new(n, 1);
    std::memcpy(r->chars, s->chars + offset, n);
    consume(s);
    return r;
}

// Sign of comparing the common prefix.
int compare_prefix(const BasicString* a, const BasicString* b) {
    int32_t n = a->length < b->length ? a->length : b->length;
    return n ? std::memcmp(a->chars, b->chars, n) : 0;
}

int32_t truth(bool v) { return v ? -1 : 0; }

}  // namespace

// ---------------------------------------------------------------- comparison

int32_t string_equal(BasicString* a, BasicString* b) {
    return truth(a->length == b->length && compare_prefix(a, b) == 0);
}

int32_t string_not_equal(BasicString* a, BasicString* b) { return ~string_equal(a, b); }

int32_t string_greater(BasicString* a, BasicString* b) {
    int c = compare_prefix(a, b);
    return truth(a->length > b->length ? c >= 0 : c > 0);
}

int32_t string_less(BasicString* a, BasicString* b) {
    int c = compare_prefix(a, b);
    return truth(a->length > b->length ? c < 0 : (c < 0 || (c == 0 && a->length < b->length)));
}

int32_t string_greater_equal(BasicString* a, BasicString* b) {
    int c = compare_prefix(a, b);
    return truth(a->length > b->length ? c >= 0 : (c > 0 || (c == 0 && a->length == b->length)));
}

int32_t string_less_equal(BasicString* a, BasicString* b) {
    int c = compare_prefix(a, b);
    return truth(a->length > b->length ? c < 0 : c <= 0);
}

// --------------------------------------------------------------------- INSTR

int32_t string_instr(int32_t start, BasicString* h, BasicString* n, int32_t start_given) {
    if (!start_given) start = 1;
    if (h->length == 0) return 0;
    if (start <= 0) {
        start = 1;
        if (n->length == 0) return 0;
    }
    if (start > h->length) return 0;
    if (n->length == 0) return start;
    if (static_cast<int64_t>(start) + n->length - 1 > h->length) return 0;
    const uint8_t* end = h->chars + h->length;
    const uint8_t* p = h->chars + start - 1;
    while (p < end) {
        auto* c = static_cast<const uint8_t*>(std::memchr(p, n->chars[0], end - p));
        if (!c || end - c < n->length) return 0;
        if (std::memcmp(c, n->chars, n->length) == 0) return static_cast<int32_t>(c - h->chars) + 1;
        p = c + 1;
    }
    return 0;
}

// ------------------------------------------------------------------- case

namespace {

template <uint8_t From, uint8_t To>
BasicString* convert_case(BasicString* s) {
    auto changes = [](uint8_t c) { return c >= From && c <= To; };
    constexpr int delta = From == 'a' ? -32 : 32;
    if (s->length == 0) return s;
    if (!string_modifiable(s)) {
        int32_t i = 0;
        while (i < s->length && !changes(s->chars[i])) ++i;
        if (i == s->length) return s;
        s = copy_part(s, 0, s->length);
    }
    for (int32_t i = 0; i < s->length; ++i)
        if (changes(s->chars[i])) s->chars[i] = static_cast<uint8_t>(s->chars[i] + delta);
    return s;
}

}  // namespace

BasicString* string_ucase(BasicString* s) { return convert_case<'a', 'z'>(s); }
BasicString* string_lcase(BasicString* s) { return convert_case<'A', 'Z'>(s); }

// ------------------------------------------------------------ substrings

namespace {

// s cut to n bytes from offset: in place when allowed, else a copy.
BasicString* substring(BasicString* s, int32_t offset, int32_t n) {
    if (offset == 0 && n == s->length) return s;
    if (string_modifiable(s)) {
        s->chars += offset;
        s->length = n;
        return s;
    }
    return copy_part(s, offset, n);
}

int32_t clamp(int32_t n, int32_t low, int32_t high) { return n < low ? low : n > high ? high : n; }

}  // namespace

BasicString* string_left(BasicString* s, int32_t n) {
    n = clamp(n, 0, s->length);
    return substring(s, 0, n);
}

BasicString* string_right(BasicString* s, int32_t n) {
    n = clamp(n, 0, s->length);
    return substring(s, s->length - n, n);
}

BasicString* string_mid(BasicString* s, int32_t start, int32_t n, int32_t n_given) {
    int64_t st = start, count = n;
    if (n_given) {
        if (st <= 0) {
            count += st - 1;
            st = 1;
        }
        if (count <= 0 || st > s->length) {
            st = 1;
            count = 0;
        } else if (st + count > s->length) {
            count = s->length - st + 1;
        }
    } else {
        if (st <= 0) st = 1;
        count = s->length - st + 1;
        if (count <= 0) {
            st = 1;
            count = 0;
        }
    }
    return substring(s, static_cast<int32_t>(st - 1), static_cast<int32_t>(count));
}

void string_mid_assign(BasicString* d, int32_t start, int32_t n, BasicString* s, int32_t n_given) {
    if (error_pending() || d == empty_string || d->is_read_only) return;
    int64_t st = start, count = n_given ? n : s->length, skip = 0;
    if (st <= 0) {
        count += st - 1;
        skip = 1 - st;
        st = 1;
    }
    if (count <= 0 || st > d->length) return;
    if (st + count - 1 > d->length) count = d->length - st + 1;
    if (s->length <= skip) return;
    if (s->length - skip < count) count = s->length - skip;
    uint8_t* to = d->chars + st - 1;
    const uint8_t* from = s->chars + skip;
    if (to != from) std::memmove(to, from, count);
}

BasicString* string_ltrim(BasicString* s) {
    int32_t i = 0;
    while (i < s->length && s->chars[i] == ' ') ++i;
    return substring(s, i, s->length - i);
}

BasicString* string_rtrim(BasicString* s) {
    int32_t n = s->length;
    while (n > 0 && s->chars[n - 1] == ' ') --n;
    return substring(s, 0, n);
}

// ---------------------------------------------------------------- builders

BasicString* string_fill(int32_t n, int32_t code) {
    BasicString* r = string_new(n < 0 ? 0 : n, 1);
    std::memset(r->chars, static_cast<uint8_t>(code), r->length);
    return r;
}

BasicString* string_space(int32_t n) { return string_fill(n, ' '); }

BasicString* string_chr(int32_t code) {
    if (code < 0 || code > 255) {
        raise_error(5);
        return string_new(0, 1);
    }
    return string_fill(1, code);
}

int32_t string_asc(BasicString* s) {
    if (s->length == 0) {
        raise_error(5);
        return 0;
    }
    return s->chars[0];
}

int32_t string_asc_at(BasicString* s, int32_t position) {
    if (position < 1 || position > s->length) {
        raise_error(5);
        return 0;
    }
    return s->chars[position - 1];
}

int32_t string_length(BasicString* s) { return s->length; }

// --------------------------------------------------------------- LSET, RSET

namespace {

void set_field(BasicString* d, BasicString* s, bool right) {
    if (error_pending() || d == empty_string || d->is_read_only) return;
    if (s->length >= d->length) {
        std::memmove(d->chars, s->chars, d->length);
    } else {
        int32_t pad = d->length - s->length;
        uint8_t* text = d->chars + (right ? pad : 0);
        std::memmove(text, s->chars, s->length);
        std::memset(right ? d->chars : d->chars + s->length, ' ', pad);
    }
    if (d->field_binding && string_field_store_hook) string_field_store_hook(d);
}

}  // namespace

void string_lset(BasicString* d, BasicString* s) { set_field(d, s, false); }
void string_rset(BasicString* d, BasicString* s) { set_field(d, s, true); }
