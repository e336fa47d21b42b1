; Sound: the beeper (gate = port 0x07 bit 7 set and port 0x19 bit 7 clear,
; level = port 0x18 bit 7), raw samples through the speech decoder's PCM mode,
; and speech frames through its frame mode. Both decoder paths are paced by
; the status port: 0x70 while the sample ring holds more than half a second.
.include "rq4800.inc"

CPU_HZ = 3686400
TOGGLE_OVERHEAD = 45        ; cycles of the toggle loop outside the delay
DELAY_UNIT = 13             ; cycles per delay unit

.segment "ZEROPAGE"
delayCount: .res 2
toggles:    .res 2
level:      .res 1
phase:      .res 2
step:       .res 2
samplesLeft: .res 2
waitStart:  .res 1
toneCount:  .res 2
toneDelay:  .res 2

.segment "RODATA"
; A note: delay units per half period, then the number of half periods.
.macro NOTE hz, ms
    .word (CPU_HZ / (2 * hz) - TOGGLE_OVERHEAD) / DELAY_UNIT
    .word (2 * hz * ms) / 1000
.endmacro
melody:
    NOTE 523, 160            ; C
    NOTE 659, 160            ; E
    NOTE 784, 160            ; G
    NOTE 1047, 240           ; C
    NOTE 784, 160            ; G
    NOTE 1047, 400           ; C
    .word 0

; One period of a sine, 64 steps, amplitude 127.
sine:
    .byte 0, 12, 25, 37, 49, 60, 71, 81, 90, 98, 106, 112, 117, 122, 125, 126
    .byte 127, 126, 125, 122, 117, 112, 106, 98, 90, 81, 71, 60, 49, 37, 25, 12
    .byte 0, <-12, <-25, <-37, <-49, <-60, <-71, <-81, <-90, <-98, <-106, <-112, <-117, <-122, <-125, <-126
    .byte <-127, <-126, <-125, <-122, <-117, <-112, <-106, <-98, <-90, <-81, <-71, <-60, <-49, <-37, <-25, <-12

; A speech frame: ten LSP indices, the pitch index of the even subframes
; (the odd ones repeat it), the pitch gain and the pulse amplitude index.
; Each subframe has its two pulses on samples 0 and 2, repeated every lag,
; of opposite signs so that the excitation carries no steady offset.
.macro FRAME i1, i2, i3, i4, i5, i6, i7, i8, i9, i10, pitch, gain, amp
    .word $0000 | (i1) | ((i2) << 3) | ((i3) << 7)
    .word $1000 | (i4) | ((i5) << 4) | ((i6) << 8)
    .word $2000 | (i7) | ((i8) << 3) | ((i9) << 6) | ((i10) << 9)
    .repeat 4, sub
        .if sub = 0 || sub = 2
            .word $3000 | (pitch)
        .else
            .word $3000 | 16
        .endif
        .word $4000
        .word $5000 | (gain) | ((amp) << 4) | $0100
    .endrepeat
.endmacro
; Vowels as LSP index sets: "a" (formants near 700 and 1200 Hz), "i" (300,
; 2300 Hz), "o" (400, 800 Hz).
.define VOWEL_A 3, 12, 7, 7, 4, 5, 5, 4, 2, 3
.define VOWEL_I 4, 4, 9, 9, 12, 5, 4, 4, 2, 3
.define VOWEL_O 5, 7, 7, 4, 7, 3, 5, 4, 2, 3
speech:
    .repeat 8, n
        FRAME VOWEL_A, 141 - 3 * n, 9, 11
    .endrepeat
    FRAME VOWEL_A, 141, 0, 0
    .repeat 8, n
        FRAME VOWEL_I, 111 + 2 * n, 9, 11
    .endrepeat
    FRAME VOWEL_I, 111, 0, 0
    .repeat 10, n
        FRAME VOWEL_O, 150 + 2 * n, 9, 11
    .endrepeat
    FRAME VOWEL_O, 150, 0, 0
speechEnd:
SPEECH_FRAMES = (speechEnd - speech) / 30

.segment "CODE"

; Sends the command word A (low), X (high).
.proc SendWord
    sta SOUND_LO
    stx SOUND_HI
    rts
.endproc

; Waits while the ring holds more than half a second. Carry set when it has
; not drained for a whole second (no wave output takes the samples).
.proc WaitRoom
    lda tickTotal
    sta waitStart
@wait:
    lda SOUND_CTRL
    and #$30
    cmp #$30
    bne @room
    lda tickTotal
    sec
    sbc waitStart
    cmp #250
    bcc @wait
    rts
@room:
    clc
    rts
.endproc

