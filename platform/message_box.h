// Modal message boxes.
#pragma once

enum class MessageBoxButtons { ok, yes_no };
enum class MessageBoxAnswer { ok, yes, no };

// Shows text (lines separated by '\n') under caption and waits for the
// answer. On a display this is a modal window; without one the text goes
// to stderr and the answer is read from stdin (No or OK when none comes).
MessageBoxAnswer platform_message_box(const char* text, const char* caption,
                                      MessageBoxButtons buttons);

// Tests replace the box: while set, the hook answers instead of the user.
using MessageBoxHook = MessageBoxAnswer (*)(const char* text, const char* caption,
                                            MessageBoxButtons buttons);
void platform_set_message_box_hook(MessageBoxHook hook);
