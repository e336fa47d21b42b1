; The joystick driver, linked statically (joy_static_stddrv): one joystick
; made of the arrow keys, Enter as fire, read from the key words.
        .export         _joy_static_stddrv, _joy_stddrv
        .import         joy_libref
        .include        "zeropage.inc"
        .include        "joy-kernel.inc"
        .include        "joy-error.inc"
        .include        "rq4800.inc"

; The header is in RAM: installing the driver writes the library reference
; into it.
.segment "DATA"
_joy_static_stddrv:
        .byte   $6A, $6F, $79           ; "joy"
        .byte   JOY_API_VERSION
        .addr   joy_libref
        .addr   INSTALL
        .addr   UNINSTALL
        .addr   COUNT
        .addr   READ

_joy_stddrv:
        .asciiz "rq4800.joy"

.segment "CODE"

INSTALL:
        lda     #<JOY_ERR_OK
        ldx     #>JOY_ERR_OK
UNINSTALL:
        rts

COUNT:
        lda     #1
        ldx     #0
        rts

; Key word 1 holds Up (bit 2), Down (bit 3), Enter (bit 5) and Right (bit
; 7), word 5 Left (bit 7). Returns the JOY_*_MASK bits of target.h.
READ:
        jsr     SYS_SCANKEYS
        sta     ptr1
        stx     ptr1+1
        lda     #0
        sta     tmp1
        ldy     #1
        lda     (ptr1),y
        and     #$04                    ; Up (48): word 1 bit 2
        beq     :+
        lda     #$01
        ora     tmp1
        sta     tmp1
:       lda     (ptr1),y
        and     #$08                    ; Down (58): word 1 bit 3
        beq     :+
        lda     #$02
        ora     tmp1
        sta     tmp1
:       lda     (ptr1),y
        and     #$80                    ; Right (59): word 1 bit 7
        beq     :+
        lda     #$08
        ora     tmp1
        sta     tmp1
:       lda     (ptr1),y
        and     #$20                    ; Enter (39): word 1 bit 5
        beq     :+
        lda     #$10
        ora     tmp1
        sta     tmp1
:       ldy     #5
        lda     (ptr1),y
        and     #$80                    ; Left (57): word 5 bit 7
        beq     :+
        lda     #$04
        ora     tmp1
        sta     tmp1
:       lda     tmp1
        ldx     #0
        rts
