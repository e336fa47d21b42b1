; LCD drawing and text. The picture is plain RAM: 80 rows of 20 bytes, bit 7
; the leftmost dot. Bit 7 of each row's first byte is not a dot but the switch
; of that row's status icon, so every routine here leaves it alone except
; SetIcon and ClearIcons. Text uses 6-dot cells starting at dot 2: 26 columns
; and 10 lines of 8 dot rows.
.include "rq4800.inc"

.import Font

LCD = $09C0

.segment "LCD"
lcdMemory: .res LCD_ROWS * LCD_STRIDE

; The character drawer's own scratch, so that printing never disturbs the
; shared tmp0..tmp7 of its callers.
.segment "ZEROPAGE"
cellShift: .res 1
cellByte:  .res 1
maskHi:    .res 1
maskLo:    .res 1
bitsHi:    .res 1
bitsLo:    .res 1
cellPtr:   .res 2
rowPtr:    .res 2
charSave:  .res 1
hexSave:   .res 1
decFlag:   .res 1
decWidth:  .res 1
decLo:     .res 1
decMi:     .res 1
cellRows:  .res 1           ; dot rows DrawCell draws: 8, or 12 for two-byte characters
gbkLead:   .res 1
gbkTrail:  .res 1
gbkIndex:  .res 2

.segment "BSS"
gbkFont:   .res 1           ; the 12 x 12 font is in ROM pages 1 onwards
clipCount: .res 1           ; cells dropped because they would cross the LCD's edge
glyph:     .res 24          ; the glyph being drawn, 12 rows of 2 bytes
glyphLeft: .res 12          ; its left and right 6 dots, as DrawCell takes them
glyphRight: .res 12

.segment "RODATA"
rowLo:
.repeat LCD_ROWS, i
    .byte <(LCD + i * LCD_STRIDE)
.endrepeat
rowHi:
.repeat LCD_ROWS, i
    .byte >(LCD + i * LCD_STRIDE)
.endrepeat
; Decimal places for the number printer, 24 bits each.
pow10Lo: .byte <1000000, <100000, <10000, <1000, <100, <10, <1
pow10Mi: .byte >1000000, >100000, >10000, >1000, >100, >10, >1
pow10Hi: .byte ^1000000, ^100000, ^10000, ^1000, ^100, ^10, ^1
hexDigits: .byte "0123456789ABCDEF"

.segment "CODE"

; ptr0 = address of LCD row Y.
.proc RowAddress
    lda rowLo,y
    sta ptr0
    lda rowHi,y
    sta ptr0+1
    rts
.endproc

; Clears the dots of rows tmp0 .. tmp0 + tmp1 - 1, keeping the icon bits.
.proc ClearRows
    ldx tmp1
@row:
    ldy tmp0
    jsr RowAddress
    ldy #0
    lda (ptr0),y
    and #$80
    sta (ptr0),y
    lda #0
    ldy #LCD_STRIDE - 1
@byte:
    sta (ptr0),y
    dey
    bne @byte
    inc tmp0
    dex
    bne @row
    rts
.endproc

.proc ClearScreen
    lda #0
    sta tmp0
    lda #LCD_ROWS
    sta tmp1
    jmp ClearRows
.endproc

; Clears text line A.
.proc ClearLine
    asl
    asl
    asl
    sta tmp0
    lda #8
    sta tmp1
    jmp ClearRows
.endproc

; Inverts the dots of text line A: the menu's selection bar.
.proc InvertLine
    asl
    asl
    asl
    ldx #8
    jmp InvertRows
.endproc

; Inverts X dot rows from row A: a selection bar of any height.
.proc InvertRows
    sta tmp0
@row:
    ldy tmp0
    jsr RowAddress
    ldy #0
    lda (ptr0),y
    eor #$7F
    sta (ptr0),y
    ldy #LCD_STRIDE - 1
@byte:
    lda (ptr0),y
    eor #$FF
    sta (ptr0),y
    dey
    bne @byte
    inc tmp0
    dex
    bne @row
    rts
.endproc

; Fills every dot row with A (even rows) or X (odd rows), keeping the icons.
.proc FillPattern
    sta tmp2
    stx tmp3
    ldy #0
@row:
    sty tmp0
    jsr RowAddress
    lda tmp0
    and #1
    tax
    lda tmp2,x
    sta tmp1
    ldy #LCD_STRIDE - 1
