' Feastmoor: a holiday text adventure in twelve rooms.
DECLARE FUNCTION read_command$ ()
DIM SHARED room AS SINGLE
DIM SHARED turkey_leg_taken AS SINGLE
DIM SHARED knife_taken AS SINGLE
DIM SHARED limit_minutes AS SINGLE
DIM SHARED limit_seconds AS SINGLE
DIM SHARED time_limit AS SINGLE
DIM SHARED end_time AS DOUBLE
DIM SHARED exits(1 TO 12) AS STRING
DIM SHARED command AS STRING

room = 1
turkey_leg_taken = 0
knife_taken = 0
SCREEN 12
COLOR 7, 0
CLS
limit_minutes = 10
limit_seconds = 0
time_limit = limit_seconds + limit_minutes * 60
exits(1) = "NORTH"
exits(2) = "NORTH, SOUTH, OR EAST"
exits(3) = "NORTH OR WEST"
exits(4) = "SOUTH"
exits(5) = "NORTH, SOUTH, OR WEST"
exits(6) = "EAST"
exits(7) = "NORTH OR SOUTH"
exits(8) = "NORTH OR SOUTH"
exits(9) = "EAST OR SOUTH"
exits(10) = "NORTH OR WEST"
exits(11) = "NORTH OR SOUTH"
exits(12) = "SOUTH"

' The introduction.
PRINT ""
PRINT ""
PRINT "The holidays are here at last, and school is out for a while."
PRINT "Last time, the villain Grubov did his best to spoil a holiday for you."
PRINT "Today is the day of the turkey, and the whole family is coming over."
PRINT "What could possibly go wrong?"
PRINT
DO
LOOP WHILE INKEY$ = ""
end_time = TIMER(.001) + time_limit

main_loop:
CLS
PRINT
PRINT
PRINT SPACE$(74)
PRINT SPACE$(74)
PRINT SPACE$(74)
PRINT "                                 Feastmoor                              "
PRINT SPACE$(74)
PRINT "                                 A Holiday Text Adventure                 "
PRINT SPACE$(74)
PRINT "                                 Written by the Feastmoor Crew"
PRINT ""
PRINT "                             (c) 2026 Ferix Software. All rights reserved."
PRINT ""
PRINT SPACE$(38);
IF INSTR(exits(room), "NORTH") THEN PRINT "N" ELSE PRINT
PRINT "*---------------------------------* ";
IF INSTR(exits(room), "WEST") THEN PRINT "W"; ELSE PRINT " ";
PRINT " + ";
IF INSTR(exits(room), "EAST") THEN PRINT "E"; ELSE PRINT " ";
PRINT " *------------------------------------*"
PRINT SPACE$(38);
IF INSTR(exits(room), "SOUTH") THEN PRINT "S" ELSE PRINT
PRINT
PRINT "If you are stuck just type HELP."
PRINT
GOSUB describe_room
GOSUB handle_command
GOTO main_loop

describe_room:
SELECT CASE room
CASE 1
GOSUB room_entranceway
CASE 2
GOSUB room_front_hall
CASE 3
GOSUB room_dining_room
CASE 4
GOSUB room_kitchen
CASE 5
GOSUB room_short_hallway
CASE 6
GOSUB room_bathroom
CASE 7
GOSUB room_watched_hallway
CASE 8
GOSUB room_echoing_hallway
CASE 9
GOSUB room_sharp_turn
CASE 10
GOSUB room_draughty_hallway
CASE 11
GOSUB room_bedroom_door
CASE 12
GOSUB room_bedroom
END SELECT
RETURN

room_entranceway:
PRINT "You stand in the entranceway of your parents' house."
PRINT "You still live here; school keeps you busy the rest of the year."
RETURN
room_front_hall:
PRINT "The smell of roasting turkey fills the whole house."
PRINT "The front hall is papered in an old-fashioned pattern,"
PRINT "the kind you would expect in a roadside motel."
RETURN
room_dining_room:
PRINT "The aroma of the holiday meal hangs over the dining room."
PRINT "Dad bustles about, setting out plates and serving spoons."
PRINT "Your Uncle has already taken his seat at the head of the table,"
PRINT "sipping wine poured straight from a box."
IF turkey_leg_taken = 0 THEN PRINT "A golden Turkey Leg sits on the platter, tempting you."
IF turkey_leg_taken = 1 THEN PRINT "The turkey looks good enough to eat... or to club someone with."
RETURN
room_kitchen:
PRINT "The kitchen is in total chaos."
PRINT "Mom rushes from pot to pot, far too busy to notice you."
PRINT "You could pour yourself a glass of wine, but you think better of it."
IF knife_taken = 0 THEN PRINT "A large kitchen knife rests on the counter."
IF knife_taken = 1 THEN PRINT "You grip the handle of the knife like a madman."
RETURN
room_short_hallway:
PRINT "You are in a short hallway."
PRINT "There is no better place to spend the holidays than home."
RETURN
room_bathroom:
PRINT "You are in the bathroom."
PRINT "Every adventure game needs one, though nobody knows what for."
RETURN
room_watched_hallway:
PRINT "This hallway almost seems alive."
PRINT "You cannot shake the feeling that something is watching you."
RETURN
room_echoing_hallway:
PRINT "Your footsteps echo down the length of the hallway."
RETURN
room_sharp_turn:
PRINT "The hallway makes a sharp right turn towards your room."
PRINT "A sick feeling grows in the pit of your stomach."
RETURN
room_draughty_hallway:
PRINT "A cool breeze drifts through the hallway,"
PRINT "as if somebody had left a window open."
RETURN
room_bedroom_door:
PRINT "You stand before the door of your bedroom."
PRINT "The door is open. That is odd; you always keep it shut."
RETURN
room_bedroom:
PRINT "Grubov stands in front of your bed, grinning."
PRINT "Behind him the window is wide open, and it has started to snow."
PRINT "Why does this always happen to you?"
RETURN

