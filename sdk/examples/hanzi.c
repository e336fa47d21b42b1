/*
** Chinese text through the firmware's system interface: GBK strings drawn
** with the 12 x 12 font beside ASCII in the 6 x 8 one, the device's clock,
** and a few words of speech from its decoder.
*/
#include <stdio.h>
#include <rq4800.h>

/* "汉字" in GBK */
RQ_PROGRAM_NAME("\xBA\xBA\xD7\xD6");

/* "你好，世界！" and "中文显示" in GBK */
static const char hello[] = "\xC4\xE3\xBA\xC3\xA3\xAC\xCA\xC0\xBD\xE7\xA3\xA1";
static const char chinese[] = "\xD6\xD0\xCE\xC4\xCF\xD4\xCA\xBE ABC 123";

int main (void)
{
    const struct rq_clock* now = rq_clock ();
    char line[24];

    rq_clear ();
    rq_moveto (2, 0);
    rq_puttext (hello);
    rq_moveto (2, 16);
    rq_puttext (chinese);
    rq_moveto (2, 34);
    sprintf (line, "Time %02u:%02u", now->hour, now->minute);
    rq_puttext (line);
    rq_inverse (1);
    rq_moveto (2, 72);
    rq_puttext ("Any key: back");
    rq_inverse (0);
    rq_beep (660, 100);
    while (rq_getkey () == RQ_KEY_NONE) {
    }
    return 0;
}
