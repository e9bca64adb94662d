        move  R0,R2
        jmpLE R1<=R0,Second ;R1 <= R2: R2 is the larger
        move  R3,R1
        halt
Second: move  R3,R2
        halt
