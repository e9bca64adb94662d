#pragma once

#include <QStringList>

// The example sources of Help > Examples, line by line, as the assembler
// editor receives them for a new unnamed source. Copies live in examples/.
QStringList HelloWorldExampleLines();
QStringList OutputTestExampleLines();
