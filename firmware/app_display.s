; Display test: dot patterns, each of the 80 status icons in turn, then the
; seven-segment digits counting. Each step moves on by itself; Enter skips
; ahead, Esc returns.
.include "rq4800.inc"

PATTERNS   = 4
PATTERN_TICKS = 250         ; one second per pattern
ICON_TICKS = 10             ; 40 ms per icon
COUNT_TICKS = 4             ; the digits count 62.5 a second

.segment "BSS"
phase:     .res 1           ; 0..3 patterns, 4 icons, 5 digits
stepValue: .res 2           ; icon number or count
nextTick:  .res 1

.segment "RODATA"
evenRows: .byte $AA, $FF, $FF, $CC
oddRows:  .byte $55, $FF, $00, $CC

.segment "CODE"

.proc DisplayTest
    lda #0
    sta phase
@start:
    jsr BeginPhase
@loop:
    jsr GetKey
    cmp #KEY_ESC
    beq @exit
    cmp #KEY_ENTER
    beq @next
    lda tickTotal
    cmp nextTick
    bne @loop
    jsr StepPhase
    bcc @loop
@next:
    inc phase
    lda phase
    cmp #6
    bcc @start
    lda #0
    sta phase
    beq @start
@exit:
    jsr ClearIcons
    rts
.endproc

; Draws the first picture of the current phase.
.proc BeginPhase
    jsr ClearIcons
    jsr ClearScreen
    lda #0
    sta stepValue
    sta stepValue+1
    lda phase
    cmp #PATTERNS
    bcs @notPattern
    tax
    lda evenRows,x
    pha
    lda oddRows,x
    tax
    pla
    jsr FillPattern
    lda #PATTERN_TICKS
    jmp SetNext
@notPattern:
    bne @digits
    AT 2, 3
    PRINT "Status icons"
    jsr ShowIcon
    lda #ICON_TICKS
    jmp SetNext
@digits:
    AT 2, 3
    PRINT "Seven-segment digits"
    jsr ShowCount
    lda #COUNT_TICKS
    jmp SetNext
.endproc

.proc SetNext
    clc
    adc tickTotal
    sta nextTick
    rts
.endproc

; Advances the current phase by one step; carry set when the phase is over.
.proc StepPhase
    lda phase
    cmp #PATTERNS
    bcc @over
    bne @count
    lda stepValue           ; icons: switch this one off, the next on
    clc
    jsr SetIcon
    inc stepValue
    lda stepValue
    cmp #LCD_ROWS
    bcs @over
    jsr ShowIcon
    lda #ICON_TICKS
    jsr SetNext
    clc
    rts
@count:
    inc stepValue
    bne :+
    inc stepValue+1
:   lda stepValue+1
    cmp #>10000
    bcc @show
    lda stepValue
    cmp #<10000
    bcs @over
@show:
    jsr ShowCount
    lda #COUNT_TICKS
    jsr SetNext
    clc
    rts
@over:
    sec
    rts
.endproc

.proc ShowIcon
    lda stepValue
    sec
    jsr SetIcon
    AT 2, 5
    PRINT "Icon "
    lda stepValue
    sta num
    lda #0
    sta num+1
    lda #2
    jmp PutDec16
.endproc

; The count on the four digits and as text.
.proc ShowCount
    AT 2, 5
    lda stepValue
    sta num
    lda stepValue+1
    sta num+1
    lda #4
    jsr PutDec16
    ; Split the count into four decimal digits for the segments.
    lda stepValue
    sta num
    lda stepValue+1
    sta num+1
    ldx #0
@place:
    ldy #0
@sub:
    lda num
    sec
    sbc placeLo,x
    pha
    lda num+1
    sbc placeHi,x
    bcc @digit
    sta num+1
    pla
    sta num
    iny
    bne @sub
@digit:
    pla
    tya
    sta tmp0,x
    inx
    cpx #4
    bne @place
    jmp SetDigits
placeLo: .byte <1000, <100, <10, <1
placeHi: .byte >1000, >100, >10, >1
.endproc
