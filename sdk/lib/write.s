; stdio on the screen: write() to standard output or error draws the bytes
; through conio's cells; a new line at the bottom scrolls the text up.
        .export         _write, scrollnewline
        .import         popax, putcell, curx, cury
        .import         __errno
        .include        "zeropage.inc"
        .include        "errno.inc"
        .include        "rq4800.inc"

.segment "CODE"

; int __fastcall__ write (int fd, const void* buf, unsigned count)
.proc _write
        sta     ptr3
        stx     ptr3+1
        jsr     popax
        sta     ptr1
        stx     ptr1+1
        jsr     popax
        cpx     #0
        bne     @bad
        cmp     #1
        beq     @ok
        cmp     #2
        bne     @bad
@ok:    lda     ptr3
        sta     ptr2
        lda     ptr3+1
        sta     ptr2+1
@byte:  lda     ptr2
        ora     ptr2+1
        beq     @done
        ldy     #0
        lda     (ptr1),y
        jsr     putbyte
        inc     ptr1
        bne     :+
        inc     ptr1+1
:       lda     ptr2
        bne     :+
        dec     ptr2+1
:       dec     ptr2
        jmp     @byte
@done:  lda     ptr3
        ldx     ptr3+1
        rts
@bad:   lda     #EBADF
        sta     __errno
        lda     #0
        sta     __errno+1
        lda     #$FF
        tax
        rts
.endproc

.proc putbyte
        cmp     #$0A
        beq     @newline
        cmp     #$0D
        bne     @char
        lda     #0
        sta     curx
        rts
@char:  jsr     putcell
        inc     curx
        lda     curx
        cmp     #TEXT_COLUMNS
        bcc     @done
@newline:
        lda     #0
        sta     curx
        jmp     scrollnewline
@done:  rts
.endproc

; The cursor one line down; at the last line the picture moves up a line
; instead (the status icons, bit 7 of each row's first byte, stay).
.proc scrollnewline
        lda     cury
        cmp     #TEXT_LINES - 1
        bcs     @scroll
        inc     cury
        rts
@scroll:
        lda     #<LCD_MEMORY
        sta     ptr4
        lda     #>LCD_MEMORY
        sta     ptr4+1
        ldx     #LCD_ROWS - 8
@row:   ldy     #0
        lda     (ptr4),y
        and     #$80
        sta     tmp1
        ldy     #8 * LCD_STRIDE
        lda     (ptr4),y
        and     #$7F
        ora     tmp1
        ldy     #0
        sta     (ptr4),y
        ldy     #1
@copy:  tya
        clc
        adc     #8 * LCD_STRIDE
        sty     tmp2
        tay
        lda     (ptr4),y
        ldy     tmp2
        sta     (ptr4),y
        iny
        cpy     #LCD_STRIDE
        bne     @copy
        jsr     nextrow
        dex
        bne     @row
        ldx     #8
@clear: ldy     #0
        lda     (ptr4),y
        and     #$80
        sta     (ptr4),y
        lda     #0
        iny
@zero:  sta     (ptr4),y
        iny
        cpy     #LCD_STRIDE
        bne     @zero
        jsr     nextrow
        dex
        bne     @clear
        rts
nextrow:
        lda     ptr4
        clc
        adc     #LCD_STRIDE
        sta     ptr4
        bcc     :+
        inc     ptr4+1
:       rts
.endproc
