; The Files screen comes back when a program ends, so what the program
; showed last is gone: programs that show a result wait for a key first.
        .export         _doesclrscrafterexit
        .import         return1
_doesclrscrafterexit := return1
