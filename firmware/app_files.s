; Files: lists the files of the folders "txt ", "bin ", "bas " and "udf "
; with name and size (read by files_read.s); Enter opens a text file in the
; viewer (app_viewer.s) or starts a program (launcher.s).
.include "rq4800.inc"
.include "files.inc"

.segment "ZEROPAGE"
entry:      .res 2

.segment "BSS"
selected:   .res 1
firstShown: .res 1
viewLine:   .res 1
asciiDrop:  .res 1          ; dot rows a one-byte character sits below the line's top
lineY:      .res 1

.segment "RODATA"
folderTags:  .byte "txtbinbasudf"

.segment "CODE"

.proc FileBrowser
    jsr LoadFiles
    lda #0
    sta selected
    sta firstShown
@redraw:
    jsr ClearScreen
    jsr DrawList
@loop:
    jsr TakeLaunchRequest
    bcs @program
    jsr GetKey
    cmp #KEY_ESC
    beq @exit
    ldx fileCount
    beq @loop
    cmp #KEY_UP
    beq @up
    cmp #KEY_DOWN
    beq @down
    cmp #KEY_ENTER
    bne @loop
    lda selected
    jsr EntryAddress
    ldy #E_FOLDER
    lda (entry),y
    cmp #1
    beq @program
    jsr OpenFile
    jmp @redraw
@program:
    ; The program uses the list's buffers as its RAM: read them again after.
    jsr RunProgram
    jsr LoadFiles
    lda selected
    cmp fileCount
    bcc @redraw
    lda #0
    sta selected
    sta firstShown
    jmp @redraw
@up:
    lda selected
    beq @loop
    dec selected
    lda selected
    cmp firstShown
    bcs @redrawList
    sta firstShown
    jmp @redrawList
@down:
    lda selected
    clc
    adc #1
    cmp fileCount
    bcs @loop
    sta selected
    sec
    sbc firstShown
    cmp #LIST_LINES
    bcc @redrawList
    inc firstShown
@redrawList:
    jsr DrawList
    jmp @loop
@exit:
    rts
.endproc

; Carry set when the host has asked for a program start: the last program
; of the list is then selected, shown and in `entry`.
.proc TakeLaunchRequest
    lda LAUNCH_REQUEST
    cmp #LAUNCH_MARK
    bne @none
    lda #0
    sta LAUNCH_REQUEST
    ldx fileCount
@find:
    dex
    cpx #$FF
    beq @none
    txa
    pha
    jsr EntryAddress
    pla
    tax
    ldy #E_FOLDER
    lda (entry),y
    cmp #1
    bne @find
    stx selected
    txa
    sec
    sbc #LIST_LINES - 1
    bcs :+
    lda #0
:   sta firstShown
    jsr DrawList
    lda selected
    jsr EntryAddress
    sec
    rts
@none:
    clc
    rts
.endproc

; ---- the list ------------------------------------------------------------

.proc DrawList
    AT 0, 0
    PRINT "Files "
    lda fileCount
    sta num
    lda #0
    sta num+1
    jsr PutDec16
    jsr ClearToEol
    lda #0
    jsr InvertLine
    lda fileCount
    bne @entries
    AT 0, 2
    PRINT "No files in the folders"
    AT 0, 3
    PRINT "txt, bin, bas and udf"
    jmp @hint
@entries:
    lda #0
    sta viewLine
@line:
    jsr ListRowY
    lda viewLine
    clc
    adc firstShown
    cmp fileCount
    bcs @blank
    jsr DrawEntry
    jmp @next
@blank:
    jsr ClearListRow
@next:
    inc viewLine
    lda viewLine
    cmp #LIST_LINES
    bne @line
    lda selected
    sec
    sbc firstShown
    sta viewLine
    jsr ListRowY
    ldx #ROW_PITCH
    jsr InvertRows
@hint:
    AT 0, 9
    PRINT "Enter: open  Esc: back"
    jmp ClearToEol
.endproc

; lineY (and A) = the top dot row of list row viewLine.
.proc ListRowY
    lda viewLine
    asl
    clc
    adc viewLine
    asl
    asl
    clc
    adc #LIST_TOP
    sta lineY
    rts
.endproc

.proc ClearListRow
    lda lineY
    sta tmp0
    lda #ROW_PITCH
    sta tmp1
    jmp ClearRows
.endproc

; The cursor to character column X of the list row at lineY, on the row's
; one-byte baseline.
.proc ListCursor
    ldy #0
    jsr SetCursor
    lda lineY
    clc
    adc #CJK_DROP
    sta curY
    rts
.endproc

; Entry A on the list row at lineY: folder, name, size.
.proc DrawEntry
    pha
    jsr ClearListRow
    pla
    jsr EntryAddress
    lda #CJK_DROP
    sta asciiDrop
    ldx #0
    jsr ListCursor
    ldy #E_FOLDER
    lda (entry),y
    sta tmp0
    asl
    adc tmp0
    tax
    lda folderTags,x
    jsr PutChar
    lda folderTags+1,x
    jsr PutChar
    lda folderTags+2,x
    jsr PutChar
    lda #' '
    jsr PutChar
    lda #NAME_CELLS
    jsr PutName
    ldx #20
    jsr ListCursor
    ldy #E_SIZE
    lda (entry),y
    sta num
    iny
    lda (entry),y
    sta num+1
    iny
    lda (entry),y
    sta num+2
    lda #6
    jmp PutDec24
.endproc

; The entry's name in at most A cells, padded with spaces, on the line whose
; top is lineY. A two-byte character (lead byte 0x81 or above) takes two
; cells and 12 rows from lineY; one-byte characters sit asciiDrop rows lower.
; BASIC names are GBK, text and skin names Big5.
.proc PutName
    sta tmp6
    ldy #E_NAME
@char:
    lda lineY
    clc
    adc asciiDrop
    sta curY
    lda (entry),y
    beq @pad
    cmp #$81
    bcc @single
    lda tmp6
    cmp #2
    bcc @pad
    iny
    lda (entry),y
    beq @pad                ; a lead byte without its trail ends the name
    tax
    dey
    sty tmp7
    lda lineY
    sta curY
    lda (entry),y
    jsr PutNameChar
    ldy tmp7
    iny
    iny
    dec tmp6
    dec tmp6
    bne @char
    rts
@single:
    lda tmp6
    beq @done
    lda (entry),y
    jsr PutChar
    iny
    dec tmp6
    bne @char
@done:
    rts
@pad:
    lda tmp6
    jmp PutSpaces
.endproc

; Two-byte character A (lead), X (trail) of the entry's name, in its folder's
; code: GBK for "bas ", Big5 for the others.
.proc PutNameChar
    pha
    sty tmp5
    ldy #E_FOLDER
    lda (entry),y
    ldy tmp5
    cmp #2
    beq @gbk
    cmp #1
    beq @gbk                ; program names are GBK too
    pla
    jmp PutBig5
@gbk:
    pla
    jmp PutGbk
.endproc

; Carry set when the entry's name has a two-byte character.
.proc NameHasDouble
    ldy #E_NAME
@byte:
    lda (entry),y
    beq @none
    cmp #$81
    bcs @done
    iny
    bne @byte
@none:
    clc
@done:
    rts
.endproc
