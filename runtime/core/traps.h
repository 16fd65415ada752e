// Event trap tables: ON TIMER, ON KEY and controller buttons.
#pragma once
#include <atomic>
#include <cstdint>

struct TimerTrap {
    std::atomic<uint8_t> in_use;
    std::atomic<int32_t> handler;   // 0: none
    int64_t argument;
    std::atomic<uint8_t> state;     // 0 off, 1 on, other: stopped
    std::atomic<uint8_t> pending;   // 0 idle, 1 due, 2 dispatching
    std::atomic<double> interval;   // seconds
    double last;                    // seconds; 0: not started (timer thread only)
};

struct KeyTrap {
    int32_t handler;
    int64_t argument;
    uint8_t state;
    std::atomic<uint8_t> pending_count;
    int32_t key_code;
    int32_t second_key_code;
};

struct DeviceButtonTrap {
    int32_t handler;
    int64_t argument;
    uint8_t state;
    std::atomic<uint8_t> pending_count;
};

constexpr int TIMER_TRAP_CAPACITY = 256;
constexpr int KEY_TRAP_COUNT = 32;
constexpr int DEVICE_BUTTON_TRAP_COUNT = 65536;
constexpr int DEVICE_RECORD_COUNT = 11;

extern TimerTrap timer_traps[TIMER_TRAP_CAPACITY];
extern std::atomic<int32_t> timer_trap_count;
extern KeyTrap key_traps[KEY_TRAP_COUNT];
extern DeviceButtonTrap device_button_traps[DEVICE_BUTTON_TRAP_COUNT];

// Controller devices; subsystem 10 fills them, none here.
struct DeviceRecord {
    int32_t kind;  // 0 none, 1 keyboard, 2 mouse, 3 controller
};
constexpr int32_t DEVICE_KIND_CONTROLLER = 3;
extern DeviceRecord device_records[DEVICE_RECORD_COUNT];
extern int32_t device_count;

// Set while a handler of that kind runs.
extern int32_t button_dispatch;
extern int32_t key_dispatch;

// Set by a timer dispatch so that a SLEEP in progress ends.
extern std::atomic<int32_t> sleep_wake;

// Start-up steps 4 and 5.
void init_trap_tables();

// Runs the translated program's handler; set by start-up.
using TrapDispatch = void (*)(int32_t handler, int64_t argument);
void set_trap_dispatch(TrapDispatch dispatch);

// True when some timer trap could fall due (in use, handled, not off).
bool timer_traps_running();

// One pass of the timer thread's trap step, at now seconds: makes due
// traps pending. Returns true if the pause word interrupted the pass.
bool advance_timer_traps(double now);
