; The program launcher. A ".bin" file of folder "bin " is a program when the
; first bytes of its first bank hold the program header (sdk/README.md):
;   0  "RQPG"       4  format version (1)      5  banks the program spans
;   6  entry        8  RAM it needs from 0x1000
;   10 0: runs in place from the flash, 1: loaded into RAM at 0x1000
;   12 bytes loaded (RAM programs)             16 name, 16 bytes
; A program in place runs in flash mode with its first bank in windows 2..5
; (bank offset 0 at 0x8000, 0x4000 at 0x4000), its data in RAM 0x1000..
; 0x3FFF. A RAM program gets 0x1000..0x7FFF, its image copied to 0x1000,
; and runs with the firmware's map. Both have the zero page 0xB0..0xFF and
; the firmware's stack. A program ends by returning, by the system
; interface's exit, or when the user holds Esc and Enter; the launcher then
; puts the machine back as the Files screen needs it.
.include "rq4800.inc"
.include "files.inc"

HEADER_SIZE   = 32
FORMAT_VERSION = 1
PROGRAM_RAM   = $1000       ; the program's RAM: 0x1000..0x3FFF
PROGRAM_RAM_SIZE = $3000
LOADED_RAM_SIZE = $7000     ; a RAM program's: 0x1000..0x7FFF
MODE_IN_PLACE = 0
MODE_IN_RAM   = 1
PROGRAM_ZP    = $B0
; Status of a program entry (byte E_STATUS of the list entry).
PROG_OK       = 0
PROG_NO_MAGIC = 1
PROG_VERSION  = 2
PROG_BANKS    = 3
PROG_ENTRY    = 4
PROG_RAM      = 5

.export ProgramEnd, programRunning, lastExit, launchSp
.export progBank, progBanks

.segment "BSS"
launchSp:       .res 1      ; the stack pointer to return to
programRunning: .res 1      ; a program has the machine: the IRQ watches Esc+Enter
lastExit:       .res 1      ; the exit status of the last program
progBank:       .res 1      ; flash page of the program's first bank
progBanks:      .res 1      ; banks it spans
progEntry:      .res 2
progMode:       .res 1

.segment "BSS2"
bounce:         .res 256    ; a RAM program's image passes through here

.segment "RODATA"
magic: .byte "RQPG"
problems:
    .addr noMagic, wrongVersion, banksMissing, badEntry, tooMuchRam
noMagic:      .asciiz "Not a program (no header)"
wrongVersion: .asciiz "Program format unknown"
banksMissing: .asciiz "Program banks missing"
badEntry:     .asciiz "Program entry invalid"
tooMuchRam:   .asciiz "Program needs too much RAM"

.segment "CODE"

; Reads the header of the program whose first block is blockNum and whose
; file record gives A banks into nameBuf. A = its status (PROG_OK ...).
.proc CheckProgram
    sta tmp4
    lda blockNum+1          ; bank = block / 64
    sta tmp5
    lda blockNum
    asl
    rol tmp5
    asl
    rol tmp5
    lda #0
    sta ptr0
    lda #$80                ; bank offset 0 shows at 0x8000
    sta ptr0+1
    lda #<nameBuf
    sta ptr1
    lda #>nameBuf
    sta ptr1+1
    lda #HEADER_SIZE
    sta tmp0
    lda #0
    sta tmp1
    lda tmp5
    ldx #$80
    jsr FlashCopy
    ldx #3
@magic:
    lda nameBuf,x
    cmp magic,x
    bne @noMagic
    dex
    bpl @magic
    lda nameBuf+4
    cmp #FORMAT_VERSION
    bne @version
    lda nameBuf+10
    cmp #MODE_IN_RAM + 1
    bcs @version
    ; All the banks it spans must belong to the file and exist.
    lda nameBuf+5
    beq @banks
    cmp tmp4
    beq :+
    bcs @banks
:   clc
    adc tmp5
    cmp #17
    bcs @banks
    jsr BanksInUse
    bcc @banks
    lda nameBuf+10
    bne @inRam
    ; Its entry must be in the bank's view: 0x4000..0xBFFF.
    lda nameBuf+7
    cmp #$40
    bcc @entry
    cmp #$C0
    bcs @entry
    ; Its RAM within 0x1000..0x3FFF.
    lda nameBuf+9
    cmp #>PROGRAM_RAM_SIZE
    bcc @ok
    bne @ram
    lda nameBuf+8
    bne @ram
    beq @ok
@inRam:
    ; Entry, RAM and image within 0x1000..0x7FFF.
    lda nameBuf+7
    cmp #$10
    bcc @entry
    cmp #$80
    bcs @entry
    lda nameBuf+9
    cmp #>LOADED_RAM_SIZE
    bcc :+
    bne @ram
    lda nameBuf+8
    bne @ram
:   lda nameBuf+13
    cmp #>LOADED_RAM_SIZE
    bcc @ok
    bne @ram
    lda nameBuf+12
    bne @ram
@ok:
    lda #PROG_OK
    rts
@noMagic:
    lda #PROG_NO_MAGIC
    rts
@version:
    lda #PROG_VERSION
    rts
@banks:
    lda #PROG_BANKS
    rts
