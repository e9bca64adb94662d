        addi  R3,R1
        store R3,[0A0h]
        halt
