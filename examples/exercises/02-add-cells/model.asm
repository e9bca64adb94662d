        load  R1,[80h]
        load  R2,[81h]
        addi  R3,R1,R2
        store R3,[82h]
        halt
