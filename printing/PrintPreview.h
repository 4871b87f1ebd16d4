// Printing the editor's text: the text is laid out in one font and colour (no highlighting)
// over A4 portrait pages, page after page, and shown in Qt's print preview, from which the
// user zooms, sets up the page, prints, or saves the pages as PDF.
#pragma once

#include <QColor>
#include <QFont>
#include <QPageLayout>
#include <QString>

#include <memory>
#include <optional>

class QPagedPaintDevice;
class QPainter;
class QTextDocument;
class QWidget;

namespace lumivar {

struct PrintJob {
    QString text;      // lines separated by CR LF, CR or LF
    QFont font;        // the editor's face, size and style
    QColor color = Qt::black;
    int tabWidth = 8;  // in characters of the font
};

// A4 portrait with the margins the printout uses.
QPageLayout PrintPageLayout();

// The text laid out for a device's resolution, split into pages of its printable size.
std::unique_ptr<QTextDocument> LayOutPrintText(const PrintJob& job, QPagedPaintDevice& device);

// Paints one page (from 0) of a laid-out text at the painter's origin, and only what lies on
// that page: a line the layout moved on to the next page is not painted into this page's
// bottom margin as well.
void PaintPrintPage(const QTextDocument& doc, QPainter& painter, int page, const QColor& color);

// Paints every page of the job onto the device (a printer or a PDF writer) and returns the
// number of pages, or nothing when the device cannot be painted on.
std::optional<int> PrintToDevice(const PrintJob& job, QPagedPaintDevice& device);

// Writes the pages as a PDF file in the given page layout.
std::optional<int> PrintToPdf(const PrintJob& job, const QString& path,
                              const QPageLayout& layout = PrintPageLayout());

// The modal print preview at page-width zoom, run through the prompter; returns its result.
int ShowPrintPreview(const PrintJob& job, QWidget* parent);

} // namespace lumivar
