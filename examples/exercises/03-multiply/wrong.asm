; fails: 6 x 7
; adds once before it tests the counter, so it adds R2 + 1 times
        load  R3,0
        load  R0,0
        load  R5,0FFh
Loop:   addi  R3,R3,R1
        jmpEQ R2=R0,Done
        addi  R2,R2,R5
        jmp   Loop
Done:   halt
