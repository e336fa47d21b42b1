; The text viewer of the Files screen: loads a text file's block chain,
; lays it out in lines of 26 cells (12 dot rows high when it has two-byte
; characters) and scrolls through it.
.include "rq4800.inc"
.include "files.inc"

.segment "BUFFERS"
lineTable:  .res MAX_LINES * 2

.segment "TEXTBUF"
textBuf:    .res TEXT_MAX

.segment "ZEROPAGE"
pos:        .res 2          ; text position
len:        .res 2          ; text length
textBase:   .res 2
col:        .res 1

.segment "BSS"
lineCount:  .res 2
topLine:    .res 2
drawing:    .res 1
blocksLeft: .res 1
viewLines:  .res 1          ; lines on one page of text
linePitch:  .res 1          ; dot rows per text line
titleRows:  .res 1          ; dot rows of the viewer's title bar: 8, or 12 for a two-byte name
titleDrop:  .res 1          ; the title's one-byte characters below its top
sawDouble:  .res 1
textCut:    .res 1          ; the text was longer than the buffer: only its start shows

.segment "CODE"

.proc OpenFile
    lda selected
    jsr EntryAddress
    ldy #E_FOLDER
    lda (entry),y
    cmp #1
    beq @notText            ; programs are not text
    cmp #3
    beq @notText            ; nor skins
    AT 0, 9
    PRINT "Reading..."
    jsr ClearToEol
    jsr LoadText
    jsr BuildLines
    jsr ChooseLayout
    lda #0
    sta topLine
    sta topLine+1
@draw:
    jsr DrawText
@keys:
    jsr GetKey
    cmp #KEY_ESC
    beq @done
    cmp #KEY_UP
    beq @up
    cmp #KEY_DOWN
    beq @down
    cmp #KEY_LEFT
    beq @pageUp
    cmp #KEY_PGUP
    beq @pageUp
    cmp #KEY_RIGHT
    beq @pageDown
    cmp #KEY_PGDN
    beq @pageDown
    bne @keys
@up:
    lda #1
    jsr ScrollBack
    jmp @draw
@down:
    lda #1
    jsr ScrollOn
    jmp @draw
@pageUp:
    lda viewLines
    jsr ScrollBack
    jmp @draw
@pageDown:
    lda viewLines
    jsr ScrollOn
    jmp @draw
@notText:
    AT 0, 9
    PRINT "Not a text file"
    jsr ClearToEol
    lda #250
    jsr WaitTicks
@done:
    rts
.endproc

; Text with two-byte characters gets lines of 12 dot rows for the 12 x 12
; font (when it is there), with the one-byte characters on the same baseline;
; so does the title when the name has them. As many whole lines as fit under
; the title make a page.
.proc ChooseLayout
    lda #8
    sta titleRows
    sta linePitch
    lda #0
    sta titleDrop
    sta asciiDrop
    lda gbkFont
    beq @text
    jsr NameHasDouble
    bcc @text
    lda #ROW_PITCH
    sta titleRows
    lda #CJK_DROP
    sta titleDrop
@text:
    lda sawDouble
    and gbkFont
    beq @fit
    lda #ROW_PITCH
    sta linePitch
    lda #CJK_DROP
    sta asciiDrop
@fit:
    lda #LCD_ROWS
    sec
    sbc titleRows
    ldx #0
@line:
    sec
    sbc linePitch
    bcc @fitted
    inx
    bne @line
@fitted:
    stx viewLines
    rts
.endproc

.proc ScrollBack
    sta tmp0
    lda topLine
    sec
    sbc tmp0
    sta topLine
    lda topLine+1
    sbc #0
    sta topLine+1
    bcs :+
    lda #0
    sta topLine
    sta topLine+1
:   rts
.endproc

; topLine += A, but never past the line that shows the last page.
.proc ScrollOn
    clc
    adc topLine
    sta topLine
    bcc :+
    inc topLine+1
:   lda lineCount           ; last top = lineCount - viewLines, at least 0
    sec
    sbc viewLines
    sta tmp0
    lda lineCount+1
    sbc #0
    sta tmp1
    bcs :+
    lda #0
    sta tmp0
    sta tmp1
:   lda topLine+1
    cmp tmp1
    bcc @ok
    bne @clamp
    lda topLine
    cmp tmp0
    bcc @ok
@clamp:
    lda tmp0
    sta topLine
    lda tmp1
    sta topLine+1
@ok:
    rts
.endproc

; Copies the file's block chain into textBuf (at most 16 KB) and sets
; textBase and len to the text inside it.
.proc LoadText
    jsr EntryFirstBlock
    lda #<textBuf
    sta ptr2
    lda #>textBuf
    sta ptr2+1
    lda #TEXT_MAX / 512
    sta blocksLeft
@block:
    lda blockNum+1
    cmp #>NO_BLOCK
    bne :+
    lda blockNum
    cmp #<NO_BLOCK
    beq @loaded
:   jsr ReadBlock
    ldx #2                  ; blockBuf to the text buffer, 512 bytes
    ldy #0
    lda #<blockBuf
    sta ptr1
    lda #>blockBuf
    sta ptr1+1
@copy:
    lda (ptr1),y
    sta (ptr2),y
    iny
    bne @copy
    inc ptr1+1
    inc ptr2+1
    dex
    bne @copy
    ; next = byte 0 + 256 * (byte 1 & 3) of the block's table entry
    lda blockNum
    sta tmp0
    lda blockNum+1
    sta tmp1
    asl tmp0
    rol tmp1
    lda tmp0
    clc
    adc blockNum
    sta tmp0
    lda tmp1
    adc blockNum+1
    sta tmp1
    lda tmp0
    clc
    adc #<blockTable
    sta ptr1
    lda tmp1
    adc #>blockTable
    sta ptr1+1
    ldy #0
    lda (ptr1),y
    sta blockNum
    iny
    lda (ptr1),y
    and #$03
    sta blockNum+1
    dec blocksLeft
    bne @block
