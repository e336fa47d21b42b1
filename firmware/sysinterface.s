; The system interface for programs: a jump table at 0xFF00 in window 7,
; which every program sees whatever its banks. Byte 0xFF00 is the table's
; version, 0xFF01 its number of entries; entry n is a JMP at 0xFF04 + 3 * n.
; Each call switches to the firmware's own map (ROM page 0 in windows 4/5),
; does its work there and puts the program's map back, so the routines of
; the whole firmware serve it. Text the program passes is read in its own
; map, one character at a time, so it may sit in the program's banks.
; sdk/README.md lists the calls and their registers.
.include "rq4800.inc"

SYS_VERSION = 1

.import ProgramEnd, progBank, progBanks

.segment "ZEROPAGE"
sysPtr:   .res 2            ; the program's text or parameter block
sysCount: .res 1

.segment "BSS"
sysBank:  .res 1            ; the program's map while a call runs
sysPage:  .res 1
sysA:     .res 1
sysBlock: .res 7            ; a parameter block copied from the program

.segment "SYSTAB"
    .byte SYS_VERSION
    .byte (tableEnd - table) / 3
    .byte 0, 0
table:
    jmp ProgramEnd          ; 0  exit, A = status
    jmp SysClear            ; 1  clear the screen
    jmp SysMoveTo           ; 2  text cursor to dot X, row Y
    jmp SysPutChar          ; 3  A: one ASCII character, 6 x 8
    jmp SysPutText          ; 4  A/X: zero-terminated ASCII and GBK text
    jmp SysPutGbk           ; 5  A lead, X trail: one 12 x 12 character
    jmp SysInverse          ; 6  A: 0 dark on light, else light on dark
    jmp SysGetKey           ; 7  A: key code gone down since the last call, or 0xFF
    jmp SysScanKeys         ; 8  A/X: address of the eight key words
    jmp SysBeep             ; 9  A/X: {half period in 13-cycle units, half periods}
    jmp SysSpeech           ; 10 A/X: speech frames of 15 words, Y: frame count
    jmp SysSoundStop        ; 11 silence
    jmp SysClock            ; 12 A/X: address of the clock bytes
    jmp SysTicks            ; 13 A, X, Y: ticks since start (250 a second)
    jmp SysReadBank         ; 14 A/X: {bank, offset, destination, length}
tableEnd:

.segment "KERNEL"

; To the firmware's map and back; A, X and Y pass unchanged.
.proc ToRom
    sta sysA
    lda BANK
    sta sysBank
    lda PAGE_CTRL
    sta sysPage
    lda #0
    sta PAGE_CTRL
    sta BANK
    lda sysA
    rts
.endproc

.proc FromRom
    sta sysA
    lda sysBank
    sta BANK
    lda sysPage
    sta PAGE_CTRL
    lda sysA
    rts
.endproc

.proc SysClear
    jsr ToRom
    jsr ClearScreen
    jmp FromRom
.endproc

.proc SysMoveTo
    stx curX
    sty curY
    rts
.endproc

.proc SysPutChar
    jsr ToRom
    jsr PutChar
    jmp FromRom
.endproc

.proc SysPutGbk
    jsr ToRom
    jsr PutGbk
    jmp FromRom
.endproc

.proc SysInverse
    cmp #0
    beq :+
    lda #$FC
:   sta inverse
    rts
.endproc

.proc SysPutText
    sta sysPtr
    stx sysPtr+1
@next:
    ldy #0
    lda (sysPtr),y
    beq @done
    cmp #$81
    bcs @double
    jsr SysPutChar
    lda #1
    bne @advance
@double:
    iny
    lda (sysPtr),y
    beq @done               ; a lead byte without its trail ends the text
    tax
    dey
    lda (sysPtr),y
    jsr SysPutGbk
    lda #2
@advance:
    clc
    adc sysPtr
    sta sysPtr
    bcc @next
    inc sysPtr+1
    bne @next
@done:
    rts
.endproc

.proc SysGetKey
    jsr ToRom
    jsr GetKey
    jmp FromRom
.endproc

.proc SysScanKeys
    jsr ToRom
    jsr ScanKeys
    jsr FromRom
    lda #<keyWords
    ldx #>keyWords
    rts
.endproc

; Copies the parameter block at A/X (Y bytes) from the program's map.
.proc CopyBlock
    sta sysPtr
    stx sysPtr+1
    dey
@byte:
    lda (sysPtr),y
    sta sysBlock,y
    dey
    bpl @byte
    rts
.endproc

.proc SysBeep
    ldy #4
    jsr CopyBlock
    jsr ToRom
    lda sysBlock
    ldx sysBlock+1
    ldy sysBlock+2
    sty toneCount
    ldy sysBlock+3
    sty toneCount+1
    jsr BeepTone
    jmp FromRom