@byte:
    sta (ptr0),y
    dey
    bne @byte
    lda (ptr0),y
    and #$80
    sta tmp4
    lda tmp1
    and #$7F
    ora tmp4
    sta (ptr0),y
    ldy tmp0
    iny
    cpy #LCD_ROWS
    bne @row
    rts
.endproc

; Switches the status icon of LCD row A on (carry set) or off (carry clear).
.proc SetIcon
    tay
    php
    jsr RowAddress
    ldy #0
    lda (ptr0),y
    plp
    bcc @off
    ora #$80
    bne @store
@off:
    and #$7F
@store:
    sta (ptr0),y
    rts
.endproc

.proc ClearIcons
    ldy #LCD_ROWS - 1
@row:
    jsr RowAddress
    tya
    tax
    ldy #0
    lda (ptr0),y
    and #$7F
    sta (ptr0),y
    txa
    tay
    dey
    bpl @row
    rts
.endproc

; Text cursor to column X (0..25), line Y (0..9).
.proc SetCursor
    txa
    asl
    sta curX
    txa
    asl
    asl
    clc
    adc curX
    adc #2
    sta curX
    tya
    asl
    asl
    asl
    sta curY
    rts
.endproc

; Draws character A at the cursor and moves it one cell right. Characters
; outside 0x20..0x7E show as "?"; cells beyond the right edge are dropped.
; Keeps X and Y.
.proc PutChar
    sta charSave
    txa
    pha
    tya
    pha
    lda charSave
    cmp #$20
    bcc @bad
    cmp #$7F
    bcc @ok
@bad:
    lda #'?'
@ok:
    sec
    sbc #$20
    sta cellPtr
    lda #0
    sta cellPtr+1
    asl cellPtr
    rol cellPtr+1
    asl cellPtr
    rol cellPtr+1
    asl cellPtr
    rol cellPtr+1
    lda cellPtr
    clc
    adc #<Font
    sta cellPtr
    lda cellPtr+1
    adc #>Font
    sta cellPtr+1
    lda #8
    sta cellRows
    jsr DrawCell
    pla
    tay
    pla
    tax
    rts
.endproc

; Draws cellRows rows at cellPtr into the cell at the cursor and advances it.
; A cell that would cross the right or bottom edge is not drawn but counted in
; clipCount, so that a screen whose text does not fit shows up in testing.
.proc DrawCell
    lda curX
    cmp #155
    bcs @clip
    lda curY
    clc
    adc cellRows
    bcs @clip
    cmp #LCD_ROWS + 1
    bcs @clip
    lda curX
    and #7
    sta cellShift                ; shift within the byte
    lda curX
    lsr
    lsr
    lsr
    sta cellByte                ; byte within the row
    lda #$FC
    sta maskHi                ; cell mask, high and low byte
    lda #0
    sta maskLo
    ldx cellShift
    beq @rows
@maskShift:
    lsr maskHi
    ror maskLo
    dex
    bne @maskShift
@rows:
    ldx #0
@row:
    txa
    clc
    adc curY
    tay
    lda rowLo,y
    clc
    adc cellByte
    sta rowPtr
    lda rowHi,y
    adc #0
    sta rowPtr+1
    txa
    tay
    lda (cellPtr),y
    eor inverse
    and #$FC
    sta bitsHi
    lda #0
    sta bitsLo
    ldy cellShift
    beq @put
@shift:
    lsr bitsHi
    ror bitsLo
    dey
    bne @shift
@put:
    ldy #0
    lda maskHi
    eor #$FF
    and (rowPtr),y
    ora bitsHi
    sta (rowPtr),y
    lda maskLo
    beq @nextRow
    iny
    eor #$FF
    and (rowPtr),y
    ora bitsLo
    sta (rowPtr),y
@nextRow:
    inx
    cpx cellRows
    bne @row
    beq @next
@clip:
    inc clipCount
    bne @next
    dec clipCount           ; stays at 255
@next:
    lda curX
    clc
    adc #6
    sta curX
    rts
.endproc

; A character of two bytes (GBK) that the font cannot show: a small frame two
; cells wide, so that the layout of the line stays right.
.proc PutGbkBox
    lda #8
    sta cellRows
    lda #<box
    sta cellPtr
    lda #>box
    sta cellPtr+1
    jsr DrawCell
    lda #<box2
    sta cellPtr
    lda #>box2
    sta cellPtr+1
    jmp DrawCell
