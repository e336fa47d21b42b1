; Files: reads the device's flash file system and lists the files of the
; folders "txt ", "bin ", "bas " and "udf " with name and size; Enter opens
; a text file and shows it with scrolling.
;
; On the flash (1024 blocks of 512 bytes, block b at image offset b * 512):
;   core area at 0x4000 when that byte is '*', else at 0x6000
;     +0x400   block table, 3 bytes a block: bits 0..9 the next block (1023: none)
;     +0x1000  folder directory, 16-byte records until status 0xFF:
;              name at 1..4, index block at 8 (bits 0..9; 0xFFFF: none)
;   folder index block: up to 32 file records of 16 bytes until status 0xFF:
;              5 type, 6 size word (text: size + 7; program: byte 6 = banks),
;              8 first block, 10 name block (0xFFFF: none)
;   name block: the name from offset 3 (text: up to 31 bytes, ended by 0xFF
;              or spaces; others: 16 bytes with the extension)
;   text stream: line count, row count, 0x0A, the text, 0xFF 0xFF
.include "rq4800.inc"

MAX_FILES   = 128
ENTRY_SIZE  = 32
; The list: rows of 12 dots, tall enough for the 12 x 12 font, between the
; title line and the hint line.
LIST_TOP    = 9             ; dot row of the first list row
ROW_PITCH   = 12
LIST_LINES  = 5
NAME_CELLS  = 15
; One-byte characters beside 12 x 12 ones sit this many rows down, on the
; same baseline.
CJK_DROP    = 4
TEXT_MAX    = $4000
MAX_LINES   = 1024
NO_BLOCK    = 1023
TYPE_PROGRAM = 6

; An entry of the file list.
E_FOLDER = 0                ; 0 txt, 1 bin, 2 bas, 3 udf
E_SIZE   = 1                ; 24 bits
E_FIRST  = 4                ; first block, 16 bits
E_NAME   = 8                ; up to 23 bytes and a zero

.segment "BUFFERS"
blockTable: .res 3072
directory:  .res 2048
blockBuf:   .res 512
nameBuf:    .res 64
fileList:   .res MAX_FILES * ENTRY_SIZE
lineTable:  .res MAX_LINES * 2

.segment "TEXTBUF"
textBuf:    .res TEXT_MAX

.segment "ZEROPAGE"
entry:      .res 2          ; the list entry being filled or shown
rec:        .res 2          ; the record being read
pos:        .res 2          ; text position
len:        .res 2          ; text length
textBase:   .res 2
col:        .res 1

.segment "BSS"
coreHi:     .res 1          ; high byte of the core area's address
fileCount:  .res 1
folderIdx:  .res 1
dirIndex:   .res 1
recIndex:   .res 1
selected:   .res 1
firstShown: .res 1
lineCount:  .res 2
topLine:    .res 2
drawing:    .res 1
blockNum:   .res 2
blocksLeft: .res 1
viewLine:   .res 1
viewLines:  .res 1          ; lines on one page of text
linePitch:  .res 1          ; dot rows per text line
titleRows:  .res 1          ; dot rows of the viewer's title bar: 8, or 12 for a two-byte name
titleDrop:  .res 1          ; the title's one-byte characters below its top
asciiDrop:  .res 1          ; dot rows a one-byte character sits below the line's top
lineY:      .res 1
sawDouble:  .res 1
textCut:    .res 1          ; the text was longer than the buffer: only its start shows

.segment "RODATA"
folderNames: .byte "txt bin bas udf "
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
    jsr OpenFile
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

; ---- reading the file system ---------------------------------------------

; A = page, ptr0 = address of block blockNum in flash mode.
.proc BlockAddress
    lda blockNum            ; offset in the page = (block & 63) * 512
    and #63
    asl
    cmp #$40
    bcs :+
    ora #$80                ; the page's first half shows at 0x8000
