load R1,256
store R1,5
jmpEQ R1=R2,5
halt R1
Loop
label load R1,1
db 'abc
jmp nowhere
Loop: halt
