; Timer test: the events of each second of device time (counted by the
; interrupt handlers, taken at every second half-second NMI) beside the
; rates the machine is built for.
.include "rq4800.inc"

.segment "BSS"
lastSeq: .res 1

.segment "CODE"

.proc TimerTest
    AT 0, 0
    PRINT "Timer test"
    jsr ClearToEol
    lda #0
    jsr InvertLine
    AT 0, 1
    PRINT "Source   per s  expected"
    AT 0, 2
    PRINT "Tick"
    AT 18, 2
    PRINT "250"
    AT 0, 3
    PRINT "Timer A"
    AT 17, 3
    PRINT "7200"
    AT 0, 4
    PRINT "Timer B"
    AT 17, 4
    PRINT "56.25"
    AT 0, 5
    PRINT "NMI"
    AT 20, 5
    PRINT "2"
    AT 0, 9
    PRINT "Esc: back"
    jsr StartTimers
    lda snapSeq
    sta lastSeq
@loop:
    jsr GetKey
    cmp #KEY_ESC
    beq @exit
    lda snapSeq
    cmp lastSeq
    beq @loop
    sta lastSeq
    jsr ShowRates
    jmp @loop
@exit:
    jmp StopTimers
.endproc

.proc ShowRates
    sei                     ; the four counts of one second together
    lda tickRate
    sta rates
    lda tickRate+1
    sta rates+1
    lda timerARate
    sta rates+2
    lda timerARate+1
    sta rates+3
    lda timerBRate
    sta rates+4
    lda timerBRate+1
    sta rates+5
    lda nmiRate
    sta rates+6
    lda #0
    sta rates+7
    cli
    ldx #0
@line:
    stx lineIndex
    txa
    lsr
    clc
    adc #2
    tay
    ldx #9
    jsr SetCursor
    ldx lineIndex
    lda rates,x
    sta num
    lda rates+1,x
    sta num+1
    lda #5
    jsr PutDec16
    ldx lineIndex
    inx
    inx
    cpx #8
    bne @line
    AT 0, 7
    PRINT "Status 01 last: "
    lda irqLast
    jmp PutHex8
.endproc

.segment "BSS"
rates:     .res 8
lineIndex: .res 1
