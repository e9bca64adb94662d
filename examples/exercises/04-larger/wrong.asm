; fails: 3 and 9
; takes the wrong branch and gives the smaller number
        move  R0,R2
        jmpLE R1<=R0,First
        move  R3,R2
        halt
First:  move  R3,R1
        halt