:   sta ptr0+1
    lda #0
    sta ptr0
    lda blockNum+1          ; page = block / 64
    sta tmp0
    lda blockNum
    asl
    rol tmp0
    asl
    rol tmp0
    lda tmp0
    rts
.endproc

; Copies block blockNum of the flash to blockBuf.
.proc ReadBlock
    jsr BlockAddress
    pha
    lda #<blockBuf
    sta ptr1
    lda #>blockBuf
    sta ptr1+1
    lda #0
    sta tmp0
    lda #2
    sta tmp1
    pla
    ldx #$80
    jmp FlashCopy
.endproc

.proc LoadFiles
    lda #0
    sta fileCount
    ; Where is the core area?
    lda #$40
    sta ptr0+1
    lda #0
    sta ptr0
    lda #<nameBuf
    sta ptr1
    lda #>nameBuf
    sta ptr1+1
    lda #1
    sta tmp0
    lda #0
    sta tmp1
    ldx #$80
    jsr FlashCopy
    lda #$60
    ldx nameBuf
    cpx #'*'
    bne :+
    lda #$40
:   sta coreHi
    ; Its block table and folder directory.
    clc
    adc #$04
    sta ptr0+1
    lda #0
    sta ptr0
    sta tmp0
    lda #<blockTable
    sta ptr1
    lda #>blockTable
    sta ptr1+1
    lda #>3072
    sta tmp1
    lda #0
    ldx #$80
    jsr FlashCopy
    lda coreHi
    clc
    adc #$10
    sta ptr0+1
    lda #0
    sta ptr0
    sta tmp0
    lda #<directory
    sta ptr1
    lda #>directory
    sta ptr1+1
    lda #>2048
    sta tmp1
    lda #0
    ldx #$80
    jsr FlashCopy
    ; Every folder of interest, in the order of the list.
    lda #0
    sta folderIdx
@folder:
    jsr FindFolder
    bcc :+
    jsr ReadFolder
:   inc folderIdx
    lda folderIdx
    cmp #4
    bne @folder
    rts
.endproc

; Looks up folder folderIdx in the directory; carry set and blockNum = its
; index block when it is there and has one.
.proc FindFolder
    lda #<directory
    sta rec
    lda #>directory
    sta rec+1
    lda #0
    sta dirIndex
@record:
    ldy #0
    lda (rec),y
    cmp #$FF
    beq @none
    lda folderIdx
    asl
    asl
    tax
    ldy #1
@name:
    lda (rec),y
    cmp folderNames,x
    bne @next
    inx
    iny
    cpy #5
    bne @name
    ldy #8
    lda (rec),y
    sta blockNum
    iny
    lda (rec),y
    cmp #$FF
    bne @found
    lda blockNum
    cmp #$FF
    beq @none
@found:
    lda (rec),y
    and #$03
    sta blockNum+1
    sec
    rts
@next:
    lda rec
    clc
    adc #16
    sta rec
    bcc :+
    inc rec+1
:   inc dirIndex
    lda dirIndex
    cmp #128
    bne @record
@none:
    clc
    rts
.endproc

; Adds the files of the index block blockNum to the list.
.proc ReadFolder
    jsr ReadBlock
    lda #0
    sta recIndex
@record:
    lda recIndex
    asl
    asl
    asl
    asl
    sta rec
    lda #0
    rol
    sta rec+1               ; recIndex < 32: the carry of the fourth shift
    lda recIndex
    cmp #16
    bcc :+
    lda #1
    sta rec+1
:   lda rec
    clc
    adc #<blockBuf
    sta rec
    lda rec+1
    adc #>blockBuf
    sta rec+1
    ldy #0
    lda (rec),y
    cmp #$FF
    beq @done
    cmp #0
    beq @next
    lda fileCount
    cmp #MAX_FILES
    bcs @done
    jsr AddEntry
@next:
    inc recIndex
    lda recIndex
    cmp #32
    bne @record
@done:
    rts
.endproc

