        load  R1,[80h]
        load  R2,[81h]
        load  R3,[82h]
        addf  R4,R1,R2
        addf  R4,R4,R3
        store R4,[83h]
        halt
