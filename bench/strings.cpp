// The string store against std::string doing the same work: a statement of
// temporaries (three-way concatenation assigned to a variable, then the
// statement's cleanup) and a long string built up one byte at a time.
// The "allocs" counter is calls into the system allocator per iteration.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <string>

#include "runtime/core/memory.h"
#include "runtime/core/startup_hooks.h"
#include "runtime/values/basic_string.h"

#if !defined(__SANITIZE_ADDRESS__)
// Counts calls into glibc's allocator (its documented replacement hooks).
extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_calloc(size_t, size_t);
extern "C" void* __libc_realloc(void*, size_t);
static std::atomic<long> system_allocations{0};
extern "C" void* malloc(size_t n) {
    system_allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(n);
}
extern "C" void* calloc(size_t n, size_t size) {
    system_allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(n, size);
}
extern "C" void* realloc(void* p, size_t n) {
    system_allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(p, n);
}
#else
static std::atomic<long> system_allocations{0};
#endif

namespace {

void fresh_store() {
    static bool memory = false;
    if (!memory) memory_startup(), memory = true;
    string_store_reset();
    strings_startup();
}

BasicString* variable(const char* text) {
    return string_assign(string_new(0, 0), string_literal_z(text));
}

void report_allocations(benchmark::State& state, long before) {
    state.counters["allocs"] = benchmark::Counter(
        static_cast<double>(system_allocations.load() - before), benchmark::Counter::kAvgIterations);
}

void BM_StatementOfTemporaries(benchmark::State& state) {
    fresh_store();
    BasicString* a = variable("You are in the ");
    BasicString* b = variable("dining room");
    BasicString* c = variable(". Exits: NORTH, EAST.");
    BasicString* s = string_new(0, 0);
    int32_t mark = string_mark();
    for (int i = 0; i < 1000; ++i) {  // warm the pools
        string_assign(s, string_concat(string_concat(a, b), c));
        string_cleanup(mark, 0);
    }
    long before = system_allocations.load();
    for (auto _ : state) {
        string_assign(s, string_concat(string_concat(a, b), c));
        string_cleanup(mark, 0);
        benchmark::DoNotOptimize(s->chars);
    }
    report_allocations(state, before);
}
BENCHMARK(BM_StatementOfTemporaries);

void BM_StatementOfTemporaries_StdString(benchmark::State& state) {
    std::string a = "You are in the ", b = "dining room", c = ". Exits: NORTH, EAST.";
    std::string s;
    long before = system_allocations.load();
    for (auto _ : state) {
        s = a + b + c;
        benchmark::DoNotOptimize(s.data());
    }
    report_allocations(state, before);
}
BENCHMARK(BM_StatementOfTemporaries_StdString);

void BM_BuildUp(benchmark::State& state) {
    fresh_store();
    BasicString* s = string_new(0, 0);
    int32_t mark = string_mark();
    long before = system_allocations.load();
    for (auto _ : state) {
        string_assign(s, string_literal_z(""));
        for (int64_t i = 0; i < state.range(0); ++i) {
            string_assign(s, string_concat(s, string_literal("x", 1)));
            string_cleanup(mark, 0);
        }
        benchmark::DoNotOptimize(s->chars);
    }
    report_allocations(state, before);
}
BENCHMARK(BM_BuildUp)->Arg(1000)->Arg(20000);

void BM_BuildUp_StdString(benchmark::State& state) {
    std::string s;
    long before = system_allocations.load();
    for (auto _ : state) {
        s.clear();
        for (int64_t i = 0; i < state.range(0); ++i) {
            s = s + "x";
        }
        benchmark::DoNotOptimize(s.data());
    }
    report_allocations(state, before);
}
BENCHMARK(BM_BuildUp_StdString)->Arg(1000)->Arg(20000);

}  // namespace
