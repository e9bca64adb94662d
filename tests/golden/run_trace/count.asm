; Counts R1 down from 2, printing a star and storing the count each time;
; the step limit cuts the trace before the halt.
        load  R1,2
        load  R2,0FFh     ;-1
        load  R0,0
Loop:   jmpEQ R1=R0,Done
        load  RF,2Ah     ;*
        store R1,[80h]
        addi  R1,R1,R2
        jmp   Loop
Done:   halt
