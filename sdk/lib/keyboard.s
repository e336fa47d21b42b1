; Keys as characters for conio (cgetc, kbhit). Each key word holds one key,
; so the modifiers act on the keys after them: Caps switches capitals on and
; off; Shift gives the next key its second meaning: the digit of the keys
; that carry one (B N M 1 2 3, G H J 4 5 6, T Y U 7 8 9), a capital for the
; other letters. Letters are lower case otherwise; Enter 13, Esc 27, the
; arrows and page keys the CH_ codes of target.h, every other key 0x80 + its
; key code.
        .export         _cgetc, _kbhit, keychar
        .import         cursor, putcell
        .include        "zeropage.inc"
        .include        "rq4800.inc"

.segment "RODATA"
; Character of each key code 0..59 (0: none).
plain:
        .byte   $80, $81, $82, $83, $84, $85, $86, $87, $88, $89     ; 0..9
        .byte   0,   0,   0,   $8D, $8E, $8F, $90, $91, $92, $93     ; 10..19
        .byte   "qwertyuiop"                                         ; 20..29
        .byte   "asdfghjkl", 13                                      ; 30..39
        .byte   "zxcvbnm", $15, $11, $16                             ; 40..49
        .byte   $B2, 0, 0, 27, "0. ", $13, $12, $14                  ; 50..59
digits:
        .byte   "123456789"
digitKeys:
        .byte   44, 45, 46, 34, 35, 36, 24, 25, 26

.segment "BSS"
pending: .res   1               ; a character kbhit has seen, or 0
capitals: .res  1               ; Caps is on
shifted: .res   1               ; Shift was the last key

.segment "CODE"

; A = the character of the next key gone down, 0 if none.
keychar:
        jsr     SYS_GETKEY
        cmp     #60
        bcs     @none
        cmp     #KEY_CAPS
        bne     :+
        lda     capitals
        eor     #1
        sta     capitals
        bpl     @none
:       cmp     #KEY_SHIFT
        bne     :+
        lda     #1
        sta     shifted
        bne     @none
:       tax
        lda     shifted
        beq     @plain
        lda     #0
        sta     shifted
        ldy     #8
@digit: txa
        cmp     digitKeys,y
        beq     @isDigit
        dey
        bpl     @digit
        lda     plain,x
        jmp     @capital
@plain: lda     plain,x
        ldy     capitals
        beq     @done
@capital:
        cmp     #'a'
        bcc     @done
        cmp     #'z' + 1
        bcs     @done
        and     #$DF
@done:  rts
@isDigit:
        lda     digits,y
        rts
@none:  lda     #0
        rts

; unsigned char kbhit (void)
_kbhit:
        lda     pending
        bne     @yes
        jsr     keychar
        sta     pending
        cmp     #0
        beq     @no
@yes:   lda     #1
@no:    ldx     #0
        rts

; char cgetc (void): waits for a key; with cursor(1) the cell at the cursor
; shows an underscore meanwhile.
_cgetc:
        lda     cursor
        beq     @wait
        lda     #'_'
        jsr     putcell
@wait:  lda     pending
        bne     @got
        jsr     keychar
        cmp     #0
        beq     @wait
        sta     pending
@got:   lda     cursor
        beq     :+
        lda     #' '
        jsr     putcell
:       lda     pending
        ldx     #0
        stx     pending
        rts