box:  .byte $00, $FC, $80, $80, $80, $80, $FC, $00
box2: .byte $00, $F0, $10, $10, $10, $10, $F0, $00
.endproc

; The two-byte character A (lead byte), X (trail byte) from the 12 x 12 font,
; two cells wide and 12 dot rows tall from the cursor's row; a frame when the
; font is missing or the code is not one of GBK's. Uses ptr0, ptr1, tmp0, tmp1.
.proc PutGbk
    sta gbkLead
    stx gbkTrail
    lda gbkFont
    beq @noFont
    lda gbkLead
    cmp #$81
    bcc @noFont
    cmp #$FF
    beq @noFont
    lda gbkTrail
    cmp #$40
    bcc @noFont
    cmp #$FF
    bne @font
@noFont:
    jmp PutGbkBox
@font:
    ; slot = (lead - 0x81) * 191 + (trail - 0x40) = L * 192 - L + T
    lda gbkLead
    sec
    sbc #$81
    sta gbkLead
    sta gbkIndex
    lda #0
    sta gbkIndex+1
    ldx #6
@times64:
    asl gbkIndex
    rol gbkIndex+1
    dex
    bne @times64
    lda gbkIndex            ; * 3
    asl
    sta tmp0
    lda gbkIndex+1
    rol
    sta tmp1
    lda gbkIndex
    clc
    adc tmp0
    sta gbkIndex
    lda gbkIndex+1
    adc tmp1
    sta gbkIndex+1
    lda gbkIndex            ; - L
    sec
    sbc gbkLead
    sta gbkIndex
    bcs :+
    dec gbkIndex+1
:   lda gbkTrail            ; + T
    sec
    sbc #$40
    clc
    adc gbkIndex
    sta gbkIndex
    bcc :+
    inc gbkIndex+1
:   jmp DrawSlot
.endproc

; The two-byte Big5 character A (lead byte), X (trail byte): the font's map
; for Big5 (ROM page 25) gives its glyph slot in the GBK glyph set. A frame
; when the font is missing or has no glyph for the code.
; Uses ptr0, ptr1, tmp0, tmp1.
.proc PutBig5
    sta gbkLead
    stx gbkTrail
    lda gbkFont
    beq @noFont
    lda gbkLead
    cmp #BIG5_FIRST_LEAD
    bcc @noFont
    cmp #BIG5_LAST_LEAD + 1
    bcs @noFont
    ; the trail's place among the 157: 0x40..0x7E, then 0xA1..0xFE
    lda gbkTrail
    cmp #$40
    bcc @noFont
    cmp #$7F
    bcc @low
    cmp #$A1
    bcc @noFont
    cmp #$FF
    beq @noFont
    sec
    sbc #$A1 - 63
    jmp @haveTrail
@low:
    sec
    sbc #$40
@haveTrail:
    sta gbkIndex
    lda #0
    sta gbkIndex+1
    ldx gbkLead             ; + 157 for each lead after the first
@lead:
    cpx #BIG5_FIRST_LEAD
    beq @entry
    lda gbkIndex
    clc
    adc #BIG5_TRAILS
    sta gbkIndex
    bcc :+
    inc gbkIndex+1
:   dex
    jmp @lead
@entry:
    asl gbkIndex            ; two bytes an entry
    rol gbkIndex+1
    lda gbkIndex
    sta ptr0
    lda gbkIndex+1
    cmp #$40
    bcs :+
    ora #$80                ; the page's first half shows at 0x8000
:   sta ptr0+1
    lda #<glyph
    sta ptr1
    lda #>glyph
    sta ptr1+1
    lda #2
    sta tmp0
    lda #0
    sta tmp1
    lda #BIG5_MAP_PAGE
    ldx #0                  ; a ROM page, not the flash
    jsr FlashCopy
    lda glyph
    sta gbkIndex
    and glyph+1
    cmp #$FF
    beq @noFont             ; 0xFFFF: no glyph
    lda glyph+1
    sta gbkIndex+1
    jmp DrawSlot
@noFont:
    jmp PutGbkBox
.endproc

