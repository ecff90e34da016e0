#pragma once
// Shows what a session call answered, in order: the program's own refusals in an error box,
// errors the engine raised under the program's title (as an uncaught engine error shows).

#include <QWidget>

#include "core/app/Session.h"
#include "gui/common/Messages.h"
#include "gui/common/Prompt.h"
#include "gui/common/Text.h"

namespace rv::gui {

// True when there was nothing to show.
inline bool showOutcome(QWidget* parent, const rv::app::Outcome& outcome) {
    for (const auto& e : outcome.errors) {
        if (e.kind == rv::app::Outcome::Kind::Refusal)
            prompt().error(parent, toQ(e.text));
        else
            prompt().show(parent, kProgramTitle, toQ(e.text), Icon::Error);
    }
    return outcome.ok();
}

}  // namespace rv::gui
