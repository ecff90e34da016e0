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

// The particular DatabaseError of a table that another holder keeps open: an exclusive open
// while anyone else has the table, or a shared open while someone holds it exclusively.
// Callers that only care about "it failed" catch DatabaseError.
class TableInUseError : public DatabaseError {
public:
    using DatabaseError::DatabaseError;
};

}  // namespace rv::db
