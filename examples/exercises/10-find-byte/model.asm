        load  R2,0          ;the index
        load  R3,80h        ;the address
        load  R5,1
        load  R4,8          ;the table's length
Next:   move  R0,R4
        jmpEQ R2=R0,None    ;past the end
        load  R6,[R3]
        move  R0,R1
        jmpEQ R6=R0,Done
        addi  R2,R2,R5
        addi  R3,R3,R5
        jmp   Next
None:   load  R2,0FFh
Done:   halt
