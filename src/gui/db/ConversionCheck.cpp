#include "gui/db/ConversionCheck.h"

#include "core/app/Formats.h"
#include "core/db/Conversion.h"
#include "gui/common/MainHost.h"
#include "gui/common/Prompt.h"
#include "gui/common/Text.h"

namespace rv::gui {

void CheckForConversion(MainHost& main) {
    if (!main.table().isOpen()) return;
    const rv::app::ShortDateFormat version1Dates(1);  // m/d/yy with "/"
    QWidget* parent = main.widget();
    rv::db::CheckForConversion(
        main.table(), main.programFolder(),
        [parent](const std::string& question) {
            return prompt().yes(parent, QString::fromLatin1(rv::db::kConvertTitle), toQ(question));
        },
        version1Dates);
}

}  // namespace rv::gui
