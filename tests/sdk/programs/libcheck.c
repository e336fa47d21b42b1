/* The target library's pieces that cc65's samples leave out, each showing
** its result for the test (tests/sdk/library_test.cpp) to read.
*/
#include <conio.h>
#include <joystick.h>
#include <stdio.h>
#include <tgi.h>
#include <time.h>
#include <unistd.h>
#include <rq4800.h>

RQ_PROGRAM_NAME("Check");

int main (void)
{
    unsigned char cols, rows, wx, wy, i, joy;
    unsigned char pixels[5];
    unsigned xres, yres;
    char keys[6];
    clock_t start, slept;

    /* Graphics: drawn, read back, then left for the test to see. */
    tgi_install (tgi_static_stddrv);
    tgi_init ();
    tgi_clear ();
    xres = tgi_getxres ();
    yres = tgi_getyres ();
    tgi_setcolor (TGI_COLOR_WHITE);
    tgi_line (0, 0, 158, 79);
    tgi_bar (10, 10, 19, 19);
    tgi_circle (100, 40, 20);
    pixels[0] = tgi_getpixel (100, 50);     /* on the line */
    pixels[1] = tgi_getpixel (15, 15);      /* in the bar */
    pixels[2] = tgi_getpixel (20, 15);      /* beside it */
    pixels[3] = tgi_getpixel (120, 40);     /* on the circle */
    pixels[4] = tgi_getpixel (100, 40);     /* its middle */
    cgetc ();
    tgi_done ();

    clrscr ();
    screensize (&cols, &rows);
    gotoxy (30, 20);
    wx = wherex ();
    wy = wherey ();
    gotoxy (0, 0);
    cprintf ("size %u %u at %u %u", cols, rows, wx, wy);
    gotoxy (0, 1);
    cprintf ("tgi %u %u %u%u%u%u%u", xres, yres, pixels[0], pixels[1], pixels[2], pixels[3], pixels[4]);
    gotoxy (0, 2);
    cputs ("keys?");
    for (i = 0; i < sizeof keys; ++i) {
        keys[i] = cgetc ();
    }
    gotoxy (0, 2);
    cputs ("keys");
    for (i = 0; i < sizeof keys; ++i) {
        cprintf (" %02x", (unsigned char) keys[i]);
    }
    start = clock ();
    sleep (1);
    slept = clock () - start;
    gotoxy (0, 3);
    cprintf ("slept %lu of %u", slept, (unsigned) CLOCKS_PER_SEC);
    joy_install (joy_static_stddrv);
    gotoxy (0, 4);
    cputs ("joy?");
    while (!JOY_BTN_1 (joy = joy_read (JOY_1))) {
    }
    gotoxy (0, 4);
    revers (1);
    cprintf ("joy %02x", joy);
    revers (0);
    while (joy_read (JOY_1) != 0) {     /* until they are let go */
    }
    gotoxy (0, 5);
    printf ("printf\n%s\n", "goes on");
    cgetc ();
    return 7;
}
