; fails: FF has eight
; looks at seven bits only and misses bit 7
        load  R2,0          ;the count
        load  R3,1          ;mask of bit 0
        load  R4,7          ;bits left
        load  R5,0FFh
        load  R0,0
Loop:   and   R6,R1,R3
        addi  R2,R2,R6
        ror   R1,1
        addi  R4,R4,R5
        jmpEQ R4=R0,Done
        jmp   Loop
Done:   halt