.endproc

; Frames of 15 command words go to the speech decoder as it has room.
.proc SysSpeech
    sta sysPtr
    stx sysPtr+1
    sty sysCount
    tya
    beq @done
    lda #$40
    sta SOUND_CTRL          ; frame mode, empty history
@frame:
    jsr ToRom
    jsr WaitRoom
    jsr FromRom
    bcs @done               ; nothing takes the samples
    ldy #0
@word:
    lda (sysPtr),y
    sta SOUND_LO
    iny
    lda (sysPtr),y
    sta SOUND_HI
    iny
    cpy #30
    bne @word
    lda sysPtr
    clc
    adc #30
    sta sysPtr
    bcc :+
    inc sysPtr+1
:   dec sysCount
    bne @frame
@done:
    rts
.endproc

.proc SysSoundStop
    jsr ToRom
    jsr SoundStop
    jmp FromRom
.endproc

.proc SysClock
    lda #<CLOCK_HOUR
    ldx #>CLOCK_HOUR
    rts
.endproc

.proc SysTicks
    php
    sei
    lda tickTotal
    ldx tickTotal+1
    ldy tickHigh
    plp
    rts
.endproc

; Copies bytes of one of the program's banks into RAM: the block is the
; bank (0 = the first), the offset in it, the destination (RAM below
; 0x4000) and the length. Anything outside the program or outside that RAM
; is refused: carry set, nothing copied.
.proc SysReadBank
    ldy #7
    jsr CopyBlock
    lda sysBlock
    cmp progBanks
    bcs @refuse
    ; offset + length must stay within the bank's 32 KB
    lda sysBlock+1
    clc
    adc sysBlock+5
    lda sysBlock+2
    adc sysBlock+6
    bcs @refuse
    cmp #$80
    bcc :+
    bne @refuse
    lda sysBlock+1
    clc
    adc sysBlock+5
    bne @refuse
:   ; destination + length within the LCD and the program's RAM,
    ; 0x09C0..0x3FFF
    lda sysBlock+4
    cmp #$09
    bcc @refuse
    bne :+
    lda sysBlock+3
    cmp #$C0
    bcc @refuse
:
    lda sysBlock+3
    clc
    adc sysBlock+5
    lda sysBlock+4
    adc sysBlock+6
    bcs @refuse
    cmp #$40
    bcc @fits
    bne @refuse
    lda sysBlock+3
    clc
    adc sysBlock+5
    beq @fits
@refuse:
    sec
    rts
@fits:
    ; Where the offset shows in flash mode: bank offset 0x0000..0x3FFF at
    ; 0x8000, 0x4000..0x7FFF at 0x4000.
    lda sysBlock+1
    sta ptr0
    lda sysBlock+2
    cmp #$40
    bcs :+
    ora #$80
:   sta ptr0+1
    lda sysBlock+3
    sta ptr1
    lda sysBlock+4
    sta ptr1+1
    lda sysBlock+5
    sta tmp0
    lda sysBlock+6
    sta tmp1
    lda sysBlock
    clc
    adc progBank
    jsr ToRom
    ldx #$80
    jsr CopyAcross
    jsr FromRom
    clc
    rts
.endproc

; FlashCopy for a range that may run from the bank's first half (0x8000..
; 0xBFFF) into its second (0x4000..0x7FFF): copied in two parts.
.proc CopyAcross
    sta sysCount
    stx sysA
    lda ptr0+1
    cmp #$80
    bcc @whole              ; starts in the second half: stays there
    ; bytes left in the first half: 0xC000 - ptr0
    sec
    lda #0
    sbc ptr0
    sta tmp2
    lda #$C0
    sbc ptr0+1
    sta tmp3
    lda tmp1
    cmp tmp3
    bcc @whole
    bne @split
    lda tmp0
    cmp tmp2
    bcc @whole
    beq @whole
@split:
    ; first part: tmp3/tmp2 bytes, then the rest from 0x4000
    lda tmp0
    sec
    sbc tmp2
    sta tmp4
    lda tmp1
    sbc tmp3
    sta tmp5
    lda tmp2
    sta tmp0
    lda tmp3
    sta tmp1
    lda sysCount
    ldx sysA
    jsr FlashCopy           ; leaves ptr1 past the part copied (pages)
    lda ptr1
    clc
    adc tmp0
    sta ptr1
    bcc :+
    inc ptr1+1
:   lda #0
    sta ptr0
    lda #$40
    sta ptr0+1
    lda tmp4
    sta tmp0
    lda tmp5
    sta tmp1
@whole:
    lda sysCount
    ldx sysA
    jmp FlashCopy
.endproc
