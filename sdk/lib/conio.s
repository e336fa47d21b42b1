; Text output for conio: a grid of 26 columns and 10 lines of the firmware's
; 6 x 8 font, the first cell at dot 2 (dot 0 is not a dot but the row's
; status icon). '\n' moves down a line, '\r' to the line's start; after the
; last cell the cursor wraps to the top-left without scrolling, as conio
; screens do; stdio (write.s) scrolls instead.
        .export         _cputc, _cputcxy, cputdirect, putcell, _clrscr
        .export         gotoxy, _gotoxy, _gotox, _gotoy, _wherex, _wherey
        .export         screensize, _revers, _chline, _chlinexy, _cvline, _cvlinexy
        .export         _textcolor, _bgcolor, _bordercolor, curx, cury
        .import         popa
        .include        "zeropage.inc"
        .include        "rq4800.inc"

.segment "BSS"
curx:   .res    1
cury:   .res    1
reversed: .res  1

.segment "DATA"
colour: .byte   1               ; the text colour: 0 draws light on dark

.segment "CODE"

; void __fastcall__ gotoxy (unsigned char x, unsigned char y)
gotoxy:
_gotoxy:
        jsr     _gotoy
        jsr     popa
_gotox:
        cmp     #TEXT_COLUMNS
        bcc     :+
        lda     #TEXT_COLUMNS - 1
:       sta     curx
        rts
_gotoy:
        cmp     #TEXT_LINES
        bcc     :+
        lda     #TEXT_LINES - 1
:       sta     cury
        rts

_wherex:
        lda     curx
        ldx     #0
        rts
_wherey:
        lda     cury
        ldx     #0
        rts

; X = columns, Y = lines
screensize:
        ldx     #TEXT_COLUMNS
        ldy     #TEXT_LINES
        rts

_clrscr:
        jsr     SYS_CLEAR
        lda     #0
        sta     curx
        sta     cury
        rts

; unsigned char __fastcall__ revers (unsigned char onoff): the old setting
_revers:
        ldx     #0
        cmp     #0
        beq     :+
        lda     #1
:       ldy     reversed
        sta     reversed
        tya
        rts

; Text, background and border colour: two colours on this LCD. Text colour 0
; (the background's) draws light on dark; the others are kept only.
_textcolor:
        ldx     colour
        sta     colour
        txa
        ldx     #0
        rts
_bgcolor:
_bordercolor:
        lda     #0
        tax
        rts

_cputcxy:
        pha
        jsr     popa
        jsr     gotoxy
        pla
_cputc:
        cmp     #$0A
        beq     newline
        cmp     #$0D
        bne     cputdirect
        lda     #0
        sta     curx
        rts
newline:
        inc     cury
        lda     cury
        cmp     #TEXT_LINES
        bcc     :+
        lda     #0
        sta     cury
:       rts

; Draws A at the cursor and moves it on.
cputdirect:
        jsr     putcell
        inc     curx
        lda     curx
        cmp     #TEXT_COLUMNS
        bcc     :+
        lda     #0
        sta     curx
        jmp     newline
:       rts

; Draws A in the cell at the cursor; the cursor stays.
putcell:
        pha
        lda     colour
        bne     :+
        lda     #1                      ; text in the background's colour
        bne     @set
:       lda     reversed
@set:   jsr     SYS_INVERSE
        lda     curx                    ; dot column 2 + 6 * x
        asl
        adc     curx
        asl
        adc     #2
        tax
        lda     cury
        asl
        asl
        asl
        tay
        jsr     SYS_MOVETO
        pla
        jmp     SYS_PUTCHAR

; chline (length), chlinexy (x, y, length) and their vertical forms
_chlinexy:
        pha
        jsr     popa
        jsr     gotoxy
        pla
_chline:
        tax
        beq     @done
@more:  txa
        pha
        lda     #'-'
        jsr     cputdirect
        pla
        tax
        dex
        bne     @more
@done:  rts

_cvlinexy:
        pha
        jsr     popa
        jsr     gotoxy
        pla
_cvline:
        tax
        beq     @done
@more:  txa
        pha
        lda     #'|'
        jsr     putcell
        jsr     newline
        pla
        tax
        dex
        bne     @more
@done:  rts
