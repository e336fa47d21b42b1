; Flash test: erases the sector at flash image 0x7F000 (inside blocks
; 1000..1023, which the default image keeps for the firmware), programs a
; pattern with the chip's byte-program sequence, reads it back and says
; PASS or FAIL.
.include "rq4800.inc"

.segment "CODE"

.proc FlashTest
    AT 0, 0
    PRINT "Flash test"
    jsr ClearToEol
    lda #0
    jsr InvertLine
    AT 0, 1
    PRINT "Sector 7F000-7FFFF"
    AT 0, 2
    PRINT "Erase, program, verify"
    AT 0, 9
    PRINT "Enter: again  Esc: back"
@run:
    AT 0, 4
    PRINT "Running..."
    jsr ClearToEol
    jsr FlashTestSector
    pha
    AT 0, 4
    pla
    bne @fail
    PRINT "PASS"
    jsr ClearToEol
    jmp @keys
@fail:
    pha
    PRINT "FAIL "
    pla
    cmp #1
    bne @program
    PRINT "erase at "
    jmp @address
@program:
    PRINT "program at "
@address:
    lda flashFailAddr+1
    jsr PutHex8
    lda flashFailAddr
    jsr PutHex8
    jsr ClearToEol
@keys:
    jsr GetKey
    cmp #KEY_ESC
    beq @exit
    cmp #KEY_ENTER
    beq @run
    bne @keys
@exit:
    rts
.endproc
