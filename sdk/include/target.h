/*
** What cc65's own headers (conio.h, joystick.h, tgi.h) take from <target.h>,
** for this device: programs are built with -t none, which has none of it.
** This folder is searched before cc65's include folder.
*/
#ifndef RQ4800_TARGET_H
#define RQ4800_TARGET_H

#include <rq4800.h>

/* Box drawing: the firmware's 6 x 8 font has ASCII only. */
#define CH_HLINE        '-'
#define CH_VLINE        '|'
#define CH_CROSS        '+'
#define CH_ULCORNER     '+'
#define CH_URCORNER     '+'
#define CH_LLCORNER     '+'
#define CH_LRCORNER     '+'
#define CH_TTEE         '+'
#define CH_BTEE         '+'
#define CH_LTEE         '+'
#define CH_RTEE         '+'

/* What cgetc() returns for the keys that have no character. */
#define CH_ENTER        13
#define CH_ESC          27
#define CH_CURS_UP      0x11
#define CH_CURS_DOWN    0x12
#define CH_CURS_LEFT    0x13
#define CH_CURS_RIGHT   0x14
#define CH_PAGE_UP      0x15
#define CH_PAGE_DOWN    0x16
#define CH_DEL          0x08
#define CH_F1           (0x80 + 16)
#define CH_F2           (0x80 + 17)
#define CH_F3           (0x80 + 18)
#define CH_F4           (0x80 + 19)

/* Two colours: 0 is the LCD's background, 1 a dot. Programs written for a
** dark screen draw in white on black, so white is the dot.
*/
#define COLOR_BLACK     0
#define COLOR_WHITE     1
#define TGI_COLOR_BLACK COLOR_BLACK
#define TGI_COLOR_WHITE COLOR_WHITE

/* The joystick: the arrow keys, Enter as fire. */
#define JOY_UP_MASK     0x01
#define JOY_DOWN_MASK   0x02
#define JOY_LEFT_MASK   0x04
#define JOY_RIGHT_MASK  0x08
#define JOY_BTN_1_MASK  0x10
#define JOY_BTN_2_MASK  0x20
#define JOY_BTN_3_MASK  0x40
#define JOY_BTN_4_MASK  0x80

/* clock() counts the firmware's ticks. */
#ifndef CLOCKS_PER_SEC
#  define CLK_TCK         250
#  define CLOCKS_PER_SEC  250
#endif

#endif
