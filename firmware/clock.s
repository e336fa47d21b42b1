; The device clock: six RAM bytes that the host fills in when the year byte
; reads 119 at a half-second tick, and that the firmware steps by itself at
; each half-second NMI in between. The firmware asks again every second,
; because its clock stands still whenever the host holds the emulation (a
; menu or dialog open); so the time shown never trails the host's by more
; than a second. Also the seven-segment digits beside the LCD, which are
; status icons of LCD rows.
.include "rq4800.inc"

; The six clock bytes at 0x0469..0x046E (named in rq4800.inc).
.segment "CLOCK"
    .res 6

.segment "BSS"
; The year while the year byte holds the request (119): what the screens show.
clockYear:  .res 1
clockAsked: .res 1          ; the year byte was set to 119 at the last NMI

.segment "KERNEL"

; At each half-second NMI, one of two: after a request the host has filled in
; the clock, which stands as it is (or, should the host not have answered,
; the firmware restores the year and steps on by itself); otherwise the
; firmware steps its clock half a second and asks the host again.
.proc ClockNmi
    lda clockAsked
    beq @step
    lda #0
    sta clockAsked
    lda CLOCK_YEAR
    cmp #YEAR_ASK_HOST
    bne @answered
    lda clockYear
    sta CLOCK_YEAR
    jmp ClockHalfSecond
@answered:
    sta clockYear
    rts
@step:
    jsr ClockHalfSecond
    lda CLOCK_YEAR
    sta clockYear
    lda #YEAR_ASK_HOST
    sta CLOCK_YEAR
    inc clockAsked
    rts
.endproc

daysInMonth: .byte 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31

; One half-second step, with carries up to the year. Runs inside the NMI, so
; it lives in window 7 and touches RAM only.
.proc ClockHalfSecond
    inc CLOCK_HALF
    lda CLOCK_HALF
    cmp #120
    bcc @done
    lda #0
    sta CLOCK_HALF
    inc CLOCK_MIN
    lda CLOCK_MIN
    cmp #60
    bcc @done
    lda #0
    sta CLOCK_MIN
    inc CLOCK_HOUR
    lda CLOCK_HOUR
    cmp #24
    bcc @done
    lda #0
    sta CLOCK_HOUR
    inc CLOCK_DAY
    ldx CLOCK_MONTH
    cpx #12
    bcc :+
    ldx #0
:   lda daysInMonth,x
    cpx #1
    bne @length
    ; February: 29 days in a leap year. The year is 1881 + the byte, so it
    ; divides by 4 when the byte + 1 does; 1900 and 2100 are not leap years.
    ldy CLOCK_YEAR
    iny
    tya
    and #3
    bne @february
    ldy CLOCK_YEAR
    cpy #19
    beq @february
    cpy #219
    beq @february
    lda #29
    bne @length
@february:
    lda #28
@length:
    cmp CLOCK_DAY
    beq @newMonth
    bcs @done
@newMonth:
    lda #0
    sta CLOCK_DAY
    inc CLOCK_MONTH
    lda CLOCK_MONTH
    cmp #12
    bcc @done
    lda #0
    sta CLOCK_MONTH
    inc CLOCK_YEAR
@done:
    rts
.endproc

.segment "RODATA"
; Segments a (top), b, c, d, e, f, g (middle) of each digit as bits 0..6.
digitShapes:
    .byte $3F, $06, $5B, $4F, $66, $6D, $7D, $07, $7F, $6F, $00
; The LCD rows whose icons are the segments a..g of digits 1..4.
DigitSegments:
    .byte  1,  2, 33, 34, 35,  0,  3
    .byte  6,  7, 29, 30, 31,  5,  8
    .byte 11, 13, 24, 25, 26, 10, 14
    .byte 16, 17, 19, 21, 22, 15, 18

.segment "BSS"
digitValues: .res 4

.segment "CODE"

; Shows digit values tmp0..tmp3 (0..9, 10 = blank) on the four seven-segment
; digits.
.proc SetDigits
    lda tmp0
    sta digitValues
    lda tmp1
    sta digitValues+1
    lda tmp2
    sta digitValues+2
    lda tmp3
    sta digitValues+3
    ldx #0                  ; index into DigitSegments
@digit:
    ; the digit that index x belongs to: x / 7
    ldy #0
    cpx #7
    bcc @haveDigit
    cpx #14
    bcc @d1
    cpx #21
    bcc @d2
    ldy #3
    bne @haveDigit
@d1:
    ldy #1
    bne @haveDigit
@d2:
    ldy #2
@haveDigit:
    lda digitValues,y
    tay
    lda digitShapes,y
    sta tmp4
    ; bit number of this segment = x mod 7
    txa
@mod:
    cmp #7
    bcc @bit
    sbc #7
    bcs @mod
@bit:
    tay
    lda tmp4
@shift:
    dey
    bmi @test
    lsr
    jmp @shift
@test:
    lsr                     ; carry = the segment
    lda DigitSegments,x
    stx tmp5
    jsr SetIcon
    ldx tmp5
    inx
    cpx #28
    bne @digit
    rts
.endproc

; A = value 0..99: two digits into tmp0 (tens) and tmp1 (units).
.proc SplitTens
    ldx #0
@sub:
    cmp #10
    bcc @done
    sbc #10
    inx
    bne @sub
@done:
    sta tmp1
    stx tmp0
    rts
.endproc

.proc Put2
    jsr SplitTens
    lda tmp0
    ora #'0'
    jsr PutChar
    lda tmp1
    ora #'0'
    jmp PutChar
.endproc

; "YYYY-MM-DD" at the cursor.
.proc PutDate
    lda clockYear
    clc
    adc #<1881
    sta num
    lda #0
    adc #>1881
    sta num+1
    lda #4
    jsr PutDec16
    lda #'-'
    jsr PutChar
    lda CLOCK_MONTH
    clc
    adc #1
    jsr Put2
    lda #'-'
    jsr PutChar
    lda CLOCK_DAY
    clc
    adc #1
    jmp Put2
.endproc

; "HH:MM:SS" at the cursor.
.proc PutTime
    lda CLOCK_HOUR
    jsr Put2
    lda #':'
    jsr PutChar
    lda CLOCK_MIN
    jsr Put2
    lda #':'
    jsr PutChar
    lda CLOCK_HALF
    lsr
    jmp Put2
.endproc

; Hours and minutes on the seven-segment digits, the colon lit on whole
; seconds.
.proc ShowClockDigits
    lda CLOCK_MIN
    jsr SplitTens
    lda tmp0
    sta tmp2
    lda tmp1
    sta tmp3
    lda CLOCK_HOUR
    jsr SplitTens
    jsr SetDigits
    lda CLOCK_HALF
    eor #1
    lsr
    lda #ICON_COLON
    jmp SetIcon
.endproc

