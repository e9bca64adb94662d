; fails: 4 3 2 1
; makes one pass only, which moves just the largest number to its place
        load  R5,1
        load  R6,0FFh       ;-1
        load  R7,1          ;passes left
Pass:   load  R1,80h        ;the left cell of a pair
        load  R8,3          ;pairs left in this pass
Pair:   load  R2,[R1]
        addi  R9,R1,R5
        load  R3,[R9]
        move  R0,R3
        jmpLE R2<=R0,Keep   ;in order
        store R3,[R1]
        store R2,[R9]
Keep:   move  R1,R9
        addi  R8,R8,R6
        load  R0,0
        jmpEQ R8=R0,Passed
        jmp   Pair
Passed: addi  R7,R7,R6
        jmpEQ R7=R0,Done
        jmp   Pass
Done:   halt
