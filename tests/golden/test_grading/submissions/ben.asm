; Forgets to keep the sum in memory.
        addi  R3,R1,R2
        load  RF,68       ;"D"
        load  RF,6Fh
        load  RF,6Eh
        load  RF,65h
        load  RF,10
        halt