; entry = fileList + A * 32.
.proc EntryAddress
    sta entry
    lda #0
    sta entry+1
    ldx #5
@shift:
    asl entry
    rol entry+1
    dex
    bne @shift
    lda entry
    clc
    adc #<fileList
    sta entry
    lda entry+1
    adc #>fileList
    sta entry+1
    rts
.endproc

; Fills the next list entry from the file record at rec.
.proc AddEntry
    lda fileCount
    jsr EntryAddress
    inc fileCount
    ldy #E_FOLDER
    lda folderIdx
    sta (entry),y
    ; First block.
    ldy #8
    lda (rec),y
    pha
    iny
    lda (rec),y
    and #$03
    ldy #E_FIRST+1
    sta (entry),y
    dey
    pla
    sta (entry),y
    ; Size.
    ldy #5
    lda (rec),y
    cmp #TYPE_PROGRAM
    bne @words
    ldy #6                  ; whole banks of 32 KB
    lda (rec),y
    lsr
    ldy #E_SIZE+2
    sta (entry),y
    lda #0
    ror
    ldy #E_SIZE+1
    sta (entry),y
    lda #0
    ldy #E_SIZE
    sta (entry),y
    jmp @name
@words:
    ldy #6
    lda (rec),y
    sta tmp0
    iny
    lda (rec),y
    sta tmp1
    lda folderIdx
    bne @store              ; only a text's size word counts its 7-byte frame
    lda tmp0
    sec
    sbc #7
    sta tmp0
    lda tmp1
    sbc #0
    sta tmp1
    bcs @store
    lda #0
    sta tmp0
    sta tmp1
@store:
    ldy #E_SIZE
    lda tmp0
    sta (entry),y
    iny
    lda tmp1
    sta (entry),y
    iny
    lda #0
    sta (entry),y
@name:
    ldy #11
    lda (rec),y
    cmp #$FF
    beq @numbered
    and #$03
    sta blockNum+1
    dey
    lda (rec),y
    sta blockNum
    jmp ReadName
@numbered:
    ; A program has no name block: it is known by its sequence number.
    ldy #E_NAME
    ldx #0
@prefix:
    lda programName,x
    sta (entry),y
    iny
    inx
    cpx #8
    bne @prefix
    lda #1
    sta tmp0
@digits:
    sty tmp1
    ldy tmp0
    lda (rec),y
    ldy tmp1
    sta (entry),y
    iny
    inc tmp0
    lda tmp0
    cmp #5
    bne @digits
    lda #0
    sta (entry),y
    rts
programName: .byte "PROGRAM "
.endproc

; Copies the name of name block blockNum into the entry: from offset 3, up
; to 31 bytes (16 for the folders other than "txt "), ending at 0xFF or 0,
; trailing spaces dropped, at most 23 bytes kept.
.proc ReadName
    jsr BlockAddress
    pha
    lda #<nameBuf
    sta ptr1
    lda #>nameBuf
    sta ptr1+1
    lda #40
    sta tmp0
    lda #0
    sta tmp1
    pla
    ldx #$80
    jsr FlashCopy
    ldx #3 + 31
    lda folderIdx
    beq :+
    ldx #3 + 16
:   stx tmp2                ; end of the name field
    ldx #3
    ldy #E_NAME
    lda #E_NAME
    sta tmp3                ; end of the name without trailing spaces
@byte:
    cpx tmp2
    beq @end
    cpy #E_NAME + 23
    beq @end
    lda nameBuf,x
    beq @end
    cmp #$FF
    beq @end
    sta (entry),y
    iny
    inx
    cmp #' '
    beq @byte
    sty tmp3
    jmp @byte
@end:
    ldy tmp3
    lda #0
    sta (entry),y
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

; ---- the text viewer -------------------------------------------------------

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
    ldy #E_FIRST
    lda (entry),y
    sta blockNum
    iny
    lda (entry),y
    sta blockNum+1
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
