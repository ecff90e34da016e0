#pragma once
// The one exception type of the table engine.  Every failure to open, read, write, lock,
// index or pack a table arrives as a DatabaseError whose message a collector can read.

#include <stdexcept>
#include <string>

namespace rv::db {

class DatabaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace rv::db
