        load  R3,0
        load  R0,0
        load  R5,0FFh       ;-1
Loop:   jmpEQ R2=R0,Done    ;test first: R2 may be 0
        addi  R3,R3,R1
        addi  R2,R2,R5
        jmp   Loop
Done:   halt
