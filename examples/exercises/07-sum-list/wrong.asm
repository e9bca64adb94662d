; fails: 1 2 3
; starts one cell too late and misses the first number
        load  R1,81h
        load  R2,0
        load  R5,1
        load  R0,0
Next:   load  R3,[R1]
        jmpEQ R3=R0,Done    ;0 ends the list
        addi  R2,R2,R3
        addi  R1,R1,R5
        jmp   Next
Done:   halt
