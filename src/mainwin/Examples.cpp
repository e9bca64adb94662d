#include "mainwin/Examples.h"

// The columns of these lines are part of the lesson: labels start in column
// one, mnemonics and operands line up, comments follow at the same place.

QStringList HelloWorldExampleLines() {
  return {
      QStringLiteral("         load    R1,Text     ;the start of the string"),
      QStringLiteral("         load    R2,1        ;increase step"),
      QStringLiteral("         load    R0,0        ;string-terminator"),
      QStringLiteral("NextChar:load    RF,[R1]     ;get character and print it on screen"),
      QStringLiteral("         addi    R1,R1,R2    ;increase address"),
      QStringLiteral("         jmpEQ   RF=R0,Ready ;when string-terminator, then ready"),
      QStringLiteral("         jmp     NextChar    ;next character"),
      QStringLiteral("Ready:   halt"),
      QString(),
      QStringLiteral("Text:    db      10"),
      QStringLiteral("         db      \"Hello world !!\",10"),
      QStringLiteral("         db      \"    from the\",10"),
      QStringLiteral("         db      \"  Orvik Simulator\",10"),
      QStringLiteral("         db      0           ;string-terminator"),
  };
}

// Writes 0, 1, 2, ... to RF, wrapping after 255, until Break: the terminal
// receives every character code in turn.
QStringList OutputTestExampleLines() {
  return {
      QStringLiteral("         load    RF,0        ;initialize to 0"),
      QStringLiteral("         load    R7,1        ;increase step"),
      QStringLiteral("NextChar:addi    RF,RF,R7    ;increase (is written to RF(=screen))"),
      QStringLiteral("         jmp     NextChar    ;repeat"),
  };
}
