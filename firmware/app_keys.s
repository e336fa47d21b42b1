; Keyboard test: names every key as it goes down, with its key code and the
; path it came through, shows the eight key words, and lights the CAPS and
; SHIFT icons while those keys are held. Esc twice in a row returns.
.include "rq4800.inc"

HISTORY_LINE = 5

.segment "BSS"
lastCode:  .res 1
lastWord:  .res 1
lastBit:   .res 1
escCount:  .res 1
history:   .res 4           ; earlier key codes, newest first
histIndex: .res 1

.segment "CODE"

.proc KeyTest
    AT 0, 0
    PRINT "Keyboard test"
    jsr ClearToEol
    lda #0
    jsr InvertLine
    AT 0, 9
    PRINT "Esc twice: back"
    lda #KEY_NONE
    sta history
    sta history+1
    sta history+2
    sta history+3
    lda #0
    sta escCount
    AT 0, 1
    PRINT "Press any key"
@loop:
    jsr GetKey
    pha
    stx lastWord
    sty lastBit
    jsr ShowWords
    pla
    cmp #KEY_NONE
    beq @loop
    sta lastCode
    cmp #KEY_ESC
    bne @notEsc
    inc escCount
    lda escCount
    cmp #2
    bcc @show
    lda #ICON_CAPS
    clc
    jsr SetIcon
    lda #ICON_SHIFT
    clc
    jmp SetIcon
@notEsc:
    lda #0
    sta escCount
@show:
    jsr ShowKey
    jmp @loop
.endproc

; The key words in hexadecimal, and the CAPS and SHIFT icons.
.proc ShowWords
    AT 0, 3
    PRINT "W"
    ldx #0
@word:
    lda #' '
    jsr PutChar
    lda keyWords,x
    jsr PutHex8
    inx
    cpx #8
    bne @word
    lda keyWords+5          ; CAPS is word 5 bit 2, SHIFT word 5 bit 1
    and #$04
    cmp #$04
    lda #ICON_CAPS
    jsr SetIcon
    lda keyWords+5
    and #$02
    cmp #$02
    lda #ICON_SHIFT
    jmp SetIcon
.endproc

.proc ShowKey
    ; Shift the history down and show it.
    lda history+2
    sta history+3
    lda history+1
    sta history+2
    lda history
    sta history+1
    AT 0, 1
    PRINT "Key "
    lda lastCode
    jsr KeyName
    jsr PutString
    PRINT " code "
    lda lastCode
    sta num
    lda #0
    sta num+1
    jsr PutDec16
    jsr ClearToEol
    AT 0, 2
    PRINT "via "
    lda lastWord
    cmp #6
    bcs @port0B
    PRINT "ports 09/08 word "
    lda lastWord
    ora #'0'
    jsr PutChar
    jmp @pathDone
@port0B:
    cmp #7
    bne @row
    lda lastBit
    beq @row
    PRINT "extra path 0B w7 b"
    lda lastBit
    ora #'0'
    jsr PutChar
    jmp @pathDone
@row:
    PRINT "row path 0B w"
    lda lastWord
    ora #'0'
    jsr PutChar
    PRINT " b"
    lda lastBit
    ora #'0'
    jsr PutChar
@pathDone:
    jsr ClearToEol
    AT 0, HISTORY_LINE - 1
    PRINT "Before:"
    jsr ClearToEol
    lda #0
    sta histIndex
@hist:
    lda histIndex
    clc
    adc #HISTORY_LINE
    tay
    ldx #2
    jsr SetCursor
    ldx histIndex
    lda history+1,x
    cmp #KEY_NONE
    beq @blank
    pha
    jsr KeyName
    jsr PutString
    lda #' '
    jsr PutChar
    pla
    sta num
    lda #0
    sta num+1
    jsr PutDec16
@blank:
    jsr ClearToEol
    inc histIndex
    lda histIndex
    cmp #3
    bne @hist
    lda lastCode
    sta history
    rts
.endproc
