; fails: 12 becomes 21
; rotates by one bit instead of one hex digit (four bits)
        move  R2,R1
        ror   R2,1
        halt
