load R1,256
store R1,5
jmpEQ R1=R2,5
halt R1
db ;x
org Start
Loop
label load R1,1
db 'abc
db "
jmp loop
Loop: halt
X: halt
X: db 1 2,
load R1,[5,
move R1 R2
a<b 1+1 12A3 @