handle_command:
PRINT "> ";
command = read_command$
command = LTRIM$(RTRIM$(UCASE$(command)))
IF command = "END" OR command = "QUIT" OR command = "EXIT" OR command = "Q" THEN END
IF command = "HELP" OR command = "H" OR command = "?" THEN
CLS
PRINT "HERE ARE SOME BASIC COMMANDS THAT CAN BE USED IN THE GAME..."
PRINT
PRINT "NORTH, EAST ,SOUTH, AND WEST - MOVE TO AN AVAILABLE LOCATION"
PRINT "EXAMINE (OBJECT)             - EXAMINE AN OBJECT"
PRINT "USE (OBJECT)                 - USE AN OBJECT"
PRINT "TAKE (OBJECT)                - TAKE OR MOVE AN OBJECT"
PRINT "INVENTORY                    - VIEW YOUR INVENTORY"
PRINT "DRINK                        - DRINK BEER"
PRINT "UNLOCK                       - UNLOCK DOOR"
PRINT "HELP                         - VIEW THIS SCREEN"
PRINT "END                          - END GAME"
PRINT
PRINT "PRESS ANY KEY..."
SLEEP
DO
LOOP UNTIL INKEY$ = ""
DO
LOOP WHILE INKEY$ = ""
END IF
IF command = "INVENTORY" OR command = "INV" OR command = "ITEMS" OR command = "I" THEN
CLS
PRINT "INVENTORY..."
PRINT
IF knife_taken = 1 THEN PRINT "Knife"
IF turkey_leg_taken = 1 THEN PRINT "Turkey Leg"
PRINT
PRINT "PRESS ANY KEY..."
DO
LOOP UNTIL INKEY$ = ""
DO
LOOP WHILE INKEY$ = ""
END IF
IF command = "GO NORTH" OR command = "NORTH" OR command = "N" THEN
SELECT CASE room
CASE 1: room = 2: RETURN
CASE 2: room = 5: RETURN
CASE 3: room = 4: RETURN
CASE 5: room = 7: RETURN
CASE 7: room = 8: RETURN
CASE 8: room = 9: RETURN
CASE 10: room = 11: RETURN
CASE 11: room = 12: RETURN
END SELECT
END IF
IF command = "GO EAST" OR command = "EAST" OR command = "E" THEN
SELECT CASE room
CASE 2: room = 3: RETURN
CASE 6: room = 5: RETURN
CASE 9: room = 10: RETURN
END SELECT
END IF
IF command = "GO SOUTH" OR command = "SOUTH" OR command = "S" THEN
SELECT CASE room
CASE 2: room = 1: RETURN
CASE 4: room = 5: RETURN
CASE 5: room = 2: RETURN
CASE 7: room = 5: RETURN
CASE 8: room = 7: RETURN
CASE 9: room = 8: RETURN
CASE 11: room = 10: RETURN
CASE 12: room = 11: RETURN
END SELECT
END IF
IF command = "GO WEST" OR command = "WEST" OR command = "W" THEN
SELECT CASE room
CASE 3: room = 2: RETURN
CASE 5: room = 6: RETURN
CASE 10: room = 9: RETURN
END SELECT
END IF
IF command = "TALK TO MOM" AND room = 4 THEN
CLS
PRINT "Mom waves you off; she is far too busy making sure everything is done right."
DO
LOOP UNTIL INKEY$ = ""
DO
LOOP WHILE INKEY$ = ""
END IF
IF command = "TALK TO GRUBOV" AND room = 12 THEN
CLS
PRINT "Grubov sneers: 'I have returned, just as I promised.'"
PRINT "'This is my revenge for what you did to me last holiday!'"
PRINT "'If you have not played the first game yet, you really should.'"
DO
LOOP UNTIL INKEY$ = ""
DO
LOOP WHILE INKEY$ = ""
END IF
IF command = "EXAMINE MEAL" AND room = 4 THEN
CLS
PRINT "Everything is laid out on the table: turkey, stuffing, cranberries,"
PRINT "and the very finest wine that ever came out of a box."
DO
LOOP UNTIL INKEY$ = ""
DO
LOOP WHILE INKEY$ = ""
END IF
IF command = "EXAMINE TURKEY LEG" AND turkey_leg_taken = 1 THEN
CLS
PRINT "A crisp, golden turkey leg."
PRINT "Held the right way, it looks almost like a caveman's club."
DO
LOOP UNTIL INKEY$ = ""
DO
LOOP WHILE INKEY$ = ""
END IF
IF command = "EXAMINE KNIFE" AND knife_taken = 1 THEN
CLS
PRINT "A standard kitchen knife, meant for cutting meat."
DO
LOOP UNTIL INKEY$ = ""
DO
LOOP WHILE INKEY$ = ""
END IF
IF command = "CARVE TURKEY" AND knife_taken = 1 THEN
CLS
GOTO carve_ending
END IF
IF command = "USE KNIFE" AND knife_taken = 1 AND room = 12 THEN
CLS
GOTO knife_ending
END IF
IF command = "USE TURKEY LEG" AND turkey_leg_taken = 1 AND room = 12 THEN
CLS
GOTO turkey_leg_ending
END IF
IF command = "TAKE TURKEY LEG" AND turkey_leg_taken = 0 AND room = 3 THEN
turkey_leg_taken = 1
PRINT "You have taken the Turkey Leg."
END IF
IF command = "TAKE KNIFE" AND knife_taken = 0 AND room = 4 THEN
knife_taken = 1
PRINT "You have taken the Knife."
END IF
RETURN