; The melody on the beeper, timed by counted cycles.
.proc PlayMelody
    lda #0
    sta BEEP_MUTE
    lda #$80
    sta TIMERB_RUN          ; open the gate
    sta BEEP_LEVEL          ; at once: the level counts only while the gate is open
    sta level
    lda #<melody
    sta ptr0
    lda #>melody
    sta ptr0+1
@note:
    ldy #0
    lda (ptr0),y
    iny
    ora (ptr0),y
    beq @done
    ldy #2
    lda (ptr0),y
    sta toggles
    iny
    lda (ptr0),y
    sta toggles+1
@half:
    lda level               ; one half period: flip the level, then wait
    eor #$80
    sta level
    sta BEEP_LEVEL
    ldy #0
    lda (ptr0),y
    sta delayCount
    iny
    lda (ptr0),y
    sta delayCount+1
@delay:
    lda delayCount          ; 13 cycles per unit
    sec
    sbc #1
    sta delayCount
    bcs @delay
    dec delayCount+1
    bpl @delay
    lda toggles
    bne :+
    dec toggles+1
:   dec toggles
    lda toggles
    ora toggles+1
    bne @half
    lda ptr0
    clc
    adc #4
    sta ptr0
    bcc @note
    inc ptr0+1
    bne @note
@done:
    lda #0
    sta TIMERB_RUN          ; close the gate
    rts
.endproc

; A tone on the beeper for programs: A (low), X (high) delay units per half
; period, toneCount half periods. The same loop as the melody's.
.proc BeepTone
    sta toneDelay
    stx toneDelay+1
    lda toneCount
    ora toneCount+1
    beq @done
    lda #0
    sta BEEP_MUTE
    lda #$80
    sta TIMERB_RUN
    sta BEEP_LEVEL
    sta level
@half:
    lda level
    eor #$80
    sta level
    sta BEEP_LEVEL
    lda toneDelay
    sta delayCount
    lda toneDelay+1
    sta delayCount+1
@delay:
    lda delayCount
    sec
    sbc #1
    sta delayCount
    bcs @delay
    dec delayCount+1
    bpl @delay
    lda toneCount
    bne :+
    dec toneCount+1
:   dec toneCount
    lda toneCount
    ora toneCount+1
    bne @half
    lda #0
    sta TIMERB_RUN
@done:
    rts
.endproc

; A rising tone as raw samples: PCM mode (command word 0xA004), one word per
; sample at 8000 Hz, sample + 0x8000. The low bit is always set: the word
; 0x8000 would also set the status latch and blind the pacing.
.proc PlayPcm
    lda #$40
    sta SOUND_CTRL
    lda #$04
    ldx #$A0
    jsr SendWord
    lda #<2400
    sta step
    lda #>2400
    sta step+1
    lda #0
    sta phase
    sta phase+1
    lda #<4800
    sta samplesLeft
    lda #>4800
    sta samplesLeft+1
@sample:
    jsr WaitRoom
    bcs @stop
    lda phase
    clc
    adc step
    sta phase
    lda phase+1
    adc step+1
    sta phase+1
    lsr
    lsr
    tax
    lda sine,x
    sta tmp0
    asl                     ; low byte: sample << 6
    asl
    asl
    asl
    asl
    asl
    ora #1
    sta SOUND_LO
    lda tmp0                ; high byte: sample >> 2, plus 0x80
    cmp #$80
    ror
    cmp #$80
    ror
    eor #$80
    sta SOUND_HI
    lda step                ; the pitch rises by 1/4 Hz per sample
    clc
    adc #2
    sta step
    bcc :+
    inc step+1
:   lda samplesLeft
    bne :+
    dec samplesLeft+1
:   dec samplesLeft
    lda samplesLeft
    ora samplesLeft+1
    bne @sample
@stop:
    lda #0
    ldx #$FF
    jsr SendWord            ; back to frame mode
    lda #$40
    sta SOUND_CTRL
    rts
.endproc

; The speech phrase: frames of fifteen tagged words, each 30 ms of sound.
.proc PlaySpeech
    lda #$40
    sta SOUND_CTRL
    lda #<speech
    sta ptr0
    lda #>speech
    sta ptr0+1
    lda #SPEECH_FRAMES
    sta samplesLeft
@frame:
    jsr WaitRoom
    bcs @done
    ldy #0
@word:
    lda (ptr0),y
    sta SOUND_LO
    iny
    lda (ptr0),y
    sta SOUND_HI
    iny
    cpy #30
    bne @word
    lda ptr0
    clc
    adc #30
    sta ptr0
    bcc :+
    inc ptr0+1
:   dec samplesLeft
    bne @frame
@done:
    rts
.endproc

; Silences everything: gate closed, decoder reset.
.proc SoundStop
    lda #0
    sta TIMERB_RUN
    lda #$40
    sta SOUND_CTRL
    rts
.endproc
