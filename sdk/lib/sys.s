; C functions over the system interface (rq4800.h).
        .export         _rq_exit, _rq_clear, _rq_moveto, _rq_putchar, _rq_puttext
        .export         _rq_inverse, _rq_getkey, _rq_keywords, _rq_soundstop
        .export         _rq_clock, _rq_ticks, _rq_readbank, _rq_speech
        .import         popa, popax
        .include        "zeropage.inc"
        .include        "rq4800.inc"

.segment "CODE"

_rq_exit        := SYS_EXIT
_rq_clear       := SYS_CLEAR
_rq_putchar     := SYS_PUTCHAR
_rq_puttext     := SYS_PUTTEXT
_rq_inverse     := SYS_INVERSE
_rq_soundstop   := SYS_SOUNDSTOP
_rq_clock       := SYS_CLOCK

; void __fastcall__ rq_moveto (unsigned char x, unsigned char y)
.proc _rq_moveto
        pha
        jsr     popa
        tax
        pla
        tay
        jmp     SYS_MOVETO
.endproc

.proc _rq_getkey
        jsr     SYS_GETKEY
        ldx     #0
        rts
.endproc

.proc _rq_keywords
        jmp     SYS_SCANKEYS
.endproc

; unsigned long rq_ticks (void): A/X low word, sreg the high word
.proc _rq_ticks
        jsr     SYS_TICKS
        sty     sreg
        ldy     #0
        sty     sreg+1
        rts
.endproc

; void __fastcall__ rq_speech (const unsigned* frames, unsigned char count)
.proc _rq_speech
        pha
        jsr     popax
        sta     ptr1
        pla
        tay
        lda     ptr1
        jmp     SYS_SPEECH
.endproc

; int __fastcall__ rq_readbank (unsigned char bank, unsigned offset, void* dest,
;                               unsigned length)
.proc _rq_readbank
        sta     block+5
        stx     block+6
        jsr     popax
        sta     block+3
        stx     block+4
        jsr     popax
        sta     block+1
        stx     block+2
        jsr     popa
        sta     block
        lda     #<block
        ldx     #>block
        jsr     SYS_READBANK
        lda     #0
        tax
        bcc     :+
        lda     #$FF
        tax
:       rts
.endproc

.segment "BSS"
block:  .res    7