turkey_leg_ending:
COLOR 2, 0
CLS
PRINT "It is over, once again."
PRINT "You raise the Turkey Leg like a knight's sword and crack Grubov on the head."
PRINT "That should teach him not to ruin another holiday."
PRINT "What holiday will come next? Nobody knows."
PRINT "For now it is time to eat and enjoy the family."
PRINT "You turn around for one last look at the villain..."
PRINT "but the floor is empty. Grubov has escaped!"
PRINT
DO
LOOP WHILE INKEY$ = ""
END

knife_ending:
COLOR 2, 0
CLS
PRINT "You charge at Grubov with the knife held high."
PRINT "He catches your wrist, turns the blade aside and shoves you to the floor."
PRINT "Before you can get up he climbs out through the open window."
PRINT "'We will meet again,' he calls back with a grin."
PRINT "Downstairs nobody noticed a thing."
PRINT "Dad carves the turkey while Mom enjoys her wine,"
PRINT "and your Uncle mutters something about turkeys."
PRINT "Grubov will be back."
PRINT
DO
LOOP WHILE INKEY$ = ""
END

carve_ending:
COLOR 2, 0
CLS
PRINT "Before anyone could sit down, you carved the turkey and filled your plate."
PRINT "The meal your parents slaved over all day is ruined."
PRINT "Now everyone is angry with you."
PRINT "You had better check the lock on your bedroom door"
PRINT "before you go to sleep tonight."
PRINT
DO
LOOP WHILE INKEY$ = ""
END

timeout_ending:
CLS
PRINT "Too late! Grubov stole the turkey, knocked Dad out cold"
PRINT "and made off with what was left of the boxed wine."
PRINT "Do a better job next time. This isn't a complex game."
display_now
END

FUNCTION read_command$
DIM start_column AS SINGLE
DIM start_row AS SINGLE
DIM key AS SINGLE
DIM text AS STRING
DIM remaining AS DOUBLE
DIM minutes AS SINGLE
DIM seconds AS SINGLE
start_column = POS(0)
start_row = CSRLIN
PCOPY 0, 1
DO
key = read_key_hit
discard$ = INKEY$
LOOP UNTIL key = 0 AND INKEY$ = ""
DO
limit_rate 30
PCOPY 1, 0
LOCATE start_row, start_column
PRINT text
key = read_key_hit
IF key = 8 THEN
IF LEN(text) > 0 THEN text = LEFT$(text, LEN(text) - 1)
ELSEIF (key >= 65 AND key <= 90) OR (key >= 97 AND key <= 122) OR key = 32 THEN
text = UCASE$(text + CHR$(key))
END IF
remaining = end_time - TIMER(.001)
minutes = INT(remaining / 60)
seconds = remaining - minutes * 60
LOCATE 2, 32
PRINT USING " ###:##.###"; minutes; seconds
IF remaining <= 0 THEN GOTO timeout_ending
display_now
LOOP UNTIL key = 13
set_auto_display
read_command$ = text
END FUNCTION
