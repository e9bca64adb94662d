; fails: 8 + 8 + 1
; adds the bytes with addi, as integers
        load  R1,[80h]
        load  R2,[81h]
        load  R3,[82h]
        addi  R4,R1,R2
        addi  R4,R4,R3
        store R4,[83h]
        halt
