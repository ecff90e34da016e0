#pragma once
// CheckForConversion at start-up: offers to convert V2LOG.DBF and VLOG.DBF of the program
// folder into the current database, each after its Yes/No question (title "Convert").

namespace rv::gui {

class MainHost;

void CheckForConversion(MainHost& main);

}  // namespace rv::gui
