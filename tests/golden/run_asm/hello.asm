; prints Hi and a line break
load RF,48h
load RF,69h
load RF,10
halt