@loaded:
    ; The text and how much of it arrived.
    lda ptr2
    sec
    sbc #<textBuf
    sta tmp0
    lda ptr2+1
    sbc #>textBuf
    sta tmp1                ; bytes loaded
    lda #<textBuf
    sta textBase
    lda #>textBuf
    sta textBase+1
    ldy #E_FOLDER
    lda (entry),y
    bne :+
    lda #<(textBuf + 5)     ; a text stream starts with 5 bytes of counts
    sta textBase
    lda tmp0
    sec
    sbc #5
    sta tmp0
    lda tmp1
    sbc #0
    sta tmp1
:   ldy #E_SIZE
    lda (entry),y
    sta len
    iny
    lda (entry),y
    sta len+1
    iny
    lda (entry),y
    bne @cut                ; 64 KB or more: certainly cut
    lda len+1
    cmp tmp1
    bcc @done
    bne @cut
    lda len
    cmp tmp0
    bcc @done
@cut:
    lda tmp0
    sta len
    lda tmp1
    sta len+1
    lda #1
    sta textCut
@done:
    rts
.endproc

; Finds where each screen line starts; lineCount lines, at most MAX_LINES.
.proc BuildLines
    lda #0
    sta pos
    sta pos+1
    sta lineCount
    sta lineCount+1
    sta drawing
    sta sawDouble
    lda #<lineTable
    sta ptr2
    lda #>lineTable
    sta ptr2+1
@line:
    jsr AtEnd
    bcs @done
    lda lineCount+1
    cmp #>MAX_LINES
    bcs @done
    ldy #0
    lda pos
    sta (ptr2),y
    iny
    lda pos+1
    sta (ptr2),y
    lda ptr2
    clc
    adc #2
    sta ptr2
    bcc :+
    inc ptr2+1
:   inc lineCount
    bne :+
    inc lineCount+1
:   jsr LayLine
    jmp @line
@done:
    rts
.endproc

; Carry set when pos has reached len.
.proc AtEnd
    lda pos+1
    cmp len+1
    bne @decided
    lda pos
    cmp len
@decided:
    rts
.endproc

; Byte at textBase + pos + Y.
.proc PeekText
    lda textBase
    clc
    adc pos
    sta ptr1
    lda textBase+1
    adc pos+1
    sta ptr1+1
    lda (ptr1),y
    rts
.endproc

.proc Advance
    inc pos
    bne :+
    inc pos+1
:   rts
.endproc

; Lays out one screen line from pos: up to 26 cells, ending after a line
; feed; carriage returns take no room. Draws it at the cursor when drawing
; is set. Leaves pos at the start of the next line.
.proc LayLine
    lda #0
    sta col
@char:
    jsr AtEnd
    bcs @done
    ldy #0
    jsr PeekText
    cmp #$0A
    beq @lineEnd
    cmp #$0D
    beq @skip
    cmp #$81
    bcs @double
    lda col
    cmp #TEXT_COLS
    bcs @done
    inc col
    lda drawing
    beq @skip
    lda lineY
    clc
    adc asciiDrop
    sta curY
    ldy #0
    jsr PeekText
    cmp #$09
    bne :+
    lda #' '
:   jsr PutChar
@skip:
    jsr Advance
    jmp @char
@double:
    lda #1
    sta sawDouble
    lda col
    clc
    adc #2
    cmp #TEXT_COLS + 1
    bcs @done
    sta col
    lda drawing
    beq @advance
    lda lineY
    sta curY
    ldy #1
    jsr PeekText
    tax                     ; the trail byte
    ldy #0
    jsr PeekText
    ldy asciiDrop
    bne :+
    jsr PutGbkBox           ; no font for it: a frame in the text's own layout
    jmp @advance
:   jsr PutGbk
@advance:
    jsr Advance
    jsr AtEnd
    bcs @done
    jmp @skip
@lineEnd:
    jsr Advance
@done:
    rts
.endproc

.proc DrawText
    jsr ClearScreen
    lda asciiDrop
    pha
    lda titleDrop
    sta asciiDrop
    lda #0
    sta lineY
    AT 0, 0
    lda #21
    jsr PutName
    lda titleDrop
    sta curY
    lda textCut
    beq :+
    PRINT " 16K+"
:   jsr ClearToEol
    lda #0
    ldx titleRows
    jsr InvertRows
    pla
    sta asciiDrop
    lda #1
    sta drawing
    lda #0
    sta viewLine
@line:
    ; line topLine + viewLine, if there is one
    lda topLine
    clc
    adc viewLine
    sta tmp4
    lda topLine+1
    adc #0
    sta tmp5
    cmp lineCount+1
    bcc @show
    bne @done
    lda tmp4
    cmp lineCount
    bcs @done
@show:
    asl tmp4
    rol tmp5
    lda tmp4
    clc
    adc #<lineTable
    sta ptr2
    lda tmp5
    adc #>lineTable
    sta ptr2+1
    ldy #0
    lda (ptr2),y
    sta pos
    iny
    lda (ptr2),y
    sta pos+1
    lda #2
    sta curX
    ldx viewLine            ; lineY = titleRows + viewLine * linePitch
    lda titleRows
@pitch:
    dex
    bmi :+
    clc
    adc linePitch
    bne @pitch
:   sta lineY
    sta curY
    jsr LayLine
    inc viewLine
    lda viewLine
    cmp viewLines
    bne @line
@done:
    lda #0
    sta drawing
    rts
.endproc
