org 254
db 1,2,3
