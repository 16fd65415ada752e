// Feastmoor, translated statement by statement from feastmoor.bas. Every
// statement passes its line in that file to the statement hook.
#include <cmath>

#include "game/basic.h"
#include "game/program.h"
#include "runtime/core/memory.h"
#include "runtime/core/program.h"
#include "runtime/screen/image.h"
#include "runtime/screen/palette.h"
#include "runtime/screen/text.h"
#include "runtime/values/arrays.h"
#include "runtime/values/numbers.h"
#include "runtime/values/numeric.h"
#include "runtime/values/string_functions.h"
#include "runtime/window/frame.h"
#include "runtime/window/input.h"
#include "runtime/window/keyboard.h"
#include "runtime/window/timing.h"

using basic::condition;
using basic::literal;
using basic::statement;

namespace {

// ---- Module-level variables (DIM SHARED), taken from variable storage once.
float* room;
float* turkey_leg_taken;
float* knife_taken;
float* limit_minutes;
float* limit_seconds;
float* time_limit;
double* end_time;
ArrayDescriptor* exits;
BasicString* command;

template <class T>
T* variable() {
    T* v = static_cast<T*>(allocate_static(sizeof(T)));
    *v = T(0);
    return v;
}

void allocate_variables() {
    room = variable<float>();              // 3
    turkey_leg_taken = variable<float>();  // 4
    knife_taken = variable<float>();       // 5
    limit_minutes = variable<float>();     // 6
    limit_seconds = variable<float>();     // 7
    time_limit = variable<float>();        // 8
    end_time = variable<double>();         // 9
    exits = string_array_new(1, 12);       // 10
    command = string_new(0, 0);            // 11
}

// exits(room): a SINGLE index is rounded to the nearest integer.
BasicString* exits_of_room() { return string_array_element(exits, round_single_to_int32(*room)); }

bool room_has(const char* direction) {
    return string_instr(1, exits_of_room(), literal(direction), 0) != 0;
}

bool command_is(const char* text) { return string_equal(command, literal(text)) != 0; }

// ---- PRINT forms. PRINT item ends the line; PRINT item; does not.
void print_line(uint32_t line, const char* text) {
    statement(line, [&] {
        BasicString* item = literal(text);
        start_print_item(item);
        print_string(item, 0);
        print_string(empty_string, 1);
    });
}

void print_item(uint32_t line, const char* text) {
    statement(line, [&] {
        BasicString* item = literal(text);
        start_print_item(item);
        print_string(item, 0);
    });
}

void print_spaces(uint32_t line, int32_t count, bool end_line) {
    statement(line, [&] {
        BasicString* item = string_space(count);
        start_print_item(item);
        print_string(item, 0);
        if (end_line) print_string(empty_string, 1);
    });
}

void print_empty(uint32_t line) {
    statement(line, [] { print_string(empty_string, 1); });
}

void cls(uint32_t line) {
    statement(line, [] { clear_screen(0, 0, 0); });
}

void color(uint32_t line, int32_t foreground, int32_t background) {
    statement(line, [&] { set_colour(foreground, background, 0, 3); });
}

// ---- Key waits.
bool inkey_empty() { return string_equal(basic_inkey(), literal("")) != 0; }

// DO / LOOP WHILE INKEY$ = "": until a key comes.
void wait_for_key(uint32_t loop_line) {
    while (condition(loop_line, [] { return inkey_empty(); })) {
    }
}

// DO / LOOP UNTIL INKEY$ = "": drains the BIOS keyboard buffer.
void drain_keys(uint32_t loop_line) {
    while (!condition(loop_line, [] { return inkey_empty(); })) {
    }
}

// The key wait after a dialogue or an examination: drain, then one key.
void key_wait(uint32_t drain_line, uint32_t wait_line) {
    drain_keys(drain_line);
    wait_for_key(wait_line);
}

// ---- GOSUB and RETURN through the return-point stack. Subroutines are
// functions; the number pushed names the GOSUB that called them.
void gosub(uint32_t line, int32_t return_point, void (*subroutine)()) {
    statement(line, [&] { gosub_push(return_point); });
    subroutine();
}

// RETURN: true when there was a GOSUB to return to.
bool basic_return(uint32_t line) {
    int32_t point = -1;
    statement(line, [&] { point = gosub_pop(); });
    return point >= 0;
}

void end_statement(uint32_t line) {
    statement(line, [] { end_program(); });
}

// ---- The endings (labels reached by GOTO; each ends with END).
[[noreturn]] void turkey_leg_ending() {
    color(308, 2, 0);
    cls(309);
    print_line(310, "It is over, once again.");
    print_line(311, "You raise the Turkey Leg like a knight's sword and crack Grubov on the head.");
    print_line(312, "That should teach him not to ruin another holiday.");
    print_line(313, "What holiday will come next? Nobody knows.");
    print_line(314, "For now it is time to eat and enjoy the family.");
    print_line(315, "You turn around for one last look at the villain...");
    print_line(316, "but the floor is empty. Grubov has escaped!");
    print_empty(317);
    wait_for_key(319);
    end_statement(320);
    end_program();
}

[[noreturn]] void knife_ending() {
    color(323, 2, 0);
    cls(324);
    print_line(325, "You charge at Grubov with the knife held high.");
    print_line(326, "He catches your wrist, turns the blade aside and shoves you to the floor.");
    print_line(327, "Before you can get up he climbs out through the open window.");
    print_line(328, "'We will meet again,' he calls back with a grin.");
    print_line(329, "Downstairs nobody noticed a thing.");
    print_line(330, "Dad carves the turkey while Mom enjoys her wine,");
    print_line(331, "and your Uncle mutters something about turkeys.");
    print_line(332, "Grubov will be back.");
    print_empty(333);
    wait_for_key(335);
    end_statement(336);
    end_program();
}

[[noreturn]] void carve_ending() {
    color(339, 2, 0);
    cls(340);
    print_line(341, "Before anyone could sit down, you carved the turkey and filled your plate.");
    print_line(342, "The meal your parents slaved over all day is ruined.");
    print_line(343, "Now everyone is angry with you.");
    print_line(344, "You had better check the lock on your bedroom door");
    print_line(345, "before you go to sleep tonight.");
    print_empty(346);
    wait_for_key(348);
    end_statement(349);
    end_program();
}

[[noreturn]] void timeout_ending() {
    cls(352);
    print_line(353, "Too late! Grubov stole the turkey, knocked Dad out cold");
    print_line(354, "and made off with what was left of the boxed wine.");
    print_line(355, "Do a better job next time. This isn't a complex game.");
    statement(356, [] { display_now(); });
    end_statement(357);
    end_program();
}

// ---- PRINT USING " ###:##.###"; minutes; seconds
void print_countdown(uint32_t line, float minutes, float seconds) {
    statement(line, [&] {
        BasicString* output = string_new(0, 0);
        BasicString* format = string_new(0, 0);
        string_assign(format, literal(" ###:##.###"));
        int32_t position = format_using_single(format, minutes, 0, output);
        format_using_single(format, seconds, position, output);
        print_using_line(output);
        string_free(format);
        string_free(output);
    });
}

// ---- FUNCTION read_command$: the command line editor with the countdown.
BasicString* read_command() {
    LockRecord* lock = new_lock_record();
    float start_column = 0, start_row = 0, key = 0;  // 360 to 366
    double remaining = 0;
    float minutes = 0, seconds = 0;
    BasicString* text = string_new(0, 0);
    BasicString* discard = string_new(0, 0);

    statement(367, [&] { start_column = float(current_column(0)); });
    statement(368, [&] { start_row = float(current_row()); });
    statement(369, [] { copy_page(0, 1); });
    do {
        statement(371, [&] { key = float(read_key_hit()); });
        statement(372, [&] { string_assign(discard, basic_inkey()); });
    } while (!condition(373, [&] { return (basic::truth(key == 0) & basic::truth(inkey_empty())) != 0; }));
    do {
        statement(375, [] { limit_rate(30); });
        statement(376, [] { copy_page(1, 0); });
        statement(377, [&] {
            set_cursor(round_single_to_int32(start_row), round_single_to_int32(start_column), 0, 0, 0, 3);
        });
        statement(378, [&] {
            start_print_item(text);
            print_string(text, 0);
            print_string(empty_string, 1);
        });
        statement(379, [&] { key = float(read_key_hit()); });
        if (condition(380, [&] { return key == 8; })) {
            if (condition(381, [&] { return string_length(text) > 0; }))
                statement(381, [&] { string_assign(text, string_left(text, string_length(text) - 1)); });
        } else if (condition(382, [&] {
                       return ((basic::truth(key >= 65) & basic::truth(key <= 90)) |
                               (basic::truth(key >= 97) & basic::truth(key <= 122)) | basic::truth(key == 32)) != 0;
                   })) {
            statement(383, [&] {
                string_assign(text, string_ucase(string_concat(text, string_chr(round_single_to_int32(key)))));
            });
        }
        statement(385, [&] { remaining = *end_time - basic_timer(0.001); });
        statement(386, [&] { minutes = float(std::floor(remaining / 60)); });
        statement(387, [&] { seconds = float(remaining - double(minutes * 60.0f)); });
        statement(388, [] { set_cursor(2, 32, 0, 0, 0, 3); });
        print_countdown(389, minutes, seconds);
        if (condition(390, [&] { return remaining <= 0; })) timeout_ending();
        statement(391, [] { display_now(); });
    } while (!condition(392, [&] { return key == 13; }));
    statement(393, [] { set_auto_display(); });

    BasicString* result = string_new(0, 0);
    statement(394, [&] { string_assign(result, text); });
    string_free(discard);  // 395: END FUNCTION releases the locals
    string_free(text);
    release_lock_record(lock);
    return string_make_temporary(result);
}

// ---- Room descriptions (GOSUB targets of describe_room).
void room_entranceway() {
    print_line(108, "You stand in the entranceway of your parents' house.");
    print_line(109, "You still live here; school keeps you busy the rest of the year.");
    basic_return(110);
}

void room_front_hall() {
    print_line(112, "The smell of roasting turkey fills the whole house.");
    print_line(113, "The front hall is papered in an old-fashioned pattern,");
    print_line(114, "the kind you would expect in a roadside motel.");
    basic_return(115);
}

void room_dining_room() {
    print_line(117, "The aroma of the holiday meal hangs over the dining room.");
    print_line(118, "Dad bustles about, setting out plates and serving spoons.");
    print_line(119, "Your Uncle has already taken his seat at the head of the table,");
    print_line(120, "sipping wine poured straight from a box.");
    if (condition(121, [] { return *turkey_leg_taken == 0; }))
        print_line(121, "A golden Turkey Leg sits on the platter, tempting you.");
    if (condition(122, [] { return *turkey_leg_taken == 1; }))
        print_line(122, "The turkey looks good enough to eat... or to club someone with.");
    basic_return(123);
}

void room_kitchen() {
    print_line(125, "The kitchen is in total chaos.");
    print_line(126, "Mom rushes from pot to pot, far too busy to notice you.");
    print_line(127, "You could pour yourself a glass of wine, but you think better of it.");
    if (condition(128, [] { return *knife_taken == 0; })) print_line(128, "A large kitchen knife rests on the counter.");
    if (condition(129, [] { return *knife_taken == 1; }))
        print_line(129, "You grip the handle of the knife like a madman.");
    basic_return(130);
}

void room_short_hallway() {
    print_line(132, "You are in a short hallway.");
    print_line(133, "There is no better place to spend the holidays than home.");
    basic_return(134);
}

void room_bathroom() {
    print_line(136, "You are in the bathroom.");
    print_line(137, "Every adventure game needs one, though nobody knows what for.");
    basic_return(138);
}

void room_watched_hallway() {
    print_line(140, "This hallway almost seems alive.");
    print_line(141, "You cannot shake the feeling that something is watching you.");
    basic_return(142);
}

void room_echoing_hallway() {
    print_line(144, "Your footsteps echo down the length of the hallway.");
    basic_return(145);
}

void room_sharp_turn() {
    print_line(147, "The hallway makes a sharp right turn towards your room.");
    print_line(148, "A sick feeling grows in the pit of your stomach.");
    basic_return(149);
}

void room_draughty_hallway() {
    print_line(151, "A cool breeze drifts through the hallway,");
    print_line(152, "as if somebody had left a window open.");
    basic_return(153);
}

void room_bedroom_door() {
    print_line(155, "You stand before the door of your bedroom.");
    print_line(156, "The door is open. That is odd; you always keep it shut.");
    basic_return(157);
}

void room_bedroom() {
    print_line(159, "Grubov stands in front of your bed, grinning.");
    print_line(160, "Behind him the window is wide open, and it has started to snow.");
    print_line(161, "Why does this always happen to you?");
    basic_return(162);
}

// SELECT CASE room / CASE n / GOSUB room_...: the CASE lines are 80, 82, ...
// and the GOSUB lines one below; return points 101 to 112.
void describe_room() {
    static void (*const ROOMS[12])() = {
        room_entranceway,     room_front_hall,      room_dining_room, room_kitchen,
        room_short_hallway,   room_bathroom,        room_watched_hallway, room_echoing_hallway,
        room_sharp_turn,      room_draughty_hallway, room_bedroom_door, room_bedroom,
    };
    float selected = 0;
    statement(79, [&] { selected = *room; });
    for (int n = 1; n <= 12; ++n) {
        uint32_t case_line = 78 + 2 * uint32_t(n);
        if (condition(case_line, [&] { return selected == float(n); })) {
            gosub(case_line + 1, 100 + n, ROOMS[n - 1]);
            break;
        }
    }
    basic_return(105);
}

// ---- The moves: IF command = "GO d" OR ... THEN SELECT CASE room ... CASE
// from: room = to: RETURN. Each row is one CASE line of the .bas.
struct Move {
    uint32_t line;
    float from, to;
};

bool move_command(uint32_t if_line, const char* go, const char* word, const char* letter, uint32_t select_line,
                  const Move* moves, int count) {
    if (!condition(if_line, [&] { return (basic::truth(command_is(go)) | basic::truth(command_is(word)) |
                                          basic::truth(command_is(letter))) != 0; }))
        return false;
    float selected = 0;
    statement(select_line, [&] { selected = *room; });
    for (int i = 0; i < count; ++i) {
        if (condition(moves[i].line, [&] { return selected == moves[i].from; })) {
            statement(moves[i].line, [&] { *room = moves[i].to; });
            return basic_return(moves[i].line);
        }
    }
    return false;
}

constexpr Move NORTH_MOVES[] = {{205, 1, 2}, {206, 2, 5}, {207, 3, 4}, {208, 5, 7},
                                {209, 7, 8}, {210, 8, 9}, {211, 10, 11}, {212, 11, 12}};
constexpr Move EAST_MOVES[] = {{217, 2, 3}, {218, 6, 5}, {219, 9, 10}};
constexpr Move SOUTH_MOVES[] = {{224, 2, 1}, {225, 4, 5}, {226, 5, 2}, {227, 7, 5},
                                {228, 8, 7}, {229, 9, 8}, {230, 11, 10}, {231, 12, 11}};
constexpr Move WEST_MOVES[] = {{236, 3, 2}, {237, 5, 6}, {238, 10, 9}};

bool any_of(uint32_t line, std::initializer_list<const char*> texts) {
    return condition(line, [&] {
        int32_t result = 0;
        for (const char* t : texts) result |= basic::truth(command_is(t));
        return result != 0;
    });
}

void help_screen() {
    cls(170);
    print_line(171, "HERE ARE SOME BASIC COMMANDS THAT CAN BE USED IN THE GAME...");
    print_empty(172);
    print_line(173, "NORTH, EAST ,SOUTH, AND WEST - MOVE TO AN AVAILABLE LOCATION");
    print_line(174, "EXAMINE (OBJECT)             - EXAMINE AN OBJECT");
    print_line(175, "USE (OBJECT)                 - USE AN OBJECT");
    print_line(176, "TAKE (OBJECT)                - TAKE OR MOVE AN OBJECT");
    print_line(177, "INVENTORY                    - VIEW YOUR INVENTORY");
    print_line(178, "DRINK                        - DRINK BEER");
    print_line(179, "UNLOCK                       - UNLOCK DOOR");
    print_line(180, "HELP                         - VIEW THIS SCREEN");
    print_line(181, "END                          - END GAME");
    print_empty(182);
    print_line(183, "PRESS ANY KEY...");
    statement(184, [] { basic_sleep(0, 0); });
    key_wait(186, 188);
}

void inventory_screen() {
    cls(191);
    print_line(192, "INVENTORY...");
    print_empty(193);
    if (condition(194, [] { return *knife_taken == 1; })) print_line(194, "Knife");
    if (condition(195, [] { return *turkey_leg_taken == 1; })) print_line(195, "Turkey Leg");
    print_empty(196);
    print_line(197, "PRESS ANY KEY...");
    key_wait(199, 201);
}

void handle_command() {
    print_item(165, "> ");
    statement(166, [] { string_assign(command, read_command()); });
    statement(167, [] { string_assign(command, string_ltrim(string_rtrim(string_ucase(command)))); });
    if (any_of(168, {"END", "QUIT", "EXIT", "Q"})) end_statement(168);
    if (any_of(169, {"HELP", "H", "?"})) help_screen();
    if (any_of(190, {"INVENTORY", "INV", "ITEMS", "I"})) inventory_screen();
    if (move_command(203, "GO NORTH", "NORTH", "N", 204, NORTH_MOVES, 8)) return;
    if (move_command(215, "GO EAST", "EAST", "E", 216, EAST_MOVES, 3)) return;
    if (move_command(222, "GO SOUTH", "SOUTH", "S", 223, SOUTH_MOVES, 8)) return;
    if (move_command(234, "GO WEST", "WEST", "W", 235, WEST_MOVES, 3)) return;
    if (condition(241, [] { return (basic::truth(command_is("TALK TO MOM")) & basic::truth(*room == 4)) != 0; })) {
        cls(242);
        print_line(243, "Mom waves you off; she is far too busy making sure everything is done right.");
        key_wait(245, 247);
    }
    if (condition(249, [] { return (basic::truth(command_is("TALK TO GRUBOV")) & basic::truth(*room == 12)) != 0; })) {
        cls(250);
        print_line(251, "Grubov sneers: 'I have returned, just as I promised.'");
        print_line(252, "'This is my revenge for what you did to me last holiday!'");
        print_line(253, "'If you have not played the first game yet, you really should.'");
        key_wait(255, 257);
    }
    if (condition(259, [] { return (basic::truth(command_is("EXAMINE MEAL")) & basic::truth(*room == 4)) != 0; })) {
        cls(260);
        print_line(261, "Everything is laid out on the table: turkey, stuffing, cranberries,");
        print_line(262, "and the very finest wine that ever came out of a box.");
        key_wait(264, 266);
    }
    if (condition(268, [] {
            return (basic::truth(command_is("EXAMINE TURKEY LEG")) & basic::truth(*turkey_leg_taken == 1)) != 0;
        })) {
        cls(269);
        print_line(270, "A crisp, golden turkey leg.");
        print_line(271, "Held the right way, it looks almost like a caveman's club.");
        key_wait(273, 275);
    }
    if (condition(277, [] { return (basic::truth(command_is("EXAMINE KNIFE")) & basic::truth(*knife_taken == 1)) != 0; })) {
        cls(278);
        print_line(279, "A standard kitchen knife, meant for cutting meat.");
        key_wait(281, 283);
    }
    if (condition(285, [] { return (basic::truth(command_is("CARVE TURKEY")) & basic::truth(*knife_taken == 1)) != 0; })) {
        cls(286);
        carve_ending();  // 287: GOTO carve_ending
    }
    if (condition(289, [] {
            return (basic::truth(command_is("USE KNIFE")) & basic::truth(*knife_taken == 1) &
                    basic::truth(*room == 12)) != 0;
        })) {
        cls(290);
        knife_ending();  // 291
    }
    if (condition(293, [] {
            return (basic::truth(command_is("USE TURKEY LEG")) & basic::truth(*turkey_leg_taken == 1) &
                    basic::truth(*room == 12)) != 0;
        })) {
        cls(294);
        turkey_leg_ending();  // 295
    }
    if (condition(297, [] {
            return (basic::truth(command_is("TAKE TURKEY LEG")) & basic::truth(*turkey_leg_taken == 0) &
                    basic::truth(*room == 3)) != 0;
        })) {
        statement(298, [] { *turkey_leg_taken = 1; });
        print_line(299, "You have taken the Turkey Leg.");
    }
    if (condition(301, [] {
            return (basic::truth(command_is("TAKE KNIFE")) & basic::truth(*knife_taken == 0) &
                    basic::truth(*room == 4)) != 0;
        })) {
        statement(302, [] { *knife_taken = 1; });
        print_line(303, "You have taken the Knife.");
    }
    basic_return(305);
}

// ---- The main module.
constexpr int32_t RETURN_AFTER_DESCRIBE = 1, RETURN_AFTER_COMMAND = 2;

void main_module(void*) {
    if (enter_main_module()) allocate_variables();

    statement(13, [] { *room = 1; });
    statement(14, [] { *turkey_leg_taken = 0; });
    statement(15, [] { *knife_taken = 0; });
    statement(16, [] { set_screen_mode(12, 0, 0, 0, 0, 1); });
    color(17, 7, 0);
    cls(18);
    statement(19, [] { *limit_minutes = 10; });
    statement(20, [] { *limit_seconds = 0; });
    statement(21, [] { *time_limit = *limit_seconds + *limit_minutes * 60; });
    static const char* const EXITS[12] = {
        "NORTH",          "NORTH, SOUTH, OR EAST", "NORTH OR WEST", "SOUTH",         "NORTH, SOUTH, OR WEST",
        "EAST",           "NORTH OR SOUTH",        "NORTH OR SOUTH", "EAST OR SOUTH", "NORTH OR WEST",
        "NORTH OR SOUTH", "SOUTH",
    };
    for (int n = 1; n <= 12; ++n)  // lines 22 to 33
        statement(21 + uint32_t(n), [&] { string_assign(string_array_element(exits, n), literal(EXITS[n - 1])); });

    print_line(36, "");
    print_line(37, "");
    print_line(38, "The holidays are here at last, and school is out for a while.");
    print_line(39, "Last time, the villain Grubov did his best to spoil a holiday for you.");
    print_line(40, "Today is the day of the turkey, and the whole family is coming over.");
    print_line(41, "What could possibly go wrong?");
    print_empty(42);
    wait_for_key(44);
    statement(45, [] { *end_time = basic_timer(0.001) + double(*time_limit); });

    for (;;) {  // main_loop:
        cls(48);
        print_empty(49);
        print_empty(50);
        print_spaces(51, 74, true);
        print_spaces(52, 74, true);
        print_spaces(53, 74, true);
        print_line(54, "                                 Feastmoor                              ");
        print_spaces(55, 74, true);
        print_line(56, "                                 A Holiday Text Adventure                 ");
        print_spaces(57, 74, true);
        print_line(58, "                                 Written by the Feastmoor Crew");
        print_line(59, "");
        print_line(60, "                             (c) 2026 Ferix Software. All rights reserved.");
        print_line(61, "");
        print_spaces(62, 38, false);
        if (condition(63, [] { return room_has("NORTH"); }))
            print_line(63, "N");
        else
            print_empty(63);
        print_item(64, "*---------------------------------* ");
        if (condition(65, [] { return room_has("WEST"); }))
            print_item(65, "W");
        else
            print_item(65, " ");
        print_item(66, " + ");
        if (condition(67, [] { return room_has("EAST"); }))
            print_item(67, "E");
        else
            print_item(67, " ");
        print_line(68, " *------------------------------------*");
        print_spaces(69, 38, false);
        if (condition(70, [] { return room_has("SOUTH"); }))
            print_line(70, "S");
        else
            print_empty(70);
        print_empty(71);
        print_line(72, "If you are stuck just type HELP.");
        print_empty(73);
        gosub(74, RETURN_AFTER_DESCRIBE, describe_room);
        gosub(75, RETURN_AFTER_COMMAND, handle_command);
        statement(76, [] {});  // GOTO main_loop
    }
}

}  // namespace

const TranslatedProgram FEASTMOOR_PROGRAM = {nullptr, main_module, nullptr};
