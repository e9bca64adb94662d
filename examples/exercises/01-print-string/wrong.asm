; fails: Orvik at C0
; always starts at address 80 instead of the address in R1
        load  R1,80h
        load  R2,1          ;step to the next character
        load  R0,0          ;the terminator
Next:   load  R3,[R1]       ;the next character
        jmpEQ R3=R0,Done
        move  RF,R3         ;print it
        addi  R1,R1,R2
        jmp   Next
Done:   halt
