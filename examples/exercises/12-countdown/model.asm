        load  R2,30h        ;'0'
        load  R3,0FFh       ;-1
        load  R4,10         ;line end
        load  R0,0FFh
Next:   addi  RF,R1,R2      ;print the digit
        move  RF,R4
        addi  R1,R1,R3
        jmpEQ R1=R0,Done
        jmp   Next
Done:   halt
