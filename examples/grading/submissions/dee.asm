; Waits for a key that never comes.
        addi  R3,R1,R2
        store R3,[0A0h]
Wait:   jmp   Wait
