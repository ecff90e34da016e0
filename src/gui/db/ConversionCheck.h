#pragma once
// CheckForConversion at start-up: offers to convert V2LOG.DBF and VLOG.DBF of the program
// folder into the current database, each after its Yes/No question (title "Convert").

namespace rv::gui {

class TMain;

void CheckForConversion(TMain& main);

}  // namespace rv::gui
