; The model answer: R3 := R1 + R2, kept in cell A0, then "Done" and a line
; end on the screen.
        addi  R3,R1,R2
        store R3,[0A0h]
        load  R4,Text
        load  R5,1
        load  R0,0
Next:   load  R6,[R4]       ;next character
        jmpEQ R6=R0,Ready   ;the terminator is not printed
        move  RF,R6
        addi  R4,R4,R5
        jmp   Next
Ready:  halt
Text:   db    "Done",10,0
