#pragma once
// Page engines: the one place that draws pages.  The report and label renderers write to a
// PageEngine; the QPainter engines here send the pages to a printer, a PDF file or the
// preview's page store.

#include <QPageSize>
#include <QString>

namespace rv::print {

class PageEngine {
public:
    virtual ~PageEngine() = default;
    virtual void newPage() = 0;
    virtual void finish() = 0;
};

// Names a page size the way the report window lists it.
QString pageSizeName(const QPageSize& size);

}  // namespace rv::print
