; Sleep: the mark 0xF0 in port 0x05 tells the machine that the device sleeps;
; a wake key (the power key, keys 1..6 or 15) then makes it warm-reset the
; device, which starts again at the home screen.
.include "rq4800.inc"

.segment "CODE"

.proc SleepScreen
    jsr StopTimers
    jsr SoundStop
    AT 0, 3
    PRINT "   Sleeping."
    AT 0, 5
    PRINT "   Power or APP1..6 wakes"
    lda #SLEEP_MARK
    sta TIMERA_RUN
@wait:
    jmp @wait
.endproc
