; fails: 2 + 3
; stores the sum over the first number instead of into cell 82
        load  R1,[80h]
        load  R2,[81h]
        addi  R3,R1,R2
        store R3,[80h]
        halt
