; every form
Start: load R1,200
  load R2,[Data]
  load R3,[R1]
  store R3,[0FFh]
  store R4,[R2]
  move R4,R8
  addi R1,R2,R3
  addf R4,R5,R6
  or R7,R8,R9
  and RA,RB,RC
  xor RD,RE,RF
  ror R3,5
  jmpEQ R7=R0,Start
  jmpLE R2<=R0,$1a
  jmp Done
Data: db 1,"AB",-1,0x7f,101b
  org 80h
Done: halt
