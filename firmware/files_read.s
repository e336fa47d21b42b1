; Reads the device's flash file system into the file list of the Files
; screen: the files of folders "txt ", "bin ", "bas " and "udf ", each with
; its folder, size, first block and name.
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
.include "files.inc"

.segment "BUFFERS"
blockTable: .res 3072
directory:  .res 2048
blockBuf:   .res 512
nameBuf:    .res 64
fileList:   .res MAX_FILES * ENTRY_SIZE

.segment "ZEROPAGE"
rec:        .res 2          ; the record being read

.segment "BSS"
coreHi:     .res 1          ; high byte of the core area's address
fileCount:  .res 1
folderIdx:  .res 1
dirIndex:   .res 1
recIndex:   .res 1
blockNum:   .res 2

.segment "RODATA"
folderNames: .byte "txt bin bas udf "

.segment "CODE"

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
    ldy #E_BANKS
    sta (entry),y
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
    jmp ProgramName
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
    ldx #0
    ; fall through
.endproc

; A name made of a prefix (X = 0: "PROGRAM ", 8: "(invalid) ") and the
; record's sequence number: a program without a name in its header, or a
; file that is not a valid program.
.proc NumberedName
    ldy #E_NAME
@prefix:
    lda prefixes,x
    beq @number
    sta (entry),y
    iny
    inx
    bne @prefix
@number:
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
prefixes: .byte "PROGRAM ", 0, "(invalid) ", 0
.endproc

; blockNum = the first block of list entry `entry`.
.proc EntryFirstBlock
    ldy #E_FIRST
    lda (entry),y
    sta blockNum
    iny
    lda (entry),y
    sta blockNum+1
    rts
.endproc

; CheckProgram for list entry `entry`: its first block and its banks.
.proc CheckEntry
    jsr EntryFirstBlock
    ldy #E_BANKS
    lda (entry),y
    jmp CheckProgram
.endproc

; A program's name is the one in its header, when the header is valid.
.proc ProgramName
    jsr CheckEntry
    ldy #E_STATUS
    sta (entry),y
    cmp #0
    beq @valid
    ldx #9
    jmp NumberedName
@valid:
    lda nameBuf+16
    bne @copy
    ldx #0
    jmp NumberedName
@copy:
    ldx #0
    ldy #E_NAME
@byte:
    lda nameBuf+16,x
    beq @end
    sta (entry),y
    iny
    inx
    cpx #16
    bne @byte
@end:
    lda #0
    sta (entry),y
    rts
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
