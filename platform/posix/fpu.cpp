#include "platform/fpu.h"

#include <signal.h>

#include <cstdint>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
static uint16_t read_control_word() {
    uint16_t cw;
    __asm__ volatile("fnstcw %0" : "=m"(cw));
    return cw;
}

void platform_fpu_set_extended_precision() {
    uint16_t cw = read_control_word();
    cw = uint16_t((cw & ~0x0300u) | 0x0300u);  // PC field = 11b: 64-bit mantissa
    __asm__ volatile("fldcw %0" : : "m"(cw));
}

int platform_fpu_precision_control() { return (read_control_word() >> 8) & 3; }
#else
void platform_fpu_set_extended_precision() {}
int platform_fpu_precision_control() { return -1; }
#endif

static void (*fault_handler)(int) = nullptr;

static void on_fault(int signal_number) {
    if (fault_handler) fault_handler(signal_number);
    // The handler ends the process; returning would re-run the faulting
    // instruction for ever.
    _exit(0);
}

void platform_install_arithmetic_fault_handler(void (*handler)(int)) {
    fault_handler = handler;
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = on_fault;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_NODEFER;
    sigaction(SIGFPE, &action, nullptr);
}
