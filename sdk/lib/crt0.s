; Start-up code of a C program: the program header the launcher reads, then
; the C stack, the initialised data copied into RAM, BSS cleared, the
; constructors, main, the destructors and the way back to the launcher.
        .export         _exit
        .export         __STARTUP__ : absolute = 1
        .import         initlib, donelib, copydata, zerobss, callmain
        .import         __MAIN_START__, __MAIN_SIZE__, __STACKSIZE__
        .import         __BANKS__, __LOADMODE__, __BSS_RUN__
        .include        "zeropage.inc"
        .include        "rq4800.inc"

.segment "HEADER"
header: .byte   "RQPG"          ; magic
        .byte   1               ; format version
        .byte   <__BANKS__      ; banks the program spans
        .addr   start           ; entry
        .word   __MAIN_START__ + __MAIN_SIZE__ + __STACKSIZE__ - $1000 ; RAM from 0x1000
        .byte   <__LOADMODE__   ; 0 runs in place, 1 is loaded into RAM
        .byte   0
        .word   (__BSS_RUN__ - header) & $FFFF ; bytes loaded (RAM programs)
        .res    2, 0

.segment "STARTUP"
start:
        cld
        lda     #<(__MAIN_START__ + __MAIN_SIZE__ + __STACKSIZE__)
        ldx     #>(__MAIN_START__ + __MAIN_SIZE__ + __STACKSIZE__)
        sta     sp
        stx     sp+1
        jsr     copydata
        jsr     zerobss
        jsr     initlib
        jsr     callmain        ; main's result in A/X
_exit:  pha                     ; exit(status) arrives here too, status in A/X
        jsr     donelib
        pla
        jmp     SYS_EXIT
