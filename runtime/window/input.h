// INKEY$, SLEEP, END's key wait and the INPUT line editor.
#pragma once
#include <cstdint>

struct BasicString;

// INKEY$: one key from the BIOS keyboard buffer ("" when none).
BasicString* basic_inkey();
// The same without a string: the key's one or two bytes; 0 when none.
int32_t take_bios_key(uint8_t bytes[2]);

// SLEEP [seconds]: waits for a key pressed during the wait, or the time.
void basic_sleep(int32_t seconds, int32_t given);

// The variable kinds INPUT can read into.
enum InputType : int32_t {
    INPUT_INT8, INPUT_UINT8, INPUT_INT16, INPUT_UINT16, INPUT_INT32, INPUT_UINT32,
    INPUT_INT64, INPUT_UINT64, INPUT_SINGLE, INPUT_DOUBLE, INPUT_FLOAT, INPUT_STRING,
};

struct InputVariable {
    int32_t type;   // InputType
    void* address;  // the variable; a BasicString* for INPUT_STRING
};

// INPUT: edits a line until Enter and stores its fields; newline 0 when
// the statement ended with a semicolon.
void input_variables(const InputVariable* variables, int32_t count, int32_t newline);
// LINE INPUT: the whole line into one string variable.
void line_input(BasicString* variable, int32_t newline);

// Whether line (length bytes) can be read into variables of these types:
// the editor's live check. The partial forms of a number pass.
bool input_line_fits(const uint8_t* line, int32_t length, const int32_t* types, int32_t count);
// Stores the fields of a line that fits.
void store_input_fields(const uint8_t* line, int32_t length, const InputVariable* variables, int32_t count);
