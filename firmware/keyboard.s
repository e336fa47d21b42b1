; The keyboard. Eight key words, read through three paths:
;   words 0..5  write 0x80 >> n to port 0x09, then port 0x08 holds word n
;   word 6      row path: port 0x0F high nibble 0xF, port 0x08 = the bit's
;               select (bit cleared), port 0x0B bit 0 reads 0 while it is down
;   word 7      bit 0 through the row path with select 0xFF; bits 1 and 2
;               through the extra path: port 0x15 bits 0..1 set, port 0x09
;               0xFE or 0xFD, port 0x0B bit 0
; A key code is row * 10 + column of the device's key matrix.
.include "rq4800.inc"

.segment "BSS"
keyWords:   .res 8          ; the key words as last scanned
keyPrev:    .res 8          ; and as scanned the time before

.segment "RODATA"
; Key code of each key word bit, word 0 bit 0 first; $FF: no key.
codeOf:
    .byte 13, 14, 16, 17, 18, 19, $FF, $FF      ; word 0: row 1
    .byte 28, 38, 48, 58, 29, 39, 49, 59        ; word 1: columns 8, 9
    .byte 20, 21, 22, 23, 24, 25, 26, 27        ; word 2: row 2
    .byte 30, 31, 32, 33, 34, 35, 36, 37        ; word 3: row 3
    .byte 40, 41, 42, 43, 44, 45, 46, 47        ; word 4: row 4
    .byte 50, 51, 52, 53, 54, 55, 56, 57        ; word 5: row 5
    .byte  1,  2,  3,  4,  5,  6, 15,  7        ; word 6: row 0 and 15
    .byte  0,  8,  9, $FF, $FF, $FF, $FF, $FF   ; word 7
bitMask: .byte $01, $02, $04, $08, $10, $20, $40, $80

.macro KEYNAMES
    .repeat 60, i
        .word .ident(.sprintf("kn%d", i))
    .endrepeat
.endmacro
keyNames: KEYNAMES
kn0:  .asciiz "POWER"
kn1:  .asciiz "APP1"
kn2:  .asciiz "APP2"
kn3:  .asciiz "APP3"
kn4:  .asciiz "APP4"
kn5:  .asciiz "APP5"
kn6:  .asciiz "APP6"
kn7:  .asciiz "KEY7"
kn8:  .asciiz "KEY8"
kn9:  .asciiz "KEY9"
kn10: .asciiz "-"
kn11: .asciiz "-"
kn12: .asciiz "-"
kn13: .asciiz "KEY13"
kn14: .asciiz "KEY14"
kn15: .asciiz "KEY15"
kn16: .asciiz "F1"
kn17: .asciiz "F2"
kn18: .asciiz "F3"
kn19: .asciiz "F4"
kn20: .asciiz "Q"
kn21: .asciiz "W"
kn22: .asciiz "E"
kn23: .asciiz "R"
kn24: .asciiz "T"
kn25: .asciiz "Y"
kn26: .asciiz "U"
kn27: .asciiz "I"
kn28: .asciiz "O"
kn29: .asciiz "P"
kn30: .asciiz "A"
kn31: .asciiz "S"
kn32: .asciiz "D"
kn33: .asciiz "F"
kn34: .asciiz "G"
kn35: .asciiz "H"
kn36: .asciiz "J"
kn37: .asciiz "K"
kn38: .asciiz "L"
kn39: .asciiz "ENTER"
kn40: .asciiz "Z"
kn41: .asciiz "X"
kn42: .asciiz "C"
kn43: .asciiz "V"
kn44: .asciiz "B"
kn45: .asciiz "N"
kn46: .asciiz "M"
kn47: .asciiz "PGUP"
kn48: .asciiz "UP"
kn49: .asciiz "PGDN"
kn50: .asciiz "KEY50"
kn51: .asciiz "SHIFT"
kn52: .asciiz "CAPS"
kn53: .asciiz "ESC"
kn54: .asciiz "0"
kn55: .asciiz "."
kn56: .asciiz "SPACE"
kn57: .asciiz "LEFT"
kn58: .asciiz "DOWN"
kn59: .asciiz "RIGHT"

.segment "CODE"

; Reads all eight key words into keyWords.
.proc ScanKeys
    ; Words 0..5 through the select port and the latch.
    ldx #0
    lda #$80
@word:
    sta KEY_SELECT
    pha
    lda KEY_DATA
    sta keyWords,x
    pla
    lsr
    inx
    cpx #6
    bne @word
    ; Word 6 one bit at a time through the row path.
    lda #$F0
    sta ZP_CTRL
    lda #0
    sta keyWords+6
    sta keyWords+7
    ldx #7
@row:
    lda bitMask,x
    eor #$FF
    sta KEY_DATA
    lda KEY_SENSE
    lsr
    bcs @up
    lda bitMask,x
    ora keyWords+6
    sta keyWords+6
@up:
    dex
    bpl @row
    ; Word 7 bit 0: the row path with every select bit set.
    lda #$FF
    sta KEY_DATA
    lda KEY_SENSE
    lsr
    bcs @noPower
    lda #$01
    sta keyWords+7
@noPower:
    ; Word 7 bits 1 and 2: the extra path, with the row path pointed at
    ; nothing so that it cannot answer for them.
    lda #$01
    sta KEY_DATA
    lda #$03
    sta KEY_EXTRA
    lda #$FE
    sta KEY_SELECT
    lda KEY_SENSE
    lsr
    bcs @no8
    lda keyWords+7
    ora #$02
    sta keyWords+7
@no8:
    lda #$FD
    sta KEY_SELECT
    lda KEY_SENSE
    lsr
    bcs @no9
    lda keyWords+7
    ora #$04
    sta keyWords+7
@no9:
    lda #0
    sta KEY_EXTRA
    sta ZP_CTRL
    rts
.endproc

; Scans the keys and returns in A the code of a key that has gone down since
; the last call (KEY_NONE if none); X = its key word, Y = its bit.
.proc GetKey
    jsr ScanKeys
    lda #KEY_NONE
    sta tmp6
    ldx #7
@word:
    lda keyPrev,x
    eor #$FF
    and keyWords,x
    beq @nextWord
    ldy #7
@bit:
    pha
    and bitMask,y
    beq @nextBit
    stx tmp5
    txa
    asl
    asl
    asl
    sty tmp4
    ora tmp4
    sty tmp3
    tay
    lda codeOf,y
    cmp #KEY_NONE
    beq @nextBitY
    sta tmp6
    lda tmp5
    sta tmp7                ; the word of the key found
    lda tmp3
    sta tmp2                ; and its bit
@nextBitY:
    ldy tmp3
    ldx tmp5
@nextBit:
    pla
    dey
    bpl @bit
@nextWord:
    lda keyWords,x
    sta keyPrev,x
    dex
    bpl @word
    ldx tmp7
    ldy tmp2
    lda tmp6
    rts
.endproc

; The name of key code A: A (low), X (high) point at it.
.proc KeyName
    cmp #60
    bcc @ok
    lda #10
@ok:
    asl
    tay
    lda keyNames,y
    ldx keyNames+1,y
    rts
.endproc
