#include "print/PageEngine.h"

namespace rv::print {

QString pageSizeName(const QPageSize& size) { return size.name(); }

}  // namespace rv::print