; Draws glyph slot gbkIndex of the 12 x 12 font as two cells of 12 rows.
; 1024 slots of 32 bytes a page: page 1 + slot / 1024, offset (slot & 1023) * 32.
.proc DrawSlot
    lda gbkIndex
    and #7
    asl
    asl
    asl
    asl
    asl
    sta ptr0
    lda gbkIndex
    lsr
    lsr
    lsr
    sta tmp0
    lda gbkIndex+1
    and #3
    asl
    asl
    asl
    asl
    asl
    ora tmp0
    cmp #$40
    bcs :+
    ora #$80                ; the page's first half shows at 0x8000
:   sta ptr0+1
    lda #<glyph
    sta ptr1
    lda #>glyph
    sta ptr1+1
    lda #24
    sta tmp0
    lda #0
    sta tmp1
    lda gbkIndex+1
    lsr
    lsr
    clc
    adc #1
    ldx #0                  ; a ROM page, not the flash
    jsr FlashCopy
    ; Split each row into its left and right six dots.
    ldx #0
    ldy #0
@split:
    lda glyph,y
    and #$FC
    sta glyphLeft,x
    lda glyph,y
    and #$03
    sta tmp0
    lda glyph+1,y
    lsr
    lsr
    and #$3C
    sta tmp1
    lda tmp0
    lsr
    ror
    ror
    ora tmp1
    sta glyphRight,x
    iny
    iny
    inx
    cpx #12
    bne @split
    lda #12
    sta cellRows
    lda #<glyphLeft
    sta cellPtr
    lda #>glyphLeft
    sta cellPtr+1
    jsr DrawCell
    lda #<glyphRight
    sta cellPtr
    lda #>glyphRight
    sta cellPtr+1
    jmp DrawCell
.endproc

; Draws the zero-terminated string at A (low), X (high).
.proc PutString
    sta ptr1
    stx ptr1+1
    ldy #0
@next:
    lda (ptr1),y
    beq @done
    jsr PutChar
    iny
    bne @next
@done:
    rts
.endproc

; Draws the zero-terminated string that follows the JSR to this routine and
; returns to the byte after its zero.
.proc PutInline
    pla
    sta ptr1
    pla
    sta ptr1+1
    ldy #1                  ; the return address points at the byte before
@next:
    lda (ptr1),y
    beq @done
    jsr PutChar
    iny
    bne @next
@done:
    tya
    clc
    adc ptr1
    tax
    lda ptr1+1
    adc #0
    pha
    txa
    pha
    rts
.endproc

; A spaces.
.proc PutSpaces
    tax
    beq @done
@next:
    lda #' '
    jsr PutChar
    dex
    bne @next
@done:
    rts
.endproc

; Spaces up to the end of the line.
.proc ClearToEol
@next:
    lda curX
    cmp #155
    bcs @done
    lda #' '
    jsr PutChar
    jmp @next
@done:
    rts
.endproc

; A in two hexadecimal digits. Keeps X.
.proc PutHex8
    stx hexSave
    pha
    lsr
    lsr
    lsr
    lsr
    tax
    lda hexDigits,x
    jsr PutChar
    pla
    and #$0F
    tax
    lda hexDigits,x
    jsr PutChar
    ldx hexSave
    rts
.endproc

; The 16-bit number in num, right-aligned in A cells (A = 0: no padding).
.proc PutDec16
    ldx #0
    stx num+2
    jmp PutDec24
.endproc

; The 24-bit number in num, right-aligned in A cells (A = 0: no padding).
; num is used up.
.proc PutDec24
    sta decWidth
    lda #0
    sta decFlag                ; a digit other than 0 has been seen
    ldx #0
@place:
    ldy #0                  ; the digit: how often the place fits
@sub:
    lda num
    sec
    sbc pow10Lo,x
    sta decLo
    lda num+1
    sbc pow10Mi,x
    sta decMi
    lda num+2
    sbc pow10Hi,x
    bcc @digit
    sta num+2
    lda decMi
    sta num+1
    lda decLo
    sta num
    iny
    bne @sub
@digit:
    tya
    bne @show
    cpx #6
    beq @show               ; the units always show
    lda decFlag
    bne @show
    ; a leading zero: a space if it falls inside the field
    txa
    eor #$FF
    sec
    adc #7                  ; cells left including this one: 7 - x
    cmp decWidth
    beq @pad
    bcs @skip
@pad:
    lda #' '
    jsr PutChar
    jmp @skip
@show:
    lda #1
    sta decFlag
    tya
    ora #'0'
    jsr PutChar
@skip:
    inx
    cpx #7
    bne @place
    rts
.endproc
