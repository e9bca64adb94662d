        load  R1,5
Loop:   addi  R1 R1,R2
        jmp   Nowhere
        halt