@entry:
    lda #PROG_ENTRY
    rts
@ram:
    lda #PROG_RAM
    rts
.endproc

; Carry set when the first block of each bank the program spans (from bank
; tmp5) is in use in the block table: a bank whose blocks are free has been
; given up and may hold anything.
.proc BanksInUse
    lda #<blockTable
    sta ptr2
    lda #>blockTable
    sta ptr2+1
    ldx tmp5
    beq @check
@skip:
    jsr NextBank
    dex
    bne @skip
@check:
    ldx nameBuf+5
@bank:
    ldy #2
@byte:
    lda (ptr2),y
    cmp #$FF
    bne @used
    dey
    bpl @byte
    clc                     ; all three bytes 0xFF: free
    rts
@used:
    jsr NextBank
    dex
    bne @bank
    sec
    rts
NextBank:                   ; 64 blocks of 3 bytes on
    lda ptr2
    clc
    adc #192
    sta ptr2
    bcc :+
    inc ptr2+1
:   rts
.endproc

; Starts the program of list entry `entry` (whose first block is E_FIRST and
; whose status CheckProgram gave). An invalid one is only named as such.
.proc RunProgram
    jsr CheckEntry
    cmp #PROG_OK
    beq @valid
    pha
    AT 0, 9
    pla
    sec
    sbc #1
    asl
    tax
    lda problems,x
    pha
    lda problems+1,x
    tax
    pla
    jsr PutString
    jsr ClearToEol
    lda #250
    jmp WaitTicks
@valid:
    lda tmp5
    sta progBank
    lda nameBuf+5
    sta progBanks
    lda nameBuf+6
    sta progEntry
    lda nameBuf+7
    sta progEntry+1
    lda nameBuf+10
    sta progMode
    lda nameBuf+12
    sta tmp6
    lda nameBuf+13
    sta tmp7
    ; A clean machine for it: its RAM and zero page cleared, the screen
    ; empty, no sound, the key paths off.
    lda #<PROGRAM_RAM
    sta ptr0
    lda #>PROGRAM_RAM
    sta ptr0+1
    lda #0
    ldx #>PROGRAM_RAM_SIZE
    ldy progMode
    beq :+
    ldx #>LOADED_RAM_SIZE
:   ldy #0
@clear:
    sta (ptr0),y
    iny
    bne @clear
    inc ptr0+1
    dex
    bne @clear
    ldx #PROGRAM_ZP
@zp:
    sta $00,x
    inx
    bne @zp
    sta lastExit
    lda progMode
    beq :+
    jsr LoadImage
:   jsr SoundStop
    jsr ClearIcons
    jsr ClearScreen
    AT 0, 0
    lda #0
    sta inverse
    jmp StartProgram
.endproc

; Copies tmp7/tmp6 bytes (whole pages, rounded up) of a RAM program's
; image to 0x1000 onwards, a page at a time through the bounce buffer: the
; flash and RAM 0x4000..0x7FFF are never in view together.
.proc LoadImage
    lda #0
    sta tmp4                ; image offset, high byte
    lda tmp6
    beq :+
    inc tmp7
:
@page:
    lda tmp4
    cmp tmp7
    bcs @done
    lda #0
    sta ptr0
    sta tmp0
    lda tmp4
    cmp #$40
    bcs :+
    ora #$80                ; the bank's first half shows at 0x8000
:   sta ptr0+1
    lda #<bounce
    sta ptr1
    lda #>bounce
    sta ptr1+1
    lda #1
    sta tmp1
    lda progBank
    ldx #$80
    jsr FlashCopy
    lda tmp4
    clc
    adc #>PROGRAM_RAM
    sta ptr1+1
    lda #0
    sta ptr1
    ldy #0
@byte:
    lda bounce,y
    sta (ptr1),y
    iny
    bne @byte
    inc tmp4
    bne @page
@done:
    rts
.endproc

.segment "KERNEL"

; Maps the program and calls its entry; returns when it has ended. Here in
; window 7, which stays in view while windows 2..5 show the flash.
.proc StartProgram
    tsx
    stx launchSp
    lda #1
    sta programRunning
    cld
    lda progMode
    bne :+                  ; a RAM program keeps the firmware's map
    lda #$80
    sta PAGE_CTRL           ; flash mode, window 6 keeps page 0
    lda progBank
    sta BANK
:   jsr @call
    lda #0                  ; returned: exit status 0
    jmp ProgramEnd
@call:
    jmp (progEntry)
.endproc

; The end of a program, however it ended: exit status A. The stack goes back
; to where StartProgram was called from, the machine to the firmware's map
; and settings.
.proc ProgramEnd
    sei
    cld
    sta lastExit
    ldx launchSp
    txs
    lda #0
    sta PAGE_CTRL
    sta BANK
    sta programRunning
    sta ZP_CTRL
    sta KEY_EXTRA
    sta BEEP_MUTE
    sta INT_STATUS          ; every interrupt source enabled
    lda #$0F
    sta TIMERA_STOP         ; the tick source on
    lda TIMERA_STOP         ; both timers stopped
    lda TIMERB_STOP
    jsr SoundStop
    cli
    jsr ClearIcons
    jsr GetKey              ; keys still held are not new presses on return
    rts
.endproc
