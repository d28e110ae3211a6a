#pragma once

#include <QString>

#include <string>

namespace omvex {

// One thing wrong with a file, as every reader reports it: where (1-based line; 0 when it concerns
// the whole file), a stable English code for programs, and one Japanese line for people. The
// history's warnings, the import's errors and the record's warnings are all problems.
struct Problem {
    int line = 0;
    std::string code;
    QString message;
};

// What an operation that can fail gives back: ok, or a stable English code for programs and one
// Japanese line for people that says what failed and why.
struct Status {
    bool ok = true;
    QString code;
    QString message;
};

} // namespace omvex
