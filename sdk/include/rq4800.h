/*
** The device for C programs: the LCD memory, the ports, the system interface
** of the built-in firmware, the key codes and the program's name.
*/
#ifndef RQ4800_H
#define RQ4800_H

/* The LCD: 80 rows of 20 bytes, bit 7 the leftmost dot. Bit 7 of each row's
** first byte is the row's status icon, not a dot, so pictures use dots 1..159.
*/
#define RQ_LCD          ((unsigned char*) 0x09C0)
#define RQ_LCD_STRIDE   20
#define RQ_LCD_ROWS     80

/* A port (0x00..0x3F) as a byte. */
#define RQ_PORT(n)      (*(volatile unsigned char*) (n))
#define RQ_PORT_BANK        0x00
#define RQ_PORT_INT         0x01
#define RQ_PORT_KEY_DATA    0x08
#define RQ_PORT_KEY_SELECT  0x09
#define RQ_PORT_PAGE        0x0A
#define RQ_PORT_KEY_SENSE   0x0B
#define RQ_PORT_BEEP_LEVEL  0x18
#define RQ_PORT_SOUND       0x20

/* The clock the firmware keeps: hour, minute, half-seconds, year - 1881,
** month 0..11, day 0..30.
*/
struct rq_clock {
    unsigned char hour, minute, halfSeconds, year, month, day;
};

/* Key codes: row * 10 + column of the key matrix. */
#define RQ_KEY_NONE     0xFF
#define RQ_KEY_ENTER    39
#define RQ_KEY_PGUP     47
#define RQ_KEY_UP       48
#define RQ_KEY_PGDN     49
#define RQ_KEY_SHIFT    51
#define RQ_KEY_CAPS     52
#define RQ_KEY_ESC      53
#define RQ_KEY_LEFT     57
#define RQ_KEY_DOWN     58
#define RQ_KEY_RIGHT    59

/* The system interface (version 1 and later). */
#define RQ_SYS_VERSION  (*(const unsigned char*) 0xFF00)

void rq_exit (unsigned char status);            /* back to Files */
void rq_clear (void);                           /* clears the screen */
void __fastcall__ rq_moveto (unsigned char x, unsigned char y); /* text cursor to dot x, row y */
void __fastcall__ rq_putchar (char c);          /* one ASCII character, 6 x 8 */
void __fastcall__ rq_puttext (const char* text);/* ASCII and GBK (12 x 12) text */
void __fastcall__ rq_inverse (unsigned char on);/* light on dark while on */
unsigned char rq_getkey (void);                 /* key code gone down, or RQ_KEY_NONE */
const unsigned char* rq_keywords (void);        /* the eight key words, scanned now */
void __fastcall__ rq_beep (unsigned hz, unsigned ms); /* a tone; returns when it ends */
void __fastcall__ rq_speech (const unsigned* frames, unsigned char count);
void rq_soundstop (void);
const struct rq_clock* rq_clock (void);
unsigned long rq_ticks (void);                  /* 250 a second, 24 bits */
/* Copies length bytes from offset in the program's bank (0 = the first) to
** RAM at dest (0x09C0..0x3FFF); 0 when done, -1 when refused.
*/
int __fastcall__ rq_readbank (unsigned char bank, unsigned offset, void* dest, unsigned length);

/* The program's name in the Files screen: up to 16 bytes, ASCII or GBK.
** Use once, outside any function: RQ_PROGRAM_NAME("Snake");
*/
#define RQ_PROGRAM_NAME(name) \
    _Pragma("rodata-name (push, \"PRGNAME\")") \
    const char rq_program_name[16] = name; \
    _Pragma("rodata-name (pop)")

#endif
