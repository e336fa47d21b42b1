; Flash access. In flash mode (port 0x0A bit 7) windows 2..5 show flash page
; BANK: page offset 0x4000..0x7FFF at 0x4000 and 0x0000..0x3FFF at 0x8000.
; Window 6 keeps page 0 (port 0x0A low nibble 0), so this code, in window 6,
; stays in view; it puts BANK and port 0x0A back before it returns. The same
; copy serves the further ROM pages, which BANK shows the same way.
.include "rq4800.inc"

; The sector the flash test uses: flash image 0x7F000..0x7FFFF, blocks
; 1016..1023 of the 1000..1023 that the default image keeps for the firmware.
TEST_PAGE    = 15
TEST_ADDRESS = $7000        ; page offset 0x7000
TEST_LENGTH  = $1000

.segment "BSS"
flashFailAddr: .res 2
copyMode:      .res 1

.segment "HICODE"

; Copies tmp0/tmp1 (length) bytes from ptr0 in page A to RAM at ptr1 (below
; 0x4000). X = 0x80 reads the flash, X = 0 a ROM page.
.proc FlashCopy
    stx PAGE_CTRL
    sta BANK
    ldy #0
    ldx tmp1
    beq @tail
@page:
    lda (ptr0),y
    sta (ptr1),y
    iny
    bne @page
    inc ptr0+1
    inc ptr1+1
    dex
    bne @page
@tail:
    ldx tmp0
    beq @done
@byte:
    lda (ptr0),y
    sta (ptr1),y
    iny
    dex
    bne @byte
@done:
    lda #0
    sta BANK
    sta PAGE_CTRL
    rts
.endproc

; Looks for the mark "GBK12" that the 12 x 12 font leaves at ROM 0x8018
; (page 1, offset 0x0018) and sets gbkFont when it is there.
.proc CheckGbkFont
    lda #0
    sta gbkFont
    sta PAGE_CTRL
    lda #1
    sta BANK
    ldx #4
@byte:
    lda $8018,x
    cmp mark,x
    bne @done
    dex
    bpl @byte
    inc gbkFont
@done:
    lda #0
    sta BANK
    rts
mark: .byte "GBK12"
.endproc

; Erases the test sector, checks it reads 0xFF, programs the pattern
; (offset low XOR offset high XOR 0x5A) byte by byte and reads it back.
; A = 0 pass, 1 the erase failed, 2 the programming failed; the failing
; address is in flashFailAddr.
.proc FlashTestSector
    sei                     ; the chip's command sequences must not be split
    lda #$80
    sta PAGE_CTRL
    lda #TEST_PAGE
    sta BANK
    ; Sector erase: two unlock pairs around the erase set-up, then 0x30.
    jsr Unlock
    lda #$80
    sta $5555
    jsr Unlock
    lda #$30
    sta TEST_ADDRESS
    ; Check every byte is erased.
    jsr Start
@erased:
    lda (ptr0),y
    cmp #$FF
    bne @eraseFail
    jsr Next
    bne @erased
    ; Program the pattern.
    jsr Start
@program:
    jsr Unlock
    lda #$A0
    sta $5555
    jsr Pattern
    sta (ptr0),y
    jsr Next
    bne @program
    ; Read it back.
    jsr Start
@verify:
    jsr Pattern
    cmp (ptr0),y
    bne @programFail
    jsr Next
    bne @verify
    lda #0
    beq @end
@eraseFail:
    lda #1
    bne @end
@programFail:
    lda #2
@end:
    pha
    lda ptr0
    sta flashFailAddr
    lda ptr0+1
    sta flashFailAddr+1
    lda #0
    sta BANK
    sta PAGE_CTRL
    cli
    pla
    rts

Unlock:
    lda #$AA
    sta $5555
    lda #$55
    sta $AAAA
    rts
Start:
    lda #<TEST_ADDRESS
    sta ptr0
    lda #>TEST_ADDRESS
    sta ptr0+1
    ldy #0
    rts
; Next byte; Z set after the last.
Next:
    inc ptr0
    bne :+
    inc ptr0+1
:   lda ptr0+1
    cmp #>(TEST_ADDRESS + TEST_LENGTH)
    rts
Pattern:
    lda ptr0+1
    and #$0F
    eor ptr0
    eor #$5A
    rts
.endproc
