; Sound test: the beeper melody, a rising tone of raw samples, a phrase of
; speech frames, or all three in turn.
.include "rq4800.inc"

ITEMS = 4
FIRST_LINE = 2

.segment "BSS"
soundSel: .res 1
idx:      .res 1

.segment "RODATA"
s0: .asciiz "All three"
s1: .asciiz "Beeper melody"
s2: .asciiz "PCM tone (mode 4)"
s3: .asciiz "Speech phrase"
namesLo: .byte <s0, <s1, <s2, <s3
namesHi: .byte >s0, >s1, >s2, >s3

.segment "CODE"

.proc SoundTest
    AT 0, 0
    PRINT "Sound test"
    jsr ClearToEol
    lda #0
    jsr InvertLine
    lda #0
    sta idx
@item:
    ldx #1
    lda idx
    clc
    adc #FIRST_LINE
    tay
    jsr SetCursor
    ldy idx
    lda namesLo,y
    ldx namesHi,y
    jsr PutString
    inc idx
    lda idx
    cmp #ITEMS
    bne @item
    AT 0, 9
    PRINT "Enter: play  Esc: back"
    lda #0
    sta soundSel
    jsr Bar
@loop:
    jsr GetKey
    cmp #KEY_ESC
    beq @exit
    cmp #KEY_UP
    beq @up
    cmp #KEY_DOWN
    beq @down
    cmp #KEY_ENTER
    bne @loop
    jsr Play
    jmp @loop
@up:
    jsr Bar
    dec soundSel
    bpl @moved
    lda #ITEMS - 1
    sta soundSel
    bne @moved
@down:
    jsr Bar
    inc soundSel
    lda soundSel
    cmp #ITEMS
    bcc @moved
    lda #0
    sta soundSel
@moved:
    jsr Bar
    jmp @loop
@exit:
    jmp SoundStop
.endproc

.proc Bar
    lda soundSel
    clc
    adc #FIRST_LINE
    jmp InvertLine
.endproc

.proc Play
    AT 0, 7
    PRINT "Playing..."
    jsr ClearToEol
    lda soundSel
    beq @all
    cmp #1
    beq @melody
    cmp #2
    beq @pcm
    jsr PlaySpeech
    jmp @done
@melody:
    jsr PlayMelody
    jmp @done
@pcm:
    jsr PlayPcm
    jmp @done
@all:
    jsr PlayMelody
    jsr PlayPcm
    jsr PlaySpeech
@done:
    AT 0, 7
    PRINT "Done"
    jmp ClearToEol
.endproc
