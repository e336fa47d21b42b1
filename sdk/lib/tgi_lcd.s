; The TGI driver for the LCD, linked statically (tgi_static_stddrv): two
; colours (0 the background, 1 a dot), the 159 x 80 dots that show (LCD
; dot 0 of each row is its status icon, so TGI's x is LCD dot x + 1).
; Lines, bars, circles and the rest come from TGI's own code through
; SETPIXEL, LINE and BAR; pixels are read back from the LCD memory.
        .export         _tgi_static_stddrv, _tgi_stddrv
        .import         tgi_libref
        .include        "zeropage.inc"
        .include        "tgi-kernel.inc"
        .include        "tgi-error.inc"
        .include        "rq4800.inc"

X1 := ptr1
Y1 := ptr2
X2 := ptr3
Y2 := ptr4

; The header is in RAM: installing the driver writes the library reference
; into it.
.segment "DATA"
_tgi_static_stddrv:
        .byte   $74, $67, $69           ; "tgi"
        .byte   TGI_API_VERSION
        .addr   tgi_libref
        .word   159                     ; X resolution
        .word   80                      ; Y resolution
        .byte   2                       ; colours
        .byte   1                       ; screens
        .byte   6                       ; system font: the firmware's 6 x 8
        .byte   8
        .word   $0100                   ; square dots
        .byte   0                       ; flags
        .addr   INSTALL
        .addr   UNINSTALL
        .addr   INIT
        .addr   DONE
        .addr   GETERROR
        .addr   CONTROL
        .addr   CLEAR
        .addr   SETVIEWPAGE
        .addr   SETDRAWPAGE
        .addr   SETCOLOR
        .addr   SETPALETTE
        .addr   GETPALETTE
        .addr   GETDEFPALETTE
        .addr   SETPIXEL
        .addr   GETPIXEL
        .addr   LINE
        .addr   BAR
        .addr   TEXTSTYLE
        .addr   OUTTEXT

_tgi_stddrv:
        .asciiz "rq4800.tgi"
palette:
        .byte   0, 1
bitOf:  .byte   $80, $40, $20, $10, $08, $04, $02, $01

.segment "RODATA"
rowLo:
.repeat LCD_ROWS, i
        .byte   <(LCD_MEMORY + i * LCD_STRIDE)
.endrepeat
rowHi:
.repeat LCD_ROWS, i
        .byte   >(LCD_MEMORY + i * LCD_STRIDE)
.endrepeat

.segment "BSS"
error:  .res    1
colour: .res    1
; LINE's state
dx:     .res    2
dy:     .res    2
sx:     .res    1
sy:     .res    1
err:    .res    2
err2:   .res    2
xend:   .res    1
yend:   .res    1

.segment "CODE"

INSTALL:
UNINSTALL:
SETVIEWPAGE:
SETDRAWPAGE:
TEXTSTYLE:
        rts

; Back to text: the text screen starts empty, as after a mode switch.
DONE:
        jmp     SYS_CLEAR

INIT:
        lda     #1
        sta     colour
        lda     #TGI_ERR_OK
        sta     error
        rts

GETERROR:
        lda     error
        ldx     #TGI_ERR_OK
        stx     error
        rts

CONTROL:
SETPALETTE:
        lda     #TGI_ERR_INV_FUNC
        sta     error
        rts

GETPALETTE:
GETDEFPALETTE:
        lda     #<palette
        ldx     #>palette
        rts

SETCOLOR:
        sta     colour
        rts

; Every dot off, the status icons kept.
CLEAR:
        jmp     SYS_CLEAR

; ptr4 = the LCD byte of dot X1 + 1 in row Y1, X = its bit's index; both are
; on the screen (TGI clips before calling).
locate:
        ldy     Y1
        lda     rowLo,y
        sta     ptr4
        lda     rowHi,y
        sta     ptr4+1
        lda     X1
        clc
        adc     #1
        pha
        and     #7
        tax
        pla
        lsr
        lsr
        lsr
        tay
        rts

plot:
        lda     ptr4
        pha
        lda     ptr4+1
        pha
        jsr     locate
        lda     colour
        beq     @clear
        lda     bitOf,x
        ora     (ptr4),y
        bne     @store
@clear: lda     bitOf,x
        eor     #$FF
        and     (ptr4),y
@store: sta     (ptr4),y
        pla
        sta     ptr4+1
        pla
        sta     ptr4
        rts

SETPIXEL:
        jmp     plot

GETPIXEL:
        lda     ptr4
        pha
        lda     ptr4+1
        pha
        jsr     locate
        lda     (ptr4),y
        and     bitOf,x
        beq     :+
        lda     #1
:       tay
        pla
        sta     ptr4+1
        pla
        sta     ptr4
        tya
        ldx     #0
        rts

; A line from X1/Y1 to X2/Y2 (on the screen), Bresenham's way with a
; signed error term.
LINE:
        lda     X2
        sta     xend
        lda     Y2
        sta     yend
        lda     #1
        sta     sx
        sta     sy
        lda     X2                      ; dx = |x2 - x1|
        sec
        sbc     X1
        bcs     :+
        eor     #$FF
        adc     #1
        ldy     #$FF
        sty     sx
:       sta     dx
        lda     #0
        sta     dx+1
        lda     Y2                      ; dy = -|y2 - y1|
        sec
        sbc     Y1
        bcs     :+
        eor     #$FF
        adc     #1
        ldy     #$FF
        sty     sy
:       eor     #$FF
        clc
        adc     #1
        sta     dy
        lda     #$FF
        sta     dy+1
        lda     dy
        bne     :+
        lda     #0
        sta     dy+1                    ; dy = 0
:       lda     dx                      ; err = dx + dy
        clc
        adc     dy
        sta     err
        lda     dx+1
        adc     dy+1
        sta     err+1
@step:  jsr     plot
        lda     X1
        cmp     xend
        bne     :+
        lda     Y1
        cmp     yend
        beq     @done
:       lda     err                     ; err2 = 2 * err
        asl
        sta     err2
        lda     err+1
        rol
        sta     err2+1
        ; err2 >= dy: err += dy, x += sx
        lda     err2
        cmp     dy
        lda     err2+1
        sbc     dy+1
        bvc     :+
        eor     #$80
:       bmi     @noX
        lda     err
        clc
        adc     dy
        sta     err
        lda     err+1
        adc     dy+1
        sta     err+1
        lda     X1
        clc
        adc     sx
        sta     X1
@noX:   ; err2 <= dx: err += dx, y += sy
        lda     dx
        cmp     err2
        lda     dx+1
        sbc     err2+1
        bvc     :+
        eor     #$80
:       bmi     @step
        lda     err
        clc
        adc     dx
        sta     err
        lda     err+1
        adc     dx+1
        sta     err+1
        lda     Y1
        clc
        adc     sy
        sta     Y1
        jmp     @step
@done:  rts

; A filled box from X1/Y1 to X2/Y2 (X1 <= X2, Y1 <= Y2, on the screen).
BAR:
        lda     X1
        sta     xend                    ; the left edge of every row
@row:   lda     xend
        sta     X1
@dot:   jsr     plot
        lda     X1
        cmp     X2
        beq     @next
        inc     X1
        bne     @dot
@next:  lda     Y1
        cmp     Y2
        beq     @done
        inc     Y1
        bne     @row
@done:  rts

; Text in the firmware's 6 x 8 font at X1/Y1, one character after another
; (the text at ptr3); the colour is that of the dots.
OUTTEXT:
        lda     colour
        eor     #1
        jsr     SYS_INVERSE
        lda     X1
        clc
        adc     #1
        tax
        ldy     Y1
        jsr     SYS_MOVETO
        lda     ptr3
        ldx     ptr3+1
        jmp     SYS_PUTTEXT
