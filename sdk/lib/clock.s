; clock() counts the firmware's ticks, 250 a second (CLOCKS_PER_SEC in
; target.h); sleep() waits on it.
        .export         _clock, _sleep
        .include        "zeropage.inc"
        .include        "rq4800.inc"

.segment "CODE"

; clock_t clock (void)
_clock:
        jsr     SYS_TICKS
        sty     sreg
        ldy     #0
        sty     sreg+1
        rts

; unsigned __fastcall__ sleep (unsigned seconds): 0 when the time has passed
.proc _sleep
        sta     count
        stx     count+1
@second:
        lda     count
        ora     count+1
        beq     @done
        jsr     SYS_TICKS
        sta     start
        stx     start+1
@wait:  jsr     SYS_TICKS
        sec
        sbc     start
        sta     tmp1
        txa
        sbc     start+1
        bne     @passed                 ; 256 ticks or more
        lda     tmp1
        cmp     #250
        bcc     @wait
@passed:
        lda     count
        bne     :+
        dec     count+1
:       dec     count
        jmp     @second
@done:  lda     #0
        tax
        rts
.endproc

.segment "BSS"
count:  .res    2
start:  .res    2
