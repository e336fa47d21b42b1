; Start-up and interrupts. This module sits in window 7, which always shows
; ROM 0x6000..0x7FFF, so the handlers work whatever windows 2..6 show while
; the flash or another ROM page is being read.
.include "rq4800.inc"

.import programRunning, ProgramEnd

.segment "ZEROPAGE"
ptr0:        .res 2
ptr1:        .res 2
ptr2:        .res 2
tmp0:        .res 1
tmp1:        .res 1
tmp2:        .res 1
tmp3:        .res 1
tmp4:        .res 1
tmp5:        .res 1
tmp6:        .res 1
tmp7:        .res 1
curX:        .res 1     ; text cursor: dot column
curY:        .res 1     ; text cursor: dot row
inverse:     .res 1     ; 0xFC: characters drawn light on dark
num:         .res 3     ; number being printed
tickTotal:   .res 2     ; tick interrupts since start, 250 a second
tickHigh:    .res 1     ; and its third byte
nmiTotal:    .res 1     ; half-second NMIs since start
snapReq:     .res 1     ; set by every second NMI: take the counts
snapSeq:     .res 1     ; grows by one with every new set of counts
tickCount:   .res 2     ; events in the second now running
timerACount: .res 2
timerBCount: .res 2
tickRate:    .res 2     ; events in the last whole second
timerARate:  .res 2
timerBRate:  .res 2
nmiRate:     .res 1
nmiPrev:     .res 1
irqLast:     .res 1     ; the interrupt status read last

.segment "KERNEL"

Reset:
    sei
    cld
    ldx #$FF
    txs
    lda #0
    sta PAGE_CTRL           ; page 0 in window 6, no flash mode
    sta BANK                ; RAM at 0x4000..0x7FFF, ROM page 0 at 0x8000
    sta TIMERA_RUN          ; leave the sleep mark of a warm reset behind
    sta INT_STATUS          ; tick, timers and NMI all enabled
    sta TIMERB_RUN          ; beeper gate closed
    sta ZP_CTRL
    lda TIMERA_STOP         ; both timers stand still until a screen wants them
    lda TIMERB_STOP
    lda #$40
    sta SOUND_CTRL          ; speech decoder to frame mode, empty history
    ; Clear the zero page and the variables; a warm reset keeps RAM.
    lda #0
    ldx #$40
@zp:
    sta $00,x
    inx
    bne @zp
    ldx #0
@ram:
    sta $0200,x
    sta $0300,x
    sta $0480,x
    sta $0580,x
    sta $0680,x
    sta $0780,x
    sta $0880,x
    inx
    bne @ram
    ldx #$5F
@ram2:
    sta $0400,x
    dex
    bpl @ram2
    jsr ClearIcons
    jsr ClearScreen
    jsr CheckGbkFont
    ; Ask the host for the date and time: it answers at the next half-second.
    lda #YEAR_ASK_HOST
    sta CLOCK_YEAR
    sta clockYear
    lda #1
    sta clockAsked
    lda #$0F
    sta TIMERA_STOP         ; tick source on: 250 interrupts a second
    cli
    jmp Home

; Half-second NMI: the device clock (ClockNmi) and the once-a-second count
; request.
Nmi:
    pha
    txa
    pha
    tya
    pha
    inc nmiTotal
    lda nmiTotal
    and #1
    bne @half
    lda #1
    sta snapReq             ; the next IRQ takes the counts of this second
@half:
    jsr ClockNmi
    pla
    tay
    pla
    tax
    pla
    rti

; IRQ: one read of the status port takes (and clears) every pending source.
; The counts of a second are taken here, not in the NMI, so that an NMI
; arriving between the two bytes of a count can never tear it.
Irq:
    pha
    lda INT_STATUS
    sta irqLast
    and #INT_TICK
    beq @noTick
    inc tickTotal
    bne :+
    inc tickTotal+1
    bne :+
    inc tickHigh
:   inc tickCount
    bne @noTick
    inc tickCount+1
@noTick:
    lda irqLast
    and #INT_TIMERA
    beq @noA
    inc timerACount
    bne @noA
    inc timerACount+1
@noA:
    lda irqLast
    and #INT_TIMERB
    beq @noB
    inc timerBCount
    bne @noB
    inc timerBCount+1
@noB:
    lda programRunning
    beq @noProgram
    jsr StopCombination
    bcc @noProgram
    lda #$FF                ; the user stopped the program: exit status 255
    jmp ProgramEnd
@noProgram:
    lda snapReq
    beq @done
    lda #0
    sta snapReq
    lda tickCount
    sta tickRate
    lda tickCount+1
    sta tickRate+1
    lda timerACount
    sta timerARate
    lda timerACount+1
    sta timerARate+1
    lda timerBCount
    sta timerBRate
    lda timerBCount+1
    sta timerBRate+1
    lda #0
    sta tickCount
    sta tickCount+1
    sta timerACount
    sta timerACount+1
    sta timerBCount
    sta timerBCount+1
    lda nmiTotal
    sec
    sbc nmiPrev
    sta nmiRate
    lda nmiTotal
    sta nmiPrev
    inc snapSeq
@done:
    pla
    rti

; Carry set while Esc and Enter (key word 5 bit 3, key word 1 bit 5) are
; both down: each key word holds one key, so the two come from two words.
; The program may be reading the keys itself: the select and latch ports
; are read back and written again, so its scan goes on as if untouched.
.proc StopCombination
    txa
    pha
    lda KEY_SELECT
    tax
    lda KEY_DATA
    pha
    clc
    lda #$04
    sta KEY_SELECT          ; key word 5 into the latch
    lda KEY_DATA
    and #$08
    beq @restore
    lda #$40
    sta KEY_SELECT          ; key word 1
    lda KEY_DATA
    and #$20
    cmp #$20                ; carry set when Enter is down too
@restore:
    stx KEY_SELECT
    pla
    sta KEY_DATA
    pla
    tax
    rts
.endproc

; Waits A ticks (1/250 s each).
.proc WaitTicks
    clc
    adc tickTotal
@wait:
    cmp tickTotal
    bne @wait
    rts
.endproc

; Loads both timers with 0 and starts them: timer A then overflows every
; 4 slices, timer B every 512.
.proc StartTimers
    lda #0
    sta TIMERA_LOAD
    sta TIMERB_LOAD
    lda TIMERA_RUN
    lda TIMERB_RUN
    rts
.endproc

.proc StopTimers
    lda TIMERA_STOP
    lda TIMERB_STOP
    rts
.endproc

.segment "VECTORS"
    .word Nmi
    .word Reset
    .word Irq
