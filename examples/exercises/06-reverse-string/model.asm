        load  R1,80h
        load  R5,1
        load  R6,0FFh
        load  R0,0
Find:   load  R3,[R1]       ;find the terminator
        jmpEQ R3=R0,Found
        addi  R1,R1,R5
        jmp   Find
Found:  load  R2,0A0h
        load  R0,80h
Copy:   jmpEQ R1=R0,End     ;back at the start
        addi  R1,R1,R6
        load  R3,[R1]
        store R3,[R2]
        addi  R2,R2,R5
        jmp   Copy
End:    load  R3,0
        store R3,[R2]       ;the terminator
        halt
