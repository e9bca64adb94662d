        move  R2,R1
        ror   R2,4          ;four bits right = one hex digit
        halt
