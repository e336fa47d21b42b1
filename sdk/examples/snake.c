/*
** Snake: steer with the arrow keys, eat the stars, don't bite yourself or
** the wall. Each star beeps and lengthens the snake; Esc gives up.
*/
#include <conio.h>
#include <stdlib.h>
#include <time.h>
#include <rq4800.h>

RQ_PROGRAM_NAME("Snake");

#define WIDTH   26
#define HEIGHT  9               /* line 9 shows the score */
#define MAXLEN  64

static unsigned char xs[MAXLEN], ys[MAXLEN];
static unsigned char length, head;
static signed char dx = 1, dy;
static unsigned char starX, starY;
static unsigned score;

static unsigned char occupied (unsigned char x, unsigned char y)
{
    unsigned char i, at = head;
    for (i = 0; i < length; ++i) {
        if (xs[at] == x && ys[at] == y) {
            return 1;
        }
        at = at == 0 ? MAXLEN - 1 : at - 1;
    }
    return 0;
}

static void placeStar (void)
{
    do {
        starX = rand () % WIDTH;
        starY = rand () % HEIGHT;
    } while (occupied (starX, starY));
    cputcxy (starX, starY, '*');
}

static void showScore (void)
{
    gotoxy (0, HEIGHT);
    revers (1);
    cprintf ("Score %3u  Esc: give up  ", score);
    revers (0);
}

static unsigned char steer (void)
{
    while (kbhit ()) {
        switch (cgetc ()) {
        case CH_CURS_UP:    if (dy == 0) { dx = 0; dy = -1; } break;
        case CH_CURS_DOWN:  if (dy == 0) { dx = 0; dy = 1; } break;
        case CH_CURS_LEFT:  if (dx == 0) { dx = -1; dy = 0; } break;
        case CH_CURS_RIGHT: if (dx == 0) { dx = 1; dy = 0; } break;
        case CH_ESC:        return 0;
        }
    }
    return 1;
}

int main (void)
{
    unsigned char x, y, tail;
    clock_t next;

    clrscr ();
    srand ((unsigned) rq_ticks ());
    length = 3;
    head = 2;
    for (x = 0; x < 3; ++x) {
        xs[x] = 5 + x;
        ys[x] = 4;
        cputcxy (xs[x], ys[x], 'o');
    }
    placeStar ();
    showScore ();
    next = clock ();
    while (steer ()) {
        while (clock () < next) {
        }
        next += CLOCKS_PER_SEC / 5;
        x = xs[head] + dx;
        y = ys[head] + dy;
        if (x >= WIDTH || y >= HEIGHT || occupied (x, y)) {
            rq_beep (220, 400);
            break;
        }
        head = (head + 1) % MAXLEN;
        xs[head] = x;
        ys[head] = y;
        cputcxy (x, y, 'o');
        if (x == starX && y == starY) {
            ++score;
            if (length < MAXLEN - 1) {
                ++length;
            }
            rq_beep (880, 60);
            showScore ();
            placeStar ();
        } else {
            tail = (head + MAXLEN - length) % MAXLEN;
            cputcxy (xs[tail], ys[tail], ' ');
        }
    }
    clrscr ();
    gotoxy (8, 3);
    cputs ("Game over");
    gotoxy (8, 5);
    cprintf ("Score %u", score);
    gotoxy (3, 8);
    cputs ("Press a key for Files");
    cgetc ();
    return score;
}
