; Home: the program's name, the device's date and time, and the menu of
; the test screens.
.include "rq4800.inc"

MENU_LINE  = 2
MENU_ITEMS = 7

.segment "BSS"
homeSel:  .res 1
lastHalf: .res 1
itemIndex: .res 1

.segment "RODATA"
title:    .asciiz "  RQ4800 Diagnostics"
item0:    .asciiz "Keyboard test"
item1:    .asciiz "Display test"
item2:    .asciiz "Timer test"
item3:    .asciiz "Sound test"
item4:    .asciiz "Files"
item5:    .asciiz "Flash test"
item6:    .asciiz "Sleep"
itemsLo:  .byte <item0, <item1, <item2, <item3, <item4, <item5, <item6
itemsHi:  .byte >item0, >item1, >item2, >item3, >item4, >item5, >item6
screensLo: .byte <(KeyTest-1), <(DisplayTest-1), <(TimerTest-1), <(SoundTest-1)
           .byte <(FileBrowser-1), <(FlashTest-1), <(SleepScreen-1)
screensHi: .byte >(KeyTest-1), >(DisplayTest-1), >(TimerTest-1), >(SoundTest-1)
           .byte >(FileBrowser-1), >(FlashTest-1), >(SleepScreen-1)

.segment "CODE"

.proc Home
    lda #0
    sta homeSel
@redraw:
    jsr StopTimers
    jsr SoundStop
    jsr ClearIcons
    jsr ClearScreen
    lda #0
    sta inverse
    AT 0, 0
    lda #<title
    ldx #>title
    jsr PutString
    jsr ClearToEol
    lda #0
    jsr InvertLine
    lda #0
    sta itemIndex
@item:
    ldx #1
    lda itemIndex
    clc
    adc #MENU_LINE
    tay
    jsr SetCursor
    lda itemIndex
    clc
    adc #'1'
    jsr PutChar
    lda #' '
    jsr PutChar
    ldy itemIndex
    lda itemsLo,y
    ldx itemsHi,y
    jsr PutString
    inc itemIndex
    lda itemIndex
    cmp #MENU_ITEMS
    bne @item
    AT 0, 9
    PRINT "Up/Down, Enter: open"
    jsr ShowSelection
    lda #$FF
    sta lastHalf
@loop:
    lda CLOCK_HALF
    cmp lastHalf
    beq @keys
    sta lastHalf
    AT 3, 1
    jsr PutDate
    lda #2
    jsr PutSpaces
    jsr PutTime
    jsr ShowClockDigits
@keys:
    lda LAUNCH_REQUEST
    cmp #LAUNCH_MARK
    bne :+
    lda #4                  ; the host asks for a program: through Files
    sta homeSel
    jmp @enter
:   jsr GetKey
    cmp #KEY_UP
    beq @up
    cmp #KEY_DOWN
    beq @down
    cmp #KEY_ENTER
    beq @enter
    jmp @loop
@up:
    jsr ShowSelection       ; inverting again removes the bar
    dec homeSel
    bpl :+
    lda #MENU_ITEMS - 1
    sta homeSel
:   jsr ShowSelection
    jmp @loop
@down:
    jsr ShowSelection
    inc homeSel
    lda homeSel
    cmp #MENU_ITEMS
    bcc :+
    lda #0
    sta homeSel
:   jsr ShowSelection
    jmp @loop
@enter:
    jsr ClearIcons
    jsr ClearScreen
    jsr RunScreen
    jmp @redraw
.endproc

.proc ShowSelection
    lda homeSel
    clc
    adc #MENU_LINE
    jmp InvertLine
.endproc

; Calls the screen of the selected item; it returns with rts.
.proc RunScreen
    ldx homeSel
    lda screensHi,x
    pha
    lda screensLo,x
    pha
    rts
.endproc
