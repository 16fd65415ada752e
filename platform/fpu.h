// Floating-point unit control and the arithmetic-fault signal.
#pragma once

// Sets the x87 precision control to 64-bit mantissas where the machine
// has one; a no-op elsewhere.
void platform_fpu_set_extended_precision();

// Reads back the precision-control field (3 = 64-bit mantissa), or -1.
int platform_fpu_precision_control();

// Installs handler for arithmetic faults (integer division by zero).
void platform_install_arithmetic_fault_handler(void (*handler)(int signal_number));
